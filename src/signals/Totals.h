#pragma once
// The signals of the "total" view: the archived results of a range of
// numbers, read into the lists in ascending order. What was parsed of each
// archive is kept by its file's name, size and stamp: archives never
// change, so choosing "total" again reads no file, while one the user
// deleted or replaced is forgotten or read anew.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "signals/ResultFile.h"

namespace platform {
class Files;
}

namespace signals {

class Totals {
public:
    Totals(platform::Files& files, ResultFileReader& reader) : files_(files), reader_(reader) {}

    // A file that stands for an archive number without lying in the folder.
    struct StandIn {
        std::int32_t number = 0;
        std::string path;
    };

    // Reads archives `first` to `last` of `programDir` (with trailing
    // separator) that exist, and `standIn` among them, as ReadResultFile
    // reads each in turn with `context()` (a totals context, asked anew for
    // each file as an alert may change things) stamped with its number: the
    // same records, alerts and fast-work-unit rule. The folder is listed
    // once, whatever the range. The number read last, if any.
    std::optional<std::int32_t> ReadArchives(const std::string& programDir, std::int32_t first,
                                             std::int32_t last, const std::optional<StandIn>& standIn,
                                             const std::function<ResultReadContext()>& context);

    // How many archives are kept parsed.
    std::size_t KeptCount() const { return kept_.size(); }

private:
    struct Kept {
        std::int32_t number;
        std::uint64_t size;
        std::int32_t stamp;
        ArchivedResult parsed;
    };

    // parse(0) to parse(count - 1), on several threads where the files allow.
    std::vector<std::optional<ArchivedResult>> ParseEach(
        std::size_t count, const std::function<std::optional<ArchivedResult>(std::size_t)>& parse);

    platform::Files& files_;
    ResultFileReader& reader_;
    std::unordered_map<std::string, Kept> kept_;  // by path
};

}  // namespace signals
