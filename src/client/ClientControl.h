#pragma once
// Client control: which client executable the client directory holds and of
// which kind it is, starting it with the right command line, finding and
// stopping it, and the two things it is told through files and the registry
// (its stop mode and its directory). No wx here; every wait goes through the
// platform's clock.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "history/SettingsRecord.h"
#include "platform/Platform.h"
#include "views/Dialogs.h"

namespace client {

enum class ClientKind : std::uint8_t {
    None = 0,       // no client executable found
    Text = 1,       // a console client
    Graphical = 2,  // the windowed client
};

inline constexpr std::string_view kGraphicalExeName = "SETI@home.exe";
inline constexpr std::string_view kGraphicalWindowClass = "SetiClientParent";
inline constexpr std::string_view kGraphicalWindowTitle = "SETI@Home Client";
inline constexpr std::string_view kConsoleWindowClass = "tty";
inline constexpr std::string_view kStopAfterProcess = "-stop_after_process";
inline constexpr std::string_view kStopAfterXfer = "-stop_after_xfer";
inline constexpr std::string_view kMinimizedSwitch = "-min";
inline constexpr std::string_view kStopMarkerFile = "stop_after_send.txt";
inline constexpr std::string_view kConfigFile = "config.bin";
inline constexpr std::size_t kConfigRecordSize = 680;
inline constexpr std::size_t kConfigFlagOffset = 16;
// The client records its directory here, under both registry roots.
inline constexpr std::string_view kClientRegistryKey = "Software\\SETI@home\\";
inline constexpr std::string_view kClientDirValue = "ClientDir";

// How long StopClient waits for a client to go before it gives up and says so.
inline constexpr std::chrono::seconds kStopWaitLimit{30};
inline constexpr std::string_view kCannotStopMessage = "The SETI@home client could not be stopped.";

// The text with every "." removed.
std::string StripDots(std::string_view text);

// Whether a top-level window is a text client's: a console window titled
// after a client, or any other window whose title names a client version 3.
bool IsClientWindow(const platform::WindowInfo& window);

// Deletes `path`, trying again every 500 ms, 11 attempts in all. A file that
// still exists afterwards is reported ("Unable to delete" + path); true when
// the file is gone. A missing file is gone at once.
bool DeleteWithRetry(platform::Files& files, platform::Clock& clock, views::Dialogs& dialogs,
                     const std::string& path);

class ClientControl {
public:
    // `settings` gives HideClient and ClientParams at each start; it must
    // outlive this object.
    ClientControl(platform::Services services, views::Dialogs& dialogs,
                  const history::TSettingsRec& settings);

    // The client directory, with its trailing separator. While a refresh
    // runs the client in a scratch directory it names that directory and
    // SavedClientPath the real one; otherwise SavedClientPath is empty.
    const std::string& ClientPath() const { return clientPath_; }
    void SetClientPath(std::string path) { clientPath_ = std::move(path); }
    const std::string& SavedClientPath() const { return savedClientPath_; }
    void SetSavedClientPath(std::string path) { savedClientPath_ = std::move(path); }

    ClientKind Kind() const { return kind_; }
    // The executable's file name without directory; empty when none.
    const std::string& ClientExeName() const { return exeName_; }
    // The stop switch a text client is started with.
    const std::string& StopSwitch() const { return stopSwitch_; }

    // Finds the client's executable and kind in the client directory. The
    // windowed client's executable wins over a text client's.
    void FindClient();

    // The executable StartClient launches: in the client directory, else in
    // the saved one.
    std::string ExecutablePath() const;
    // The exact command line StartClient launches (the parameters of a text
    // client end in a blank when there are no extra ones).
    std::string CommandLine() const;

    // Launches the client from the client directory and does not wait. A
    // missing executable launches nothing, silently. False (after a message)
    // only when the client directory is not there to start it in.
    bool StartClient();

    // Stops a running client of the current kind and returns when it has
    // gone: true. After kStopWaitLimit of waiting the user is told that the
    // client could not be stopped: false.
    bool StopClient();

    // The process of a running text client, or nothing.
    std::optional<platform::ProcessId> FindRunningClient();

    // Windowed client only: points the client's registry value at `path`
    // (with its trailing separator) under both roots. True when the value
    // under HKEY_CURRENT_USER reads back equal; the client directory is then
    // `path`. Registry failures are not reported here.
    bool WriteClientDirToRegistry(const std::string& path);

    // Whether the client stops after processing its work unit (true) or
    // after its next exchange with the server (false). False when the
    // windowed client's marker file could not be changed (the user was told).
    bool SetStopMode(bool afterProcessing);

    // Windowed client only: sets the flag byte of "config.bin". A missing,
    // short or unwritable file is reported and nothing is written: false.
    bool SetConfigFlag(std::uint8_t value);

    // After a refresh that died half way: points the windowed client back at
    // its real directory. Reports "Error accessing the registry." when the
    // client's machine-wide key cannot be opened.
    void RepairInterruptedConnect();

private:
    struct Found {
        std::optional<platform::WindowInfo> window;
        std::optional<platform::ProcessId> process;
    };
    Found FindTextClient();
    bool StopTextClient();
    bool StopGraphicalClient();
    void NudgePointer();
    // Sleeps `step` at a time while `running` holds, at most kStopWaitLimit.
    // False when the limit was reached.
    template <class Running>
    bool WaitWhile(Running running, std::chrono::milliseconds step,
                   std::chrono::milliseconds limit);
    void StartScreenSaver();

    platform::Services services_;
    views::Dialogs& dialogs_;
    const history::TSettingsRec& settings_;
    std::string clientPath_;
    std::string savedClientPath_;
    ClientKind kind_ = ClientKind::None;
    std::string exeName_;
    std::string stopSwitch_;
};

}  // namespace client
