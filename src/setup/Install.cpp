#include "setup/Install.h"

#include <chrono>
#include <utility>

#include "history/ArchiveCounter.h"
#include "history/SettingsRecord.h"
#include "setup/AppIcon.h"
#include "setup/Sites.h"
#include "views/MainWindowName.h"

namespace setup {

namespace {

using views::InstallControl;
using views::kAppTitle;
using views::kMainWindowClass;

constexpr int kCloseAttempts = 5;
constexpr std::chrono::milliseconds kCloseWait{400};

constexpr std::string_view kSkyvaneLink = "Skyvane";
constexpr std::string_view kFavoritesSubfolder = "Skyvane";
constexpr std::string_view kSiteFavorite = "Skyvane site";
constexpr std::string_view kTipsFavorite = "Hardware Performance tips";
constexpr std::string_view kUninstallAction = "Uninstall Skyvane";

constexpr std::string_view kInvalidDirectory = "Invalid Directory";
constexpr std::string_view kCannotCopy = "Can not copy Skyvane.exe to the specified path.";

// The program's data in its directory, and the two directories of files.
constexpr std::string_view kArchiveDir = "old";
constexpr std::string_view kCacheDir = "cache";

std::string WithSeparator(std::string path) {
    const char separator = platform::PathSeparator();
    if (path.empty() || (path.back() != separator && path.back() != '/')) path += separator;
    return path;
}

std::string WithoutSeparator(std::string path) {
    while (path.size() > 1 && (path.back() == platform::PathSeparator() || path.back() == '/'))
        path.pop_back();
    return path;
}

std::string FileNameOf(const std::string& path) {
    const auto slash = path.find_last_of(std::string("/") + platform::PathSeparator());
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// skyvane-cli beside the program, with the program's extension (".exe").
std::string CliNameFor(const std::string& exeName) {
    const auto dot = exeName.rfind('.');
    return "skyvane-cli" + (dot == std::string::npos ? std::string() : exeName.substr(dot));
}

// Creates `directory` and its missing parents. A fresh Linux home has no
// ~/.local/opt, where programs of one user go.
bool MakeDirectories(platform::Files& files, const std::string& directory) {
    const std::string path = WithoutSeparator(directory);
    if (path.empty() || files.DirectoryExists(path)) return true;
    const auto slash = path.find_last_of(std::string("/") + platform::PathSeparator());
    if (slash != std::string::npos && slash > 0) {
        const std::string parent = path.substr(0, slash);
        // "C:" is a drive, not a directory to make.
        if (!(parent.size() == 2 && parent[1] == ':') && !MakeDirectories(files, parent))
            return false;
    }
    return files.CreateDirectory(path) || files.DirectoryExists(path);
}

// Deletes every file of `directory` whose name does not begin with "."; a
// link among them goes as a link.
void DeleteFilesIn(platform::Files& files, const std::string& directory) {
    for (const auto& entry : files.ListDirectory(WithoutSeparator(directory))) {
        if (entry.name.empty() || entry.name.front() == '.') continue;
        const std::string path = WithSeparator(directory) + entry.name;
        if (!entry.isDirectory || files.IsLink(path)) files.DeleteFile(path);
    }
}

// Removes a link where a directory of ours should be, without touching what
// it points to: POSIX unlinks it as a file, Windows removes a junction as a
// directory.
void RemoveLink(platform::Files& files, const std::string& path) {
    if (!files.DeleteFile(path)) files.RemoveDirectory(path);
}

}  // namespace

std::string FoldFileName(std::string_view name) {
    std::string folded(name);
    if (!platform::FileNamesIgnoreCase()) return folded;
    for (char& c : folded)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return folded;
}

// ------------------------------------------------------------ other copies

bool CloseOtherInstances(const platform::Services& services, views::Dialogs& dialogs,
                         platform::WindowAnnouncement* own) {
    if (own != nullptr) own->SetTitle("");
    int attempts = 0;
    while (attempts < kCloseAttempts) {
        const auto other = services.windows.FindWindow(kMainWindowClass, kAppTitle);
        // A window that cannot be asked (our own) is not waited for.
        if (!other || !services.windows.PostQuit(*other)) break;
        services.clock.Sleep(kCloseWait);
        ++attempts;
    }
    // A copy that went after the last request is gone, not a failure.
    if (attempts == kCloseAttempts && services.windows.FindWindow(kMainWindowClass, kAppTitle)) {
        dialogs.ShowWarning(kCloseOthersMessage);
        return false;
    }
    if (own != nullptr) own->SetTitle(kAppTitle);
    return true;
}

// ---------------------------------------------------------------- shortcuts

bool CreateShortcut(const platform::Services& services, const ShortcutRequest& request) {
    platform::Shortcut link;
    link.target = request.target;
    if (request.iconIndex >= 0) {
        link.iconFile = request.iconFile;
        link.iconIndex = request.iconIndex;
    }
    if (!request.workingDirectory.empty()) {
        link.workingDirectory = request.workingDirectory;
        link.arguments = request.arguments;
    }
    link.actions = request.actions;
    link.console = request.console;

    std::string folder = services.shell.ShellFolder(request.folderName);
    if (folder.empty()) return true;  // the system has no such folder
    folder = WithSeparator(folder);
    if (!request.subfolder.empty()) folder = WithSeparator(folder + request.subfolder);
    if (!services.files.DirectoryExists(WithoutSeparator(folder)) &&
        !services.files.CreateDirectory(WithoutSeparator(folder)))
        return false;
    return services.shell.SaveShortcut(folder, request.linkName, link);
}

// ------------------------------------------------------------------ install

InstallForm::InstallForm(const platform::Services& services, views::Dialogs& dialogs,
                         std::function<void()> saveSettings)
    : services_(services), dialogs_(dialogs), saveSettings_(std::move(saveSettings)) {}

bool InstallForm::FormCreate(views::InstallView& view) {
    view_ = &view;
    if (!CloseOtherInstances(services_, dialogs_, nullptr)) {
        outcome_ = InstallOutcome::OthersRunning;
        return false;
    }
    view.SetText(InstallControl::Label1,
                 "Install Skyvane " + std::string(history::kSettingsVersion) + " in");
    view.SetText(InstallControl::Edit1, services_.shell.DefaultInstallDirectory());
    installedDir_.clear();
    programDir_ = services_.environment.ProgramDirectory();

    // A copy that already keeps its data where it runs is an upgrade in place.
    if (services_.files.FileExists(programDir_ + history::kArchiveCounterName)) {
        view.SetText(InstallControl::Edit1, programDir_);
        return true;
    }
    if (auto key = services_.registry.OpenKey(platform::RegRoot::LocalMachine, kAppPathsKey,
                                              platform::RegAccess::Read)) {
        if (auto path = key->ReadString("Path")) {
            installedDir_ = *path;
            view.SetText(InstallControl::Edit1, *path);
        }
    }
    return true;
}

void InstallForm::End(InstallOutcome outcome) {
    outcome_ = outcome;
    if (view_ != nullptr) view_->CloseDialog();
}

void InstallForm::BitBtn1Click() {
    auto& files = services_.files;
    const std::string directory = WithSeparator(FoldFileName(view_->Text(InstallControl::Edit1)));
    const std::string running = services_.environment.ExecutablePath();
    const std::string exeName = FileNameOf(running);
    const std::string target = directory + exeName;
    const bool elsewhere = directory != FoldFileName(programDir_);

    if (elsewhere) {
        if (!MakeDirectories(files, directory)) {
            dialogs_.ShowError(kInvalidDirectory);
            return;
        }
        if (!files.CopyFile(running, target, true)) {
            dialogs_.ShowError(kCannotCopy);
            return;
        }
        // The command-line companion goes along where there is one; the
        // program works without it.
        const std::string cli =
            WithSeparator(FileNameOf(running) == running
                              ? std::string(".")
                              : running.substr(0, running.size() - exeName.size())) +
            CliNameFor(exeName);
        if (files.FileExists(cli)) files.CopyFile(cli, directory + CliNameFor(exeName), true);
    }

    if (FoldFileName(installedDir_) != directory) Register(directory, target);
    MakeShortcuts(target);

    if (elsewhere) {
        // The new copy writes its default settings and runs from there.
        if (!services_.processes.Launch(target + " " + std::string(kFirstWord), directory,
                                        platform::ShowMode::Normal))
            dialogs_.ShowError("Can not start " + target + ".");
        End(InstallOutcome::Restarted);
        return;
    }
    if (saveSettings_) saveSettings_();
    End(InstallOutcome::InstalledHere);
}

// Registry failures are not worth a message: the program runs without.
void InstallForm::Register(const std::string& directory, const std::string& target) {
    auto& registry = services_.registry;
    if (auto key = registry.OpenKey(platform::RegRoot::LocalMachine, kAppPathsKey,
                                    platform::RegAccess::Write))
        key->WriteString("Path", directory);
    if (auto key = registry.OpenKey(platform::RegRoot::LocalMachine, kUninstallKey,
                                    platform::RegAccess::Write)) {
        key->WriteString("DisplayName", "Skyvane");
        key->WriteString("UninstallString", target + " " + std::string(kUninstallWord));
    }
}

namespace {

ShortcutRequest Link(std::string_view folderName, std::string target, std::string_view name,
                     std::string_view subfolder = {}) {
    ShortcutRequest request;
    request.folderName = folderName;
    request.target = std::move(target);
    request.linkName = std::string(name);
    request.subfolder = std::string(subfolder);
    return request;
}

}  // namespace

void InstallForm::MakeShortcuts(const std::string& target) {
    // The desktop's own icon for the program, which its shortcuts show.
    services_.shell.RegisterApplication(target, AppIconImages());
    if (view_->Checked(InstallControl::CheckBox1)) {
        ShortcutRequest programs = Link("Programs", target, kSkyvaneLink);
        programs.actions.push_back(
            {"uninstall", std::string(kUninstallAction), std::string(kUninstallWord)});
        CreateShortcut(services_, programs);
    }
    if (view_->Checked(InstallControl::CheckBox2))
        CreateShortcut(services_, Link("Desktop", target, kSkyvaneLink));
    if (view_->Checked(InstallControl::CheckBox3)) {
        // Old favorites first: an upgrade may have renamed them.
        const std::string favorites = services_.shell.ShellFolder("Favorites");
        if (!favorites.empty()) {
            const std::string folder = WithSeparator(favorites) + std::string(kFavoritesSubfolder);
            if (services_.files.DirectoryExists(folder)) DeleteFilesIn(services_.files, folder);
        }
        ShortcutRequest site =
            Link("Favorites", std::string(kProductSite), kSiteFavorite, kFavoritesSubfolder);
        site.iconFile = target;
        site.iconIndex = 0;
        CreateShortcut(services_, site);
        CreateShortcut(
            services_,
            Link("Favorites", std::string(kProductSite) + std::string(kPerformanceTipsPage),
                 kTipsFavorite, kFavoritesSubfolder));
    }
}

void InstallForm::BitBtn2Click() {
    End(InstallOutcome::Cancelled);
}

// Closing the dialog any other way is Cancel: the main window has not come
// up, so carrying on would leave a program nobody can reach.
void InstallForm::FormClose() {
    if (outcome_ == InstallOutcome::Pending) End(InstallOutcome::Cancelled);
}

// ---------------------------------------------------------------- uninstall

UninstallOutcome Uninstall(const platform::Services& services,
                           client::StartupRegistration& registration, views::Dialogs& dialogs) {
    auto& files = services.files;
    auto& shell = services.shell;
    if (!CloseOtherInstances(services, dialogs, nullptr)) return UninstallOutcome::OthersRunning;
    if (!dialogs.AskYesNoWarning(kUninstallQuestion)) return UninstallOutcome::Declined;

    const std::string programDir = WithSeparator(services.environment.ProgramDirectory());
    const std::string executable = services.environment.ExecutablePath();
    const std::string exeName = FileNameOf(executable);

    registration.RemoveSkyvaneValues();

    services.registry.DeleteKey(platform::RegRoot::LocalMachine, kAppPathsKey);
    services.registry.DeleteKey(platform::RegRoot::LocalMachine, kUninstallKey);

    // Every shortcut install made: one left behind would point at nothing.
    for (std::string_view folderName : {"Programs", "Desktop"}) {
        const std::string folder = shell.ShellFolder(folderName);
        if (folder.empty()) continue;
        const std::string link = shell.ShortcutFile(WithSeparator(folder), kSkyvaneLink, false);
        if (files.FileExists(link)) files.DeleteFile(link);
    }
    if (const std::string favorites = shell.ShellFolder("Favorites"); !favorites.empty()) {
        const std::string folder = WithSeparator(favorites) + std::string(kFavoritesSubfolder);
        for (std::string_view name : {kSiteFavorite, kTipsFavorite}) {
            const std::string link = shell.ShortcutFile(WithSeparator(folder), name, true);
            if (files.FileExists(link)) files.DeleteFile(link);
        }
        if (files.DirectoryExists(folder) && !files.IsLink(folder)) files.RemoveDirectory(folder);
    }
    shell.UnregisterApplication(executable);

    // The data, by name, in the program directory only.
    for (std::string_view name : {std::string_view(history::kArchiveCounterName),
                                  std::string_view(history::kSettingsFileName)}) {
        const std::string path = programDir + std::string(name);
        if (files.FileExists(path) || files.IsLink(path)) files.DeleteFile(path);
    }
    for (std::string_view name : {kArchiveDir, kCacheDir}) {
        const std::string path = programDir + std::string(name);
        if (files.IsLink(path)) {
            RemoveLink(files, path);
            continue;
        }
        if (!files.DirectoryExists(path)) continue;
        DeleteFilesIn(files, path);
        if (!files.RemoveDirectory(path)) {
            dialogs.ShowError("Cannot remove the directory \"" + path + "\".");
            return UninstallOutcome::Failed;
        }
    }
    const std::string cli = programDir + CliNameFor(exeName);
    if (files.FileExists(cli) || files.IsLink(cli)) files.DeleteFile(cli);

    // The program itself only where it is the program directory's: one
    // started from elsewhere (a build tree with SKYVANE_PROGRAM_DIR set) is
    // not ours to delete.
    const std::string exeDir = executable.substr(0, executable.size() - exeName.size());
    if (FoldFileName(WithSeparator(exeDir)) != FoldFileName(programDir))
        return UninstallOutcome::Removed;

    // The directory goes too when nothing but the program is left in it.
    bool onlyTheProgram = true;
    for (const auto& entry : files.ListDirectory(WithoutSeparator(programDir))) {
        if (entry.name.empty() || entry.name.front() == '.') continue;
        if (FoldFileName(entry.name) != FoldFileName(exeName)) onlyTheProgram = false;
    }
    if (!shell.DeleteProgramAfterExit(executable, programDir, onlyTheProgram)) {
        dialogs.ShowError("Cannot remove \"" + executable + "\".");
        return UninstallOutcome::Failed;
    }
    return UninstallOutcome::Removed;
}

}  // namespace setup
