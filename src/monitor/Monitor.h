#pragma once
// The logic of the main window: start-up, the window's life and (as they
// land) the polling loop. It decides everything and writes the outcome to a
// MainView; TMainForm only forwards its events here.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "clientfiles/Readers.h"
#include "clientfiles/Scanner.h"
#include "platform/Platform.h"
#include "views/Dialogs.h"
#include "views/MainView.h"

namespace monitor {

// How start-up ended.
enum class StartupResult {
    ShowWindow,  // show the main window
    Hidden,      // keep running without showing it (start in tray)
    Terminate,   // end the program without showing a window
};

// Selector items before the archive numbers.
inline constexpr int kCurrentItem = 0;
inline constexpr int kTotalItem = 1;

// Start-up options that are not the user's: the command-line words, and
// whether files may be written (skyvane-cli reads only).
struct StartupOptions {
    std::vector<std::string> args;
    bool readOnly = false;
};

class Monitor {
public:
    Monitor(views::MainView& view, views::Dialogs& dialogs, platform::Services services);
    Monitor(const Monitor&) = delete;
    Monitor& operator=(const Monitor&) = delete;
    ~Monitor();

    // The start-up sequence. Every dialog it needs (client path, errors) is
    // asked for through Dialogs.
    StartupResult FormCreate(const StartupOptions& options);

    // Start-up for a known client directory without the user's settings, the
    // registry or the single-instance test: what skyvane-cli shows. Creates
    // nothing when options.readOnly is set.
    void OpenClientDirectory(const std::string& clientDir, const StartupOptions& options);

    // The window's close button: hide to the tray; the close is refused.
    void FormClose();
    // Tray click or tray menu "Show".
    void Show1Click();
    // "Exit": the only way to end the program from the window.
    void Exit1Click();
    // Application minimised / restored.
    void ApplicationMinimize();
    void ApplicationRestore();

    // What the window logic has learned so far (read by the CLI and tests).
    const std::string& ClientPath() const { return env_.clientPath; }
    const std::string& ClientFileExt() const { return env_.clientFileExt; }
    const std::string& ProgramDirectory() const { return programDir_; }
    std::int32_t ArchiveCount() const { return env_.archiveCount; }
    bool LiveMode() const { return env_.liveMode; }
    bool Minimized() const { return minimized_; }
    const clientfiles::ClientFigures& Figures() const { return figures_; }
    const std::string& WorkUnitPath() const { return workUnitPath_; }
    const std::string& StatePath() const { return statePath_; }
    const std::string& OutfilePath() const { return outfilePath_; }

private:
    bool FindClientDirectory(bool& settingsChanged);
    // Start-up from the archive counter on: the selector, the user file, the
    // live paths and the work unit's header.
    void ShowClientDirectory(bool readOnly);
    bool ReadArchiveCounter(bool readOnly);
    void SetLivePaths();
    std::string ClientFile(std::string_view baseName) const;

    views::MainView& view_;
    views::Dialogs& dialogs_;
    platform::Services services_;
    clientfiles::ReadingGate gate_;
    clientfiles::ClientFigures figures_;
    clientfiles::ClientReaders readers_;
    clientfiles::ReaderEnvironment env_;

    std::string programDir_;
    std::string workUnitPath_, statePath_, outfilePath_;
    double progress_ = 0;  // fraction of the live work unit done
    bool minimized_ = false;
    std::unique_ptr<platform::WindowAnnouncement> announcement_;
};

}  // namespace monitor
