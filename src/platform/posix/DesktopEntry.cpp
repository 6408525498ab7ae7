#include "platform/posix/DesktopEntry.h"

#include "platform/posix/PosixBackend.h"

namespace platform::posix {

namespace {

constexpr std::string_view kGroup = "[Desktop Entry]";
// Characters that make an Exec argument need quotes.
constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";

}  // namespace

std::string EscapeDesktopValue(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\r':
                out += "\\r";
                break;
            case ' ':
                // Leading blanks would be taken for the blanks around '='.
                out += i == 0 ? "\\s" : " ";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string UnescapeDesktopValue(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        switch (text[++i]) {
            case 's':
                out += ' ';
                break;
            case 'n':
                out += '\n';
                break;
            case 't':
                out += '\t';
                break;
            case 'r':
                out += '\r';
                break;
            case '\\':
                out += '\\';
                break;
            default:
                out += '\\';
                out += text[i];
        }
    }
    return out;
}

std::string QuoteExecArguments(const std::vector<std::string>& args) {
    std::string out;
    for (const auto& arg : args) {
        if (!out.empty()) out += ' ';
        const bool quote = arg.empty() || arg.find_first_of(kReserved) != std::string::npos;
        if (quote) out += '"';
        for (const char c : arg) {
            if (c == '%') {
                out += "%%";
                continue;
            }
            if (quote && (c == '"' || c == '`' || c == '$' || c == '\\')) out += '\\';
            out += c;
        }
        if (quote) out += '"';
    }
    return out;
}

std::optional<std::string> FormatDesktopEntry(const DesktopEntry& entry) {
    std::string text(kGroup);
    text += '\n';
    bool usable = true;
    const auto add = [&](std::string_view key, std::string_view value) {
        if (value.find('\0') != std::string_view::npos) usable = false;
        text += key;
        text += '=';
        text += EscapeDesktopValue(value);
        text += '\n';
    };
    add("Type", entry.type);
    add("Name", entry.name);
    if (!entry.comment.empty()) add("Comment", entry.comment);
    if (!entry.icon.empty()) add("Icon", entry.icon);
    const bool link = entry.type == "Link";
    if (link) {
        add("URL", entry.url);
    } else {
        add("Exec", QuoteExecArguments(entry.exec));
        add("Terminal", entry.terminal ? "true" : "false");
        if (!entry.path.empty()) add("Path", entry.path);
    }
    for (const auto& [key, value] : entry.extraKeys)
        add(key, value);
    if (!link && !entry.actions.empty()) {
        std::string ids;
        for (const auto& action : entry.actions)
            ids += action.id + ";";
        add("Actions", ids);
        for (const auto& action : entry.actions) {
            text += "\n[Desktop Action " + action.id + "]\n";
            add("Name", action.name);
            add("Exec", QuoteExecArguments(action.exec));
        }
    }
    if (!usable) return std::nullopt;
    return text;
}

std::optional<std::string> DesktopEntryValue(std::string_view text, std::string_view key) {
    bool inGroup = false;
    std::size_t at = 0;
    while (at < text.size()) {
        auto end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.starts_with('[')) {
            inGroup = line == kGroup;
            continue;
        }
        if (!inGroup || line.starts_with('#')) continue;
        const auto equals = line.find('=');
        if (equals == std::string_view::npos) continue;
        std::string_view name = line.substr(0, equals);
        while (!name.empty() && name.back() == ' ')
            name.remove_suffix(1);
        if (name != key) continue;
        std::string_view value = line.substr(equals + 1);
        while (!value.empty() && value.front() == ' ')
            value.remove_prefix(1);
        return UnescapeDesktopValue(value);
    }
    return std::nullopt;
}

namespace {

std::optional<std::string> XdgHome(const char* variable, std::string_view fallback) {
    if (auto dir = GetEnv(variable); dir && dir->front() == '/') return dir;
    if (auto home = GetEnv("HOME")) {
        while (home->size() > 1 && home->back() == '/')
            home->pop_back();
        return *home + "/" + std::string(fallback);
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> XdgConfigHome() {
    return XdgHome("XDG_CONFIG_HOME", ".config");
}

std::optional<std::string> XdgDataHome() {
    return XdgHome("XDG_DATA_HOME", ".local/share");
}

}  // namespace platform::posix
