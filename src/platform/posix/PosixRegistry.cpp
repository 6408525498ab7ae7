// The registry on POSIX: one text file per root, in the style of an INI file,
// so a user can read and fix it with any editor.
//
//   [Software\SETI@home]
//   ClientDir=/home/ann/seti/
//
// A section names a key by its full path; a key also exists when only keys
// below it have sections, as creating a key creates its parents. Values are
// escaped (see EscapeText) so any byte string round-trips, and blanks around
// names and values are trimmed, so "Name = value" typed by hand works. Lines
// starting with ';' or '#' are comments. A line that makes no sense is
// ignored, and kept as it is when the file is rewritten.

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <functional>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/posix/PosixBackend.h"

namespace platform::posix {

namespace {

const char* RootFileName(RegRoot root) {
    return root == RegRoot::LocalMachine ? "HKEY_LOCAL_MACHINE.ini" : "HKEY_CURRENT_USER.ini";
}

struct RegistryPlace {
    std::string dir;
    // The default place, ~/.config/skyvane/registry, is ours alone: it goes
    // when the registry is empty. A directory named in the environment stays.
    bool ours = false;
};

std::optional<RegistryPlace> RegistryDirectory() {
    if (auto dir = GetEnv("SKYVANE_REGISTRY_DIR")) return RegistryPlace{*dir, false};
    // The XDG rules say to ignore a relative XDG_CONFIG_HOME.
    if (auto config = GetEnv("XDG_CONFIG_HOME"); config && config->front() == '/') {
        return RegistryPlace{*config + "/skyvane/registry", true};
    }
    if (auto home = GetEnv("HOME")) return RegistryPlace{*home + "/.config/skyvane/registry", true};
    return std::nullopt;
}

// The names along a key path. Trailing backslashes are dropped ("A\B\" is
// "A\B"); an empty name inside the path or a control character makes the
// path invalid.
std::optional<std::vector<std::string>> SplitKeyPath(std::string_view path) {
    while (!path.empty() && path.back() == '\\')
        path.remove_suffix(1);
    std::vector<std::string> names;
    if (path.empty()) return names;
    std::size_t start = 0;
    for (;;) {
        const auto separator = path.find('\\', start);
        const auto name = path.substr(start, separator - start);
        if (name.empty()) return std::nullopt;
        for (char c : name) {
            const auto byte = static_cast<unsigned char>(c);
            if (byte < 0x20 || byte == 0x7f) return std::nullopt;
        }
        names.emplace_back(name);
        if (separator == std::string_view::npos) break;
        start = separator + 1;
    }
    return names;
}

std::string JoinKeyPath(const std::vector<std::string>& names) {
    std::string path;
    for (const auto& name : names) {
        if (!path.empty()) path += '\\';
        path += name;
    }
    return path;
}

std::string_view Trim(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string FormatValueLine(std::string_view name, std::string_view value) {
    std::string escapedName = EscapeText(name, "=");
    // A name must not make its line read as a section or a comment.
    if (!escapedName.empty() &&
        (escapedName[0] == '[' || escapedName[0] == ';' || escapedName[0] == '#')) {
        escapedName =
            EscapeText(escapedName.substr(0, 1), escapedName.substr(0, 1)) + escapedName.substr(1);
    }
    return escapedName + "=" + EscapeText(value);
}

struct ParsedLine {
    enum class Kind { Other, Header, Value };
    Kind kind = Kind::Other;
    // Header: the key's names as spelled, and the folded path to compare;
    // an unusable header starts a section no key can reach.
    bool validHeader = false;
    std::vector<std::string> keyNames;
    std::string foldedKey;
    // Value.
    std::string name;
    std::string foldedName;
    std::string value;
};

ParsedLine ParseLine(std::string_view raw) {
    ParsedLine parsed;
    const auto line = Trim(raw);
    if (line.empty() || line[0] == ';' || line[0] == '#') return parsed;
    if (line[0] == '[') {
        parsed.kind = ParsedLine::Kind::Header;
        const auto close = line.rfind(']');
        if (close == std::string_view::npos || close == 0) return parsed;
        if (auto names = SplitKeyPath(line.substr(1, close - 1))) {
            parsed.validHeader = true;
            parsed.foldedKey = AsciiLower(JoinKeyPath(*names));
            parsed.keyNames = std::move(*names);
        }
        return parsed;
    }
    const auto equals = line.find('=');
    if (equals == std::string_view::npos) return parsed;
    parsed.kind = ParsedLine::Kind::Value;
    parsed.name = UnescapeText(Trim(line.substr(0, equals)));
    parsed.foldedName = AsciiLower(parsed.name);
    parsed.value = UnescapeText(Trim(line.substr(equals + 1)));
    return parsed;
}

// One root's file as lines. Edits touch only the lines they concern, so hand
// comments and layout survive.
class Document {
public:
    explicit Document(std::string_view text) {
        while (!text.empty()) {
            const auto newline = text.find('\n');
            lines_.emplace_back(text.substr(0, newline));
            if (newline == std::string_view::npos) break;
            text.remove_prefix(newline + 1);
        }
    }

    std::string Text() const {
        std::string text;
        for (const auto& line : lines_)
            text += line + "\n";
        return text;
    }

    bool KeyExists(const std::string& foldedKey) const {
        if (foldedKey.empty()) return true;  // the root itself
        for (const auto& line : lines_) {
            const auto parsed = ParseLine(line);
            if (!parsed.validHeader) continue;
            if (parsed.foldedKey == foldedKey || parsed.foldedKey.starts_with(foldedKey + "\\")) {
                return true;
            }
        }
        return false;
    }

    // Indices of the lines holding value `foldedName` of the key, in file
    // order. A key may have several sections when the file was edited by
    // hand; the first line wins.
    std::vector<std::size_t> FindValue(const std::string& foldedKey,
                                       const std::string& foldedName) const {
        std::vector<std::size_t> found;
        bool inKey = false;
        for (std::size_t i = 0; i < lines_.size(); ++i) {
            const auto parsed = ParseLine(lines_[i]);
            if (parsed.kind == ParsedLine::Kind::Header) {
                inKey = parsed.validHeader && parsed.foldedKey == foldedKey;
            } else if (inKey && parsed.kind == ParsedLine::Kind::Value &&
                       parsed.foldedName == foldedName) {
                found.push_back(i);
            }
        }
        return found;
    }

    std::optional<std::string> ReadValue(const std::string& foldedKey,
                                         const std::string& foldedName) const {
        const auto found = FindValue(foldedKey, foldedName);
        if (found.empty()) return std::nullopt;
        return ParseLine(lines_[found.front()]).value;
    }

    void SetValue(const std::vector<std::string>& keyNames, std::string_view name,
                  std::string_view value) {
        const auto foldedKey = AsciiLower(JoinKeyPath(keyNames));
        const auto found = FindValue(foldedKey, AsciiLower(name));
        if (!found.empty()) {
            // The stored spelling of the name is the one first written.
            lines_[found.front()] = FormatValueLine(ParseLine(lines_[found.front()]).name, value);
            for (auto it = found.rbegin(); it + 1 != found.rend(); ++it) {
                lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*it));
            }
            return;
        }
        auto header = FindHeader(foldedKey);
        if (!header) {
            AddSection(keyNames);
            header = lines_.size() - 1;
        }
        // After the section's last non-blank line, keeping any blank line
        // that separates it from the next section.
        std::size_t insertAt = *header + 1;
        for (std::size_t i = *header + 1; i < lines_.size(); ++i) {
            const auto parsed = ParseLine(lines_[i]);
            if (parsed.kind == ParsedLine::Kind::Header) break;
            if (!Trim(lines_[i]).empty()) insertAt = i + 1;
        }
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt),
                      FormatValueLine(name, value));
    }

    // Removes the sections of the key and of every key below it, with
    // whatever lines they hold. True when there was any.
    bool DeleteKey(const std::string& foldedKey) {
        bool found = false;
        bool inKey = false;
        std::vector<std::string> kept;
        for (const auto& line : lines_) {
            const auto parsed = ParseLine(line);
            if (parsed.kind == ParsedLine::Kind::Header) {
                inKey = parsed.validHeader && (parsed.foldedKey == foldedKey ||
                                               parsed.foldedKey.starts_with(foldedKey + "\\"));
                found = found || inKey;
            }
            if (!inKey) kept.push_back(line);
        }
        while (!kept.empty() && Trim(kept.back()).empty())
            kept.pop_back();
        lines_ = std::move(kept);
        return found;
    }

    // Whether nothing but blank lines is left.
    bool Empty() const {
        for (const auto& line : lines_)
            if (!Trim(line).empty()) return false;
        return true;
    }

    bool DeleteValue(const std::string& foldedKey, const std::string& foldedName) {
        const auto found = FindValue(foldedKey, foldedName);
        for (auto it = found.rbegin(); it != found.rend(); ++it) {
            lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(*it));
        }
        return !found.empty();
    }

    // Appends an empty section for the key. Names of parents that exist keep
    // their stored spelling, as they would in a real registry.
    void AddSection(std::vector<std::string> keyNames) {
        for (const auto& line : lines_) {
            const auto parsed = ParseLine(line);
            if (!parsed.validHeader) continue;
            for (std::size_t i = 0; i < keyNames.size() && i < parsed.keyNames.size(); ++i) {
                if (AsciiLower(keyNames[i]) != AsciiLower(parsed.keyNames[i])) break;
                keyNames[i] = parsed.keyNames[i];
            }
        }
        if (!lines_.empty() && !Trim(lines_.back()).empty()) lines_.emplace_back();
        lines_.push_back("[" + JoinKeyPath(keyNames) + "]");
    }

