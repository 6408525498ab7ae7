// Start-up values on Linux: XDG autostart entries. A desktop session starts
// every entry in $XDG_CONFIG_HOME/autostart (default ~/.config/autostart) at
// login:
//
//   "Run" value NAME              ->  autostart/<name>.desktop
//   "RunServicesOnce" value NAME  ->  autostart/<name>-once.desktop
//
// (names lower-cased: the registry compares them without regard to case).
// Windows removes a RunServicesOnce value when it runs it; the "-once" entry
// does that itself: it runs `sh -c 'rm -f -- "$0"; exec "$@"' ENTRY COMMAND`,
// which deletes the entry's file and then becomes the command.
//
// The command line is kept exactly as given in the key X-Skyvane-Command, so
// what was written reads back the same; Exec holds it split into program and
// arguments the way the launch service splits it.

#include <unistd.h>

#include <cerrno>

#include <string>

#include "platform/Platform.h"
#include "platform/posix/DesktopEntry.h"
#include "platform/posix/PosixBackend.h"

namespace platform::posix {

namespace {

constexpr std::string_view kCommandKey = "X-Skyvane-Command";

bool IsValidName(std::string_view name) {
    if (name.empty() || name.size() > 64) return false;
    for (const char c : name) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                        (c >= '0' && c <= '9') || c == '_' || c == '-';
        if (!ok) return false;
    }
    return true;
}

class PosixStartupValues final : public StartupValues {
public:
    bool Write(std::string_view subkey, std::string_view name, std::string_view command) override {
        const auto path = EntryPath(subkey, name);
        if (!path) return false;
        const std::string dir = path->substr(0, path->rfind('/'));
        if (!MakeDirectories(dir, 0755)) return false;

        DesktopEntry entry;
        entry.name = std::string(name);
        entry.comment = "Started at login by Skyvane";
        auto words = SplitCommandLine(command, IsExecutableFile);
        if (words.empty()) return false;
        if (IsOnce(subkey)) {
            entry.exec = {"sh", "-c", "rm -f -- \"$0\"; exec \"$@\"", *path};
            entry.exec.insert(entry.exec.end(), words.begin(), words.end());
        } else {
            entry.exec = std::move(words);
        }
        entry.extraKeys.emplace_back(kCommandKey, std::string(command));
        const auto text = FormatDesktopEntry(entry);
        return text && ReplaceFileAtomically(*path, *text);
    }

    bool Delete(std::string_view subkey, std::string_view name) override {
        const auto path = EntryPath(subkey, name);
        if (!path) return false;
        return unlink(path->c_str()) == 0 || errno == ENOENT;
    }

    std::optional<bool> Exists(std::string_view subkey, std::string_view name) override {
        const auto path = EntryPath(subkey, name);
        if (!path) return std::nullopt;
        return access(path->c_str(), F_OK) == 0;
    }

    std::optional<std::string> Read(std::string_view subkey, std::string_view name) override {
        const auto path = EntryPath(subkey, name);
        if (!path) return std::nullopt;
        const auto text = ReadWholeFile(*path);
        if (!text) return std::nullopt;
        // An entry someone wrote by hand has no copy of the line: its Exec
        // is the nearest thing.
        if (auto command = DesktopEntryValue(*text, kCommandKey)) return command;
        return DesktopEntryValue(*text, "Exec");
    }

private:
    static bool IsOnce(std::string_view subkey) { return AsciiLower(subkey) == "runservicesonce"; }

    // Nothing for a subkey we do not map, a name that could leave the
    // directory, or no home to put it in.
    static std::optional<std::string> EntryPath(std::string_view subkey, std::string_view name) {
        const std::string lower = AsciiLower(subkey);
        if (lower != "run" && lower != "runservicesonce") return std::nullopt;
        if (!IsValidName(name)) return std::nullopt;
        const auto config = XdgConfigHome();
        if (!config) return std::nullopt;
        return *config + "/autostart/" + AsciiLower(name) + (IsOnce(subkey) ? "-once" : "") +
               ".desktop";
    }
};

}  // namespace

std::unique_ptr<StartupValues> MakeStartupValues() {
    return std::make_unique<PosixStartupValues>();
}

}  // namespace platform::posix
