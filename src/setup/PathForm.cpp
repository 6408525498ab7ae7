#include "setup/PathForm.h"

namespace setup {

namespace {

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

bool IsDriveSpec(std::string_view text) {
    return text.size() == 2 && text[1] == ':' &&
           ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z'));
}

}  // namespace

std::string DirectoryOfChosenFile(std::string_view path) {
    const std::size_t last = path.find_last_of("/\\");
    if (last == std::string_view::npos) {
        // "C:seti.exe" names a file in drive C's current directory.
        if (path.size() >= 2 && IsDriveSpec(path.substr(0, 2)))
            return std::string(path.substr(0, 2));
        return {};
    }
    // Doubled separators ("dir//file") belong to neither part.
    std::size_t end = last;
    while (end > 0 && IsSeparator(path[end - 1]))
        --end;
    std::string_view directory = path.substr(0, end);
    // A root keeps its separator: "/", "\" or "C:\".
    if (directory.empty()) return std::string(1, path[0]);
    if (IsDriveSpec(directory)) return std::string(directory) + path[end];
    return std::string(directory);
}

}  // namespace setup
