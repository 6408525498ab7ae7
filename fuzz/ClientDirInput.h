#pragma once
// The client directory and program directory a fuzzer's input describes.

#include <string>
#include <string_view>

#include "FuzzInput.h"
#include "support/MemoryFiles.h"

namespace fuzzing {

inline constexpr const char* kClientDir = "/mem/client/";
inline constexpr const char* kProgramDir = "/mem/program/";

// The files each part of an input becomes, in order.
inline constexpr const char* kClientDirFiles[] = {
    "/mem/client/work_unit.sah", "/mem/client/state.sah",     "/mem/client/outfile.sah",
    "/mem/client/result.sah",    "/mem/client/version.sah",   "/mem/client/user_info.sah",
    "/mem/program/lastnum.mon",  "/mem/program/old/seti1.txt", "/mem/program/old/seti2.txt",
};
inline constexpr std::size_t kClientDirFileCount = std::size(kClientDirFiles);

inline void FillClientDir(testsupport::MemoryFiles& files, std::string_view input) {
    files.CreateDirectory("/mem");
    files.CreateDirectory(kClientDir);
    files.CreateDirectory(kProgramDir);
    const auto parts = SplitParts(input, kClientDirFileCount);
    for (std::size_t i = 0; i < kClientDirFileCount; ++i) {
        if (!parts[i].empty()) files.AddFile(kClientDirFiles[i], std::string(parts[i]));
    }
}

}  // namespace fuzzing
