#pragma once
// Install and uninstall: Skyvane installs and removes itself, with no
// separate installer. The install/upgrade dialog's logic (InstallForm), the
// removal (Uninstall), and two operations used elsewhere: asking other
// running copies to quit (CloseOtherInstances) and making a shortcut
// (CreateShortcut). No wx here; everything reaches the system through the
// platform services, so the same steps make .lnk files and registry keys on
// Windows and desktop entries and a registry record on Linux.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "client/StartupRegistration.h"
#include "platform/Platform.h"
#include "views/Dialogs.h"
#include "views/InstallView.h"

namespace setup {

// Under HKEY_LOCAL_MACHINE: where Windows finds the program by name, and its
// entry in the list of programs to remove.
inline constexpr std::string_view kAppPathsKey =
    "Software\\MicroSoft\\Windows\\CurrentVersion\\App Paths\\Skyvane.exe";
inline constexpr std::string_view kUninstallKey =
    "Software\\MicroSoft\\Windows\\CurrentVersion\\Uninstall\\Skyvane";

// The command-line words: remove Skyvane; save the default settings instead
// of asking to install (what a freshly installed copy is started with).
inline constexpr std::string_view kUninstallWord = "uninstall";
inline constexpr std::string_view kFirstWord = "first";

// The process's exit code when other copies would not quit.
inline constexpr int kOtherInstancesExitCode = 100;
inline constexpr std::string_view kCloseOthersMessage =
    "Please close other instances of Skyvane in the memory.";
inline constexpr std::string_view kUninstallQuestion =
    "Are you sure you want to remove Skyvane and delete all saved SETI@home results from your "
    "system?";

// Asks every other running Skyvane to quit: up to five times, 400 ms apart.
// `own` is this copy's announced main window, if it has one; its title is
// cleared meanwhile, so that the search never finds this copy. False when
// others are still there: the warning has been shown and the caller ends
// the process with kOtherInstancesExitCode.
bool CloseOtherInstances(const platform::Services& services, views::Dialogs& dialogs,
                         platform::WindowAnnouncement* own);

// One shortcut in the user's shell folder `folderName` ("Programs",
// "Desktop", "Favorites"), in `subfolder` of it when one is given (created
// when missing). The icon is set only for an index of 0 or more; the
// arguments only together with a working directory. Nothing is saved when
// the system has no such folder. False when the folder could not be made or
// the shortcut not saved.
struct ShortcutRequest {
    std::string_view folderName;
    std::string target;
    std::string linkName;
    std::string subfolder;
    std::string iconFile;
    int iconIndex = -1;
    std::string workingDirectory;
    std::string arguments;
    // Desktop entries only: further commands beside the shortcut.
    std::vector<platform::ShortcutAction> actions;
    // A console program (a text client), which wants a terminal on Linux.
    bool console = false;
};
bool CreateShortcut(const platform::Services& services, const ShortcutRequest& request);

// How the install/upgrade dialog ended.
enum class InstallOutcome {
    Pending,        // not ended yet (or the dialog never ran)
    InstalledHere,  // installed where it runs: start-up goes on, window shown
    Restarted,      // the installed copy was started: this one ends (code 0)
    Cancelled,      // the user cancelled: end (code 0)
    OthersRunning,  // other copies would not quit: end (kOtherInstancesExitCode)
};

// "Skyvane install/upgrade": copies the running executable (and skyvane-cli
// beside it) into the chosen directory, registers it, makes the shortcuts
// and starts the installed copy with "first". The running executable is the
// environment's ExecutablePath.
class InstallForm : public views::InstallEvents {
public:
    // `saveSettings` writes the settings file (installed where it runs).
    InstallForm(const platform::Services& services, views::Dialogs& dialogs,
                std::function<void()> saveSettings);

    bool FormCreate(views::InstallView& view) override;
    void BitBtn1Click() override;
    void BitBtn2Click() override;
    void FormClose() override;

    InstallOutcome Outcome() const { return outcome_; }

private:
    void End(InstallOutcome outcome);
    void Register(const std::string& directory, const std::string& target);
    void MakeShortcuts(const std::string& target);

    platform::Services services_;
    views::Dialogs& dialogs_;
    std::function<void()> saveSettings_;
    views::InstallView* view_ = nullptr;
    std::string programDir_;
    // The directory the registry names as the installation; empty when none.
    std::string installedDir_;
    InstallOutcome outcome_ = InstallOutcome::Pending;
};

enum class UninstallOutcome {
    Declined,       // the user said No: end without a window (code 0)
    Removed,        // everything is gone or goes when the process ends (code 0)
    OthersRunning,  // other copies would not quit (kOtherInstancesExitCode)
    Failed,         // a directory could not be removed; the user was told
};

// Removes Skyvane: its start-up values (through `registration`), registry
// entries, shortcuts, data and, once the process has ended, its executable
// and the then empty program directory. Deletes only what it made: inside
// the program directory only the settings, the archive counter, the "old"
// and "cache" directories' files and the programs; a link there is removed
// as a link, never followed out of the directory; an executable that runs
// from elsewhere than the program directory is left alone.
UninstallOutcome Uninstall(const platform::Services& services,
                           client::StartupRegistration& registration, views::Dialogs& dialogs);

// The text with ASCII letters upper-cased where the system compares file
// names without regard to case, else as it is.
std::string FoldFileName(std::string_view name);

}  // namespace setup
