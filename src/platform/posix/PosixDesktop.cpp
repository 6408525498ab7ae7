// The Linux desktop's side of installing, mapped from the Windows shell's:
// the programs menu is $XDG_DATA_HOME/applications, the desktop is the XDG
// desktop directory, favorites are link entries under
// $XDG_DATA_HOME/skyvane/favorites; a shortcut is a desktop entry and the
// program's icon goes into the user's icon theme. A program may delete its
// own file while it runs, so no batch file is needed to remove it.

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/posix/DesktopEntry.h"
#include "platform/posix/PosixBackend.h"

namespace platform::posix {

namespace {

constexpr int kIconSizes[] = {16, 32, 48};

// $HOME without a trailing slash.
std::optional<std::string> Home() {
    auto home = GetEnv("HOME");
    while (home && home->size() > 1 && home->back() == '/')
        home->pop_back();
    return home;
}

bool IsWebAddress(const std::string& target) {
    return target.find("://") != std::string::npos;
}

std::string FileStem(const std::string& path) {
    const auto slash = path.rfind('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const auto dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
    return name;
}

// XDG_DESKTOP_DIR from the user's user-dirs.dirs ("$HOME/Desktop" style),
// else ~/Desktop.
std::optional<std::string> DesktopDirectory() {
    const auto home = Home();
    if (auto config = XdgConfigHome()) {
        if (const auto text = ReadWholeFile(*config + "/user-dirs.dirs")) {
            std::size_t at = 0;
            while (at < text->size()) {
                auto end = text->find('\n', at);
                if (end == std::string::npos) end = text->size();
                std::string line = text->substr(at, end - at);
                at = end + 1;
                constexpr std::string_view kKey = "XDG_DESKTOP_DIR=\"";
                if (!line.starts_with(kKey) || line.back() != '"') continue;
                std::string value = line.substr(kKey.size(), line.size() - kKey.size() - 1);
                if (value.starts_with("$HOME")) {
                    if (!home) return std::nullopt;
                    value = *home + value.substr(5);
                }
                if (!value.empty() && value.front() == '/') return value;
            }
        }
    }
    if (home) return *home + "/Desktop";
    return std::nullopt;
}

std::vector<std::string> SplitWords(const std::string& text) {
    std::vector<std::string> words;
    std::size_t at = 0;
    while (at < text.size()) {
        auto end = text.find(' ', at);
        if (end == std::string::npos) end = text.size();
        if (end > at) words.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    return words;
}

std::string IconPath(const std::string& dataHome, int size, const std::string& name) {
    const std::string dims = std::to_string(size) + "x" + std::to_string(size);
    return dataHome + "/icons/hicolor/" + dims + "/apps/" + name + ".png";
}

}  // namespace

std::string ShellFolder(std::string_view name) {
    std::optional<std::string> folder;
    if (name == "Programs") {
        if (auto data = XdgDataHome()) folder = *data + "/applications";
    } else if (name == "Desktop") {
        folder = DesktopDirectory();
    } else if (name == "Favorites") {
        if (auto data = XdgDataHome()) folder = *data + "/skyvane/favorites";
    }
    if (!folder || !MakeDirectories(*folder, 0700)) return {};
    return *folder + "/";
}

std::string DefaultInstallDirectory() {
    const auto home = Home();
    return home ? *home + "/.local/opt/skyvane/" : std::string("/tmp/skyvane/");
}

std::string ShortcutFile(const std::string& folder, std::string_view linkName) {
    return folder + std::string(linkName) + ".desktop";
}

bool SaveShortcut(const std::string& folder, std::string_view linkName, const Shortcut& shortcut) {
    DesktopEntry entry;
    entry.name = std::string(linkName);
    if (IsWebAddress(shortcut.target)) {
        entry.type = "Link";
        entry.url = shortcut.target;
    } else {
        entry.exec.push_back(shortcut.target);
        // Arguments are blank-separated words, as on a Windows command line.
        const auto words = SplitWords(shortcut.arguments);
        entry.exec.insert(entry.exec.end(), words.begin(), words.end());
        entry.path = shortcut.workingDirectory;
        entry.terminal = shortcut.console;
        for (const auto& action : shortcut.actions) {
            DesktopAction item{action.id, action.name, {shortcut.target}};
            const auto actionWords = SplitWords(action.arguments);
            item.exec.insert(item.exec.end(), actionWords.begin(), actionWords.end());
            entry.actions.push_back(std::move(item));
        }
    }
    // A program's shortcut shows the program's icon, as on Windows; the icon
    // theme holds it under the program's name (RegisterApplication).
    if (shortcut.iconIndex >= 0)
        entry.icon = FileStem(shortcut.iconFile);
    else if (!IsWebAddress(shortcut.target))
        entry.icon = FileStem(shortcut.target);
    const auto text = FormatDesktopEntry(entry);
    const std::string file = ShortcutFile(folder, linkName);
    if (!text || !ReplaceFileAtomically(file, *text)) return false;
    // File managers start a launcher on the desktop only when it is marked
    // executable; anything else they show as a text file, or ask first.
    chmod(file.c_str(), 0755);
    return true;
}

bool RegisterApplication(const std::string& executable, std::span<const IconPicture> icons) {
    const auto data = XdgDataHome();
    if (!data) return false;
    bool ok = true;
    for (const auto& icon : icons) {
        const std::string path = IconPath(*data, icon.size, FileStem(executable));
        const auto slash = path.rfind('/');
        ok = MakeDirectories(path.substr(0, slash), 0755) &&
             ReplaceFileAtomically(path, icon.png) && ok;
    }
    return ok;
}

void UnregisterApplication(const std::string& executable) {
    const auto data = XdgDataHome();
    if (!data) return;
    for (int size : kIconSizes)
        unlink(IconPath(*data, size, FileStem(executable)).c_str());
    // Skyvane's own folders, when nothing else is left in them.
    rmdir((*data + "/skyvane/favorites").c_str());
    rmdir((*data + "/skyvane").c_str());
}

bool DeleteProgramAfterExit(const std::string& executable, const std::string& directory,
                            bool removeDirectory) {
    if (unlink(executable.c_str()) != 0 && errno != ENOENT) return false;
    if (removeDirectory) {
        std::string dir = directory;
        while (dir.size() > 1 && dir.back() == '/')
            dir.pop_back();
        rmdir(dir.c_str());
    }
    return true;
}

}  // namespace platform::posix
