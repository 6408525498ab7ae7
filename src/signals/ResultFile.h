#pragma once
// Reading signal lines from the client's signal file into the lists: only
// the appended bytes while the client works, the whole file for a finished
// or archived result. Raises the computer-error and interesting-signal
// alerts.

#include <cstdint>
#include <optional>
#include <string>

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

    // Bytes of the file consumed so far.
    std::int32_t ResultReadPos() const { return resultReadPos_; }
    // Client version of the file last read.
    float ResultVersion() const { return resultVersion_; }

private:
    // The signal lines of a chunk the gate let us read; false as for
    // ReadResultFile.
    // `start` is where the text begins in the file.
    bool Parse(clientfiles::Reading& reading, const ResultReadContext& context,
               std::uint64_t start, std::uint64_t textLength);

    platform::Files& files_;
    clientfiles::ReadingGate& gate_;
    views::Dialogs& dialogs_;
    SignalLists& lists_;
    ShownMarkers& shown_;
    std::int32_t resultReadPos_ = 0;
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