private:
    std::optional<std::size_t> FindHeader(const std::string& foldedKey) const {
        for (std::size_t i = 0; i < lines_.size(); ++i) {
            const auto parsed = ParseLine(lines_[i]);
            if (parsed.validHeader && parsed.foldedKey == foldedKey) return i;
        }
        return std::nullopt;
    }

    std::vector<std::string> lines_;
};

// Serialises read-modify-write cycles of all processes on one registry
// directory, so two writers cannot lose each other's values. Readers need no
// lock: the file is only ever replaced whole.
class DirectoryLock {
public:
    explicit DirectoryLock(const std::string& dir)
        : fd_(open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        // Without the lock (a file system that refuses it) the write still
        // happens, just unguarded against a simultaneous writer.
        while (fd_ >= 0 && flock(fd_, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
    ~DirectoryLock() {
        if (fd_ >= 0) close(fd_);  // releases the lock
    }
    DirectoryLock(const DirectoryLock&) = delete;
    DirectoryLock& operator=(const DirectoryLock&) = delete;

private:
    int fd_;
};

struct RootFile {
    std::string dir;
    std::string path;
    bool ownDirectory = false;

    // The current document; an absent file is an empty one. Nothing when the
    // file exists but cannot be read: it must not be overwritten then.
    std::optional<Document> Load() const {
        bool missing = false;
        const auto text = ReadWholeFile(path, &missing);
        if (!text && !missing) return std::nullopt;
        return Document(text ? *text : std::string());
    }

    // Re-reads the file, lets `edit` change it, and writes it back when it
    // reports a change. False when the file could not be read or written.
    bool Modify(const std::function<bool(Document&)>& edit) const {
        if (!MakeDirectories(dir, 0700)) return false;
        DirectoryLock lock(dir);
        auto document = Load();
        if (!document) return false;
        if (!edit(*document)) return true;
        if (document->Empty()) {
            // An empty registry is no registry: nothing of it stays behind.
            if (unlink(path.c_str()) != 0 && errno != ENOENT) return false;
            if (ownDirectory && rmdir(dir.c_str()) == 0) {
                const auto slash = dir.rfind('/');
                if (slash != std::string::npos && slash > 0) rmdir(dir.substr(0, slash).c_str());
            }
            return true;
        }
        return ReplaceFileAtomically(path, document->Text());
    }
};

class PosixRegistryKey final : public RegistryKey {
public:
    PosixRegistryKey(RootFile file, std::vector<std::string> keyNames, RegAccess access)
        : file_(std::move(file)),
          keyNames_(std::move(keyNames)),
          foldedKey_(AsciiLower(JoinKeyPath(keyNames_))),
          access_(access) {}

    std::optional<std::string> ReadString(std::string_view name) override {
        const auto document = file_.Load();
        if (!document) return std::nullopt;
        return document->ReadValue(foldedKey_, AsciiLower(name));
    }

    bool ValueExists(std::string_view name) override { return ReadString(name).has_value(); }

    bool WriteString(std::string_view name, std::string_view value) override {
        if (access_ != RegAccess::Write) return false;
        return file_.Modify([&](Document& document) {
            document.SetValue(keyNames_, name, value);
            return true;
        });
    }

    bool DeleteValue(std::string_view name) override {
        if (access_ != RegAccess::Write) return false;
        bool found = false;
        const bool written = file_.Modify([&](Document& document) {
            found = document.DeleteValue(foldedKey_, AsciiLower(name));
            return found;
        });
        return written && found;
    }

private:
    RootFile file_;
    std::vector<std::string> keyNames_;
    std::string foldedKey_;
    RegAccess access_;
};

class PosixRegistry final : public Registry {
public:
    std::unique_ptr<RegistryKey> OpenKey(RegRoot root, std::string_view path,
                                         RegAccess access) override {
        auto keyNames = SplitKeyPath(path);
        const auto place = RegistryDirectory();
        if (!keyNames || !place) return nullptr;
        RootFile file{place->dir, place->dir + "/" + RootFileName(root), place->ours};
        const auto foldedKey = AsciiLower(JoinKeyPath(*keyNames));
        if (access == RegAccess::Read) {
            const auto document = file.Load();
            if (!document || !document->KeyExists(foldedKey)) return nullptr;
        } else {
            // Opening for writing creates the key at once, as RegCreateKeyEx
            // does: it exists from now on even if no value is ever written.
            const bool created = file.Modify([&](Document& document) {
                if (document.KeyExists(foldedKey)) return false;
                document.AddSection(*keyNames);
                return true;
            });
            if (!created) return nullptr;
        }
        return std::make_unique<PosixRegistryKey>(std::move(file), std::move(*keyNames), access);
    }

    bool DeleteKey(RegRoot root, std::string_view path) override {
        const auto keyNames = SplitKeyPath(path);
        const auto place = RegistryDirectory();
        // The root itself cannot be deleted.
        if (!keyNames || keyNames->empty() || !place) return false;
        const RootFile file{place->dir, place->dir + "/" + RootFileName(root), place->ours};
        const auto foldedKey = AsciiLower(JoinKeyPath(*keyNames));
        bool missing = false;
        if (!ReadWholeFile(file.path, &missing) && missing) return true;
        return file.Modify([&](Document& document) { return document.DeleteKey(foldedKey); });
    }
};

}  // namespace

std::unique_ptr<Registry> MakeRegistry() {
    return std::make_unique<PosixRegistry>();
}

}  // namespace platform::posix
