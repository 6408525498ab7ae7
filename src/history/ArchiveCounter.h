#pragma once
// "lastnum.mon" in the program directory: two lines, the second the highest
// archive number handed out so far.

#include <cstdint>
#include <optional>
#include <string>

namespace platform {
class Files;
}

namespace history {

inline constexpr const char* kArchiveCounterName = "lastnum.mon";
inline constexpr const char* kArchiveDirName = "old";

struct CounterReading {
    std::optional<std::int32_t> count;  // set when the file is sound
    std::string error;                  // the message for the user otherwise
};

// Reads the counter: skips the first line, the second must be a
// non-negative decimal integer (blanks and a carriage return around it are
// allowed).
CounterReading ReadArchiveCounter(platform::Files& files, const std::string& path);

// The counter file's bytes for `count` (lines ended by CR LF).
std::string ArchiveCounterText(std::int32_t count);

}  // namespace history
