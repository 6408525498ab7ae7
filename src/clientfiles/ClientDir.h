#pragma once
// The client directory: which files mark it, which extension its files use,
// and how their names are built.

#include <string>
#include <string_view>

namespace platform {
class Files;
}

namespace clientfiles {

// The files whose presence makes a directory a client directory, in the
// order they are tested.
inline constexpr std::string_view kMarkerFiles[] = {"state.sah", "user_info.txt", "result.sah",
                                                    "user_info.sah"};

// `path` with the platform's separator appended when it is not empty and
// does not end with one.
std::string WithTrailingSeparator(std::string path);

// Whether clientPath (with trailing separator) holds one of the marker files.
bool IsClientDirectory(platform::Files& files, const std::string& clientPath);

// ".txt" when the directory holds "user_info.txt" but no "user_info.sah",
// else ".sah".
std::string DecideClientFileExt(platform::Files& files, const std::string& clientPath);

// Whether two files hold the same bytes (both readable): a copy of a
// client's file recognised wherever it went.
bool SameBytes(platform::Files& files, const std::string& a, const std::string& b);

}  // namespace clientfiles
