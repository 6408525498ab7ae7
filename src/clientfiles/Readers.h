#pragma once
// The readers that turn the client's work-unit header, version file and user
// file into the figures of the main window. Each reading walks its file in
// the order the client writes it and either completes or stops at its first
// failure, leaving every value it has not reached as it was.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "clientfiles/Scanner.h"

namespace platform {
class Files;
}
namespace views {
class MainView;
}

namespace clientfiles {

// What WUComboBox shows: the live work unit, the totals, or an archived one.
enum class SelectorView { Current, Total, Archived };

// The values the readers keep for the rest of the program (one instance,
// owned by the main window's logic).
struct ClientFigures {
    std::string WorkUnitName;  // at most 49 characters, as read (8-bit)
    double SkyRA = 0;          // hours
    double SkyDec = 0;         // degrees
    double AngleRange = 0;     // degrees
    double TimeRecorded = 0;   // Julian date of the live work unit
    double SubbandSampleRate = 9765.62;
    double WorkUnitSeconds = 0;
    double TelescopeRate = 0;  // degrees per second
    std::int32_t VersionMajor = 0;
    std::int32_t VersionMinor = 0;  // -100: unknown
    double ClientVersion = 3.03;
    int NaturalZoom = 2;  // drift-rate zoom the client's version calls for
    bool PulsesEnabled = false;
    double CurrentChirp = 0;     // drift rate (Hz/s) the client's search has reached
    std::int32_t CpuSeconds = 0;  // whole CPU seconds spent on the work unit
    double Progress = 0;          // fraction done, 0 to 1
};

// What the readers need to know of the rest of the program.
struct ReaderEnvironment {
    std::string clientPath;  // with trailing separator
    std::string clientFileExt = ".sah";
    bool liveMode = true;
    SelectorView selector = SelectorView::Current;
    std::int32_t archiveCount = 0;
    double shownGaussian = 0;  // score of the best gaussian on screen
    int driftRange = 10;       // Hz/s each way the graph spans
    char decimalSeparator = '.';
    // Told the zoom the header's client version calls for, as soon as it is
    // known (the rest of the header may still fail).
    std::function<void(int naturalZoom)> onNaturalZoom;
};

// What a state reading sets in motion on the rest of the window.
class StateListener {
public:
    virtual ~StateListener() = default;
    // The progress panel's empty state (also the drift-rate bar).
    virtual void ResetProgress() = 0;
    // The drift-rate bar follows CurrentChirp.
    virtual void ShowDriftProgress() = 0;
    // Percentage, bar, title and estimates from CpuSeconds and Progress.
    // False when Progress is 0: there is no estimate and the reading ends.
    virtual bool ShowProgress() = 0;
    // The client's own best signals, read on from the reading's cursor
    // (live work unit only); `bytesLoaded` is the size of the loaded prefix.
    virtual void UpdateLiveBests(Reading& reading, std::size_t bytesLoaded) = 0;
    // The best signals computed from the signal lists (finished work units).
    virtual void ComputeBestSignals() = 0;
};

enum class ReadOutcome {
    Completed,
    NoFile,   // missing or empty file: a normal state, nothing changed
    Aborted,  // stopped at a failure; values reached before it stay
    Refused,  // another reading is active; nothing was done
};

class ClientReaders {
public:
    ClientReaders(platform::Files& files, ReadingGate& gate, views::MainView& view,
                  ClientFigures& figures)
        : files_(files), gate_(gate), view_(view), figures_(figures) {}

    // Header of `workUnitPath` (first 900 bytes): version, sky position,
    // date, base frequency, telescope, recording length.
    ReadOutcome ReadWorkUnitHeader(const std::string& workUnitPath, const ReaderEnvironment& env);
    // VersionMajor/VersionMinor from "version.sah". Throws ReadAbort on a
    // damaged file (the enclosing header reading stops).
    void ReadClientVersion(const ReaderEnvironment& env);
    // The state file (first 3000 bytes, or the result file when the work
    // unit is finished): drift rate, CPU time, progress, best signals.
    ReadOutcome ReadState(const std::string& statePath, const ReaderEnvironment& env,
                          StateListener& listener);
    // The user file ("user_info" + extension, whole).
    ReadOutcome ReadUserInfo(const ReaderEnvironment& env);
    // BestGaussianLabel from TelescopeRate.
    void ShowTelescopeSpeed();

private:
    platform::Files& files_;
    ReadingGate& gate_;
    views::MainView& view_;
    ClientFigures& figures_;
};

// The work unit's name from the header of the file at `path`, read apart
// from the shared reading and without any message: for the archiving that
// must not wait while a reading's box is open. Nothing when the file or its
// "name" line cannot be read.
std::optional<std::string> PeekWorkUnitName(platform::Files& files, const std::string& path);

}  // namespace clientfiles
