#pragma once
// Reading signal lines from the client's signal file into the lists: only
// the appended bytes while the client works, the whole file for a finished
// or archived result. Raises the computer-error and interesting-signal
// alerts.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "signals/PackedSignals.h"
#include "signals/SignalRecords.h"

namespace platform {
class Files;
}
namespace views {
class Dialogs;
}
namespace clientfiles {
class Reading;
class ReadingGate;
}

namespace signals {

// What the reading needs to know of the rest of the program.
struct ResultReadContext {
    bool liveMode = true;
    bool selectorCurrent = true;  // the selector shows "current"
    bool selectorTotal = false;   // the selector shows "total"
    bool ignoreFast = false;      // "Ignore fast work units" is checked
    bool noAlerts = false;        // alerts switched off in the settings
    std::int32_t currentArchiveNumber = 0;
    double clientVersion = 3.03;  // the running client's version (live files)
    char decimalSeparator = '.';  // for numbers in the alerts
};

// How far the reading of one file had got when something happened there:
// the records of each kind (spike, gaussian, triplet, pulse) it had taken.
using ReadPosition = std::array<std::uint32_t, 4>;

// One archived result as the totals read it, parsed once and kept (archives
// never change): every record the file holds with the fast-work-unit rule
// off, the alerts its reading raises and where, and where the rule would end
// the reading. Replaying it gives what reading the file gives.
struct ArchivedResult {
    struct Alert {
        ReadPosition at;         // records taken when it showed
        bool computerError;      // else an interest alert
        double power;            // a computer error's peak
        std::string_view what;   // an interest alert's signal (static text)
    };
    // Where the fast-work-unit rule ends the reading: the records taken
    // then, and how many alerts had shown.
    struct FastEnd {
        ReadPosition at;
        std::size_t alerts;
    };
    std::uint64_t size = 0;     // the file's size when it was read
    bool whole = false;         // read as it was to its end, or too short to be read
    std::int32_t readPos = 0;   // bytes consumed; 0 when nothing was read
    bool versionRead = false;   // the header's version was read: `version`
    float version = 0;
    bool complete = false;      // parsed to the end of the file
    PackedSignals signals;
    std::vector<Alert> alerts;
    std::optional<FastEnd> fastEnd;
};

class ResultFileReader {
public:
    ResultFileReader(platform::Files& files, clientfiles::ReadingGate& gate,
                     views::Dialogs& dialogs, SignalLists& lists, ShownMarkers& shown)
        : files_(files), gate_(gate), dialogs_(dialogs), lists_(lists), shown_(shown) {}

    // Parses what is new in `path`. True when a new chunk was read and parsed
    // to its end; false when there was nothing new, the file could not be
    // opened, another reading is active, or the parse stopped early (records
    // read before a failure stay, except after a fast work unit's rollback).
    // After a true live reading the caller recomputes the best signals.
    bool ReadResultFile(const std::string& path, const ResultReadContext& context);

    // An archive for the totals, parsed without showing anything: nothing
    // when the file could not be read whole or the reading would show a
    // message of its own (a damaged file is read anew each time, so its
    // message shows where it always did). `number` stamps the records.
    static std::optional<ArchivedResult> ParseArchivedResult(platform::Files& files,
                                                             const std::string& path,
                                                             std::int32_t number);
    // What ReadResultFile(path, context) does for the archive `parsed` was
    // taken from (context.currentArchiveNumber the number it was parsed
    // with): the same records appended, the same alerts at the same points,
    // the same answer.
    bool ReadArchivedResult(const ArchivedResult& parsed, const ResultReadContext& context);

    // The lists it reads into.
    SignalLists& Lists() { return lists_; }

    // Bytes of the file consumed so far.
    std::int32_t ResultReadPos() const { return resultReadPos_; }
    // Client version of the file last read.
    float ResultVersion() const { return resultVersion_; }

private:
    // ReadResultFile for a file of `size` bytes.
    bool Read(const std::string& path, std::optional<std::uint64_t> size,
              const ResultReadContext& context, ArchivedResult* record);
    // The signal lines of a chunk the gate let us read; false as for
    // ReadResultFile.
    // `start` is where the text begins in the file.
    // With `record`, nothing is shown: the alerts and the fast-work-unit end
    // are written to it instead.
    bool Parse(clientfiles::Reading& reading, const ResultReadContext& context,
               std::uint64_t start, std::uint64_t textLength, ArchivedResult* record = nullptr);

    platform::Files& files_;
    clientfiles::ReadingGate& gate_;
    views::Dialogs& dialogs_;
    SignalLists& lists_;
    ShownMarkers& shown_;
    std::int32_t resultReadPos_ = 0;
    // Where the next live reading starts when damage ended the last one.
    std::optional<std::int32_t> resumeAt_;
    float resultVersion_ = 0;
    // Where the live chunk that last showed a computer-error warning ended,
    // and SignalLists::Clearings then (the lists of which work unit).
    std::optional<std::uint32_t> warnedClearings_;
    std::uint64_t warnedEnd_ = 0;
};

// The longest run of 0s or 9s among the seven lowest decimal digits of a
// frequency in Hz (kind 0, value × 10 rounded) or of a period's first six
// significant digits (kind 1). 3 or more: suspiciously close to a round
// number, which marks interference from Earth.
std::uint8_t RepeatedDigitRun(int kind, double value);

}  // namespace signals
