#include "clientfiles/ClientDir.h"

#include "platform/Platform.h"

namespace clientfiles {

std::string WithTrailingSeparator(std::string path) {
    const char separator = platform::PathSeparator();
    if (!path.empty() && path.back() != separator) path += separator;
    return path;
}

bool IsClientDirectory(platform::Files& files, const std::string& clientPath) {
    for (std::string_view marker : kMarkerFiles)
        if (files.FileExists(clientPath + std::string(marker))) return true;
    return false;
}

std::string DecideClientFileExt(platform::Files& files, const std::string& clientPath) {
    // Some clients name their files ".txt"; the user file tells which.
    if (files.FileExists(clientPath + "user_info.txt") &&
        !files.FileExists(clientPath + "user_info.sah"))
        return ".txt";
    return ".sah";
}

bool SameBytes(platform::Files& files, const std::string& a, const std::string& b) {
    const auto sizeA = files.FileSize(a);
    const auto sizeB = files.FileSize(b);
    if (!sizeA || !sizeB || *sizeA != *sizeB) return false;
    const auto bytesA = files.ReadFile(a);
    const auto bytesB = files.ReadFile(b);
    return bytesA && bytesB && *bytesA == *bytesB;
}

}  // namespace clientfiles
