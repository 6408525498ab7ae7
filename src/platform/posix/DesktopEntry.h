#pragma once
// freedesktop.org desktop entries (".desktop" files): what the POSIX backend
// writes for autostart, and what menu and desktop shortcuts are made of.
// Nothing outside src/platform/posix includes this header.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform::posix {

// A further command of an application's entry, which menus offer beside
// the entry's own ("Uninstall Skyvane").
struct DesktopAction {
    std::string id;  // letters, digits and '-'
    std::string name;
    std::vector<std::string> exec;
};

struct DesktopEntry {
    std::string type = "Application";  // "Application" or "Link"
    std::string name;
    std::string comment;            // optional
    std::vector<std::string> exec;  // Application: the program and its arguments
    std::string path;               // Application, optional: its working directory
    bool terminal = false;          // Application: run in a terminal
    std::string url;                // Link: the address it opens
    std::string icon;               // optional: a path or an icon theme name
    // Further keys, each written as a string value ("X-Skyvane-Command", ...).
    std::vector<std::pair<std::string, std::string>> extraKeys;
    std::vector<DesktopAction> actions;  // Application only
};

// The whole file, "[Desktop Entry]" group first. Every value is escaped, and
// the arguments quoted as the Exec key wants them, so whatever the texts
// hold the file passes desktop-file-validate. Nothing when a text holds a
// character no desktop entry can carry (a NUL).
std::optional<std::string> FormatDesktopEntry(const DesktopEntry& entry);

// The Exec key's value for these arguments, before the value escaping:
// arguments with reserved characters double-quoted with `"`, `` ` ``, `$`,
// `\` escaped inside, and every '%' doubled.
std::string QuoteExecArguments(const std::vector<std::string>& args);

// The string-value escaping of desktop entries (\s \n \t \r \\) and back.
std::string EscapeDesktopValue(std::string_view text);
std::string UnescapeDesktopValue(std::string_view text);

// The unescaped value of `key` in the "[Desktop Entry]" group of `text`.
std::optional<std::string> DesktopEntryValue(std::string_view text, std::string_view key);

// $XDG_CONFIG_HOME, else $HOME/.config; $XDG_DATA_HOME, else
// $HOME/.local/share. A relative XDG variable is ignored, as the XDG rules
// say. Nothing without either variable.
std::optional<std::string> XdgConfigHome();
std::optional<std::string> XdgDataHome();

}  // namespace platform::posix
