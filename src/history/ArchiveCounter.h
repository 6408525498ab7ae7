#pragma once
// "lastnum.mon" in the program directory: two lines, the second the highest
// archive number handed out so far.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// How far the counter may lie above the highest archive on disk. Archives
// may be deleted by hand, so the counter may run ahead of them; a counter
// further ahead than a lifetime of work units is damage, and would fill the
// selector with that many items.
inline constexpr std::int32_t kCounterLead = 100000;

// Reads "lastnum.mon" in `programDir` (with trailing separator): skips the
// first line, the second must be a non-negative decimal integer (blanks and
// a carriage return around it are allowed). A counter that cannot be
// increased any more, or that lies more than kCounterLead above the highest
// archive in the "old" folder, is damaged as well.
CounterReading ReadArchiveCounter(platform::Files& files, const std::string& programDir);
// The same for the counter's bytes `text`, already read.
CounterReading ParseArchiveCounter(platform::Files& files, const std::string& programDir,
                                   std::string_view text);

// The numbers N of the archive files "old/seti<N>.txt" in `programDir`,
// ascending, from one listing of the folder.
std::vector<std::int32_t> ListArchive(platform::Files& files, const std::string& programDir);

// An archive file as the listing saw it.
struct ArchiveFile {
    std::int32_t number = 0;
    std::uint64_t size = 0;
    std::int32_t stamp = -1;  // a platform::DosStamp
};
// The same listing with each file's size and stamp. Where names differing
// only in case both give a number, the one written as the archiver names
// it comes first.
std::vector<ArchiveFile> ListArchiveFiles(platform::Files& files, const std::string& programDir);

// The counter file's bytes for `count` (lines ended by CR LF).
std::string ArchiveCounterText(std::int32_t count);

}  // namespace history
