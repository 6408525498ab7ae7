// Files on Windows: the ANSI file calls, with every replacement of a whole
// file done by writing beside it and moving over it, so no reader ever sees
// half a file. Paths may use '\' or '/'; Windows takes both.

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/win32/Win32Backend.h"

namespace platform::win32 {

namespace {

// MAX_PATH counts the terminating NUL.
constexpr std::size_t kMaxApiPath = MAX_PATH - 1;

// A DOS stamp holds the years 1980 to 2107 only. Times outside are clamped to
// the nearest stamp there is, 1980-01-01 00:00:00 or 2107-12-31 23:59:58, so a
// file that exists never gets kMissingStamp (no valid stamp is -1: its month
// bits would read 15).
constexpr std::uint32_t kEarliestStamp = (0u << 25) | (1u << 21) | (1u << 16);
constexpr std::uint32_t kLatestStamp =
    (127u << 25) | (12u << 21) | (31u << 16) | (23u << 11) | (59u << 5) | (58u / 2);

DosStamp DosStampOf(const FILETIME& utc) {
    // FileTimeToLocalFileTime applies today's offset from UTC, also to a time
    // in the other half of the daylight-saving year. The poll only compares
    // stamps with each other, all taken this same way.
    FILETIME local{};
    if (FileTimeToLocalFileTime(&utc, &local) == 0) local = utc;
    // A time Windows cannot even split into fields lies beyond the year 30000.
    std::uint32_t packed = kLatestStamp;
    SYSTEMTIME fields{};
    // The years are checked here: not every FileTimeToDosDateTime refuses
    // the ones a stamp cannot hold, some wrap them round instead.
    if (FileTimeToSystemTime(&local, &fields) != 0) {
        WORD date = 0;
        WORD time = 0;
        if (fields.wYear < 1980) {
            packed = kEarliestStamp;
        } else if (fields.wYear <= 2107 && FileTimeToDosDateTime(&local, &date, &time) != 0) {
            packed = static_cast<std::uint32_t>(date) << 16 | time;
        }
    }
    // The stamp is a bit pattern: from 2044 on it reads as a negative int32.
    return static_cast<DosStamp>(packed);
}

std::optional<WIN32_FILE_ATTRIBUTE_DATA> Attributes(const std::string& path) {
    if (!UsablePath(path)) return std::nullopt;
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) == 0) return std::nullopt;
    return data;
}

bool IsDirectory(DWORD attributes) {
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Opens a file for reading while the client goes on writing it: every kind
// of access is shared, so its writes and renames never fail because of us.
// A directory cannot be opened this way either.
HANDLE OpenForReading(const std::string& path) {
    if (!UsablePath(path)) return INVALID_HANDLE_VALUE;
    return CreateFileA(path.c_str(), GENERIC_READ,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                       OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
}

// Reads from `offset` into `dest` until it is full or the file ends: the
// count, or nothing on a read error. Repeated only where Windows returns
// less, so a file that grows meanwhile is followed up to the end of `dest`.
std::optional<std::size_t> ReadAt(HANDLE file, std::uint64_t offset, std::span<char> dest) {
    // Nothing can lie beyond what a file offset can address.
    if (offset > static_cast<std::uint64_t>(INT64_MAX) - dest.size()) return 0;
    LARGE_INTEGER position{};
    position.QuadPart = static_cast<LONGLONG>(offset);
    if (SetFilePointerEx(file, position, nullptr, FILE_BEGIN) == 0) return std::nullopt;
    constexpr std::size_t kMaxRead = 1u << 30;
    std::size_t got = 0;
    while (got < dest.size()) {
        const auto want = static_cast<DWORD>(std::min(dest.size() - got, kMaxRead));
        DWORD read = 0;
        if (::ReadFile(file, dest.data() + got, want, &read, nullptr) == 0) return std::nullopt;
        if (read == 0) break;
        got += read;
    }
    return got;
}

std::optional<std::string> ReadRange(const std::string& path, std::uint64_t limit) {
    const HANDLE file = OpenForReading(path);
    if (file == INVALID_HANDLE_VALUE) return std::nullopt;
    HandleCloser closer(file);
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file, &size) == 0) return std::nullopt;

    // Read straight into the string: what the size promised, then in steps
    // while the file goes on growing, up to `limit`.
    constexpr std::uint64_t kStep = 64 * 1024;
    const auto known = static_cast<std::uint64_t>(size.QuadPart);
    std::string bytes;
    std::size_t got = 0;
    while (got < limit) {
        const std::uint64_t want = got == 0 && known > 0 ? known : got + kStep;
        bytes.resize(static_cast<std::size_t>(std::min(limit, want)));
        const std::optional<std::size_t> n = ReadAt(file, got, std::span<char>(bytes).subspan(got));
        if (!n) return std::nullopt;
        got += *n;
        if (got < bytes.size()) break;  // the end of the file
    }
    bytes.resize(got);
    return bytes;
}

bool WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const auto want = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (::WriteFile(file, bytes.data(), want, &written, nullptr) == 0 || written == 0) {
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

std::string Hex(std::uint32_t value) {
    constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    do {
        text.insert(text.begin(), kDigits[value & 0xf]);
        value >>= 4;
    } while (value != 0);
    return text;
}

// Creates a new, empty file beside `path`, in the same directory so that a
// move can put it into place atomically. The name is short, so that a target
// close to the length limit still has room for it, and ends in ".tmp", so a
// pattern like "*.wu" never lists one left by a crash.
HANDLE CreateTempBeside(const std::string& path, std::string& tempPath) {
    const auto slash = path.find_last_of("\\/");
    const std::string dir = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    if (slash + 1 == path.size()) return INVALID_HANDLE_VALUE;  // no file name

    static std::atomic<std::uint32_t> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = dir + "~sv" + Hex(GetCurrentProcessId()) + "-" + Hex(counter++) + ".tmp";
        if (tempPath.size() > kMaxApiPath) return INVALID_HANDLE_VALUE;
        const HANDLE file = CreateFileA(tempPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) return file;
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
    }
    return INVALID_HANDLE_VALUE;
}

// Flushes a file's bytes to the disk. CopyFile leaves them in the cache, and
// a move on one volume is a rename that write-through does not wait for: a
// power loss after the move could leave the name on a file whose blocks
// never reached the disk. Opening for writing and closing again writes
// nothing, so the last-write time CopyFile kept stays. A copy of a
// read-only file cannot be opened for writing: it is left as CopyFile made
// it.
bool FlushToDisk(const std::string& path) {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD attributes = GetFileAttributesA(path.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
    }
    const bool flushed = FlushFileBuffers(file) != 0;
    return CloseHandle(file) != 0 && flushed;
}

// Windows compares file names without regard to case; the ANSI code page's
// own case mapping folds the letters beyond ASCII too.
std::string Folded(std::string_view text) {
    std::string folded(text);
    if (!folded.empty()) CharUpperBuffA(folded.data(), static_cast<DWORD>(folded.size()));
    return folded;
}

// '*' matches any run of characters, '?' exactly one; nothing else is special
// ('[' included, which is an ordinary character in a Windows name).
bool WildcardMatch(std::string_view pattern, std::string_view name) {
    std::size_t p = 0;
    std::size_t n = 0;
    std::size_t starAt = std::string_view::npos;
    std::size_t resumeAt = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == '*') {
            starAt = p++;
            resumeAt = n;
        } else if (starAt != std::string_view::npos) {
            p = starAt + 1;
            n = ++resumeAt;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

// The names are matched here rather than by FindFirstFile's own pattern:
// that one also matches the generated 8.3 short names ("*.rsl" would list
// "x.rsla", whose short name ends in ".RSL"), which no caller expects.
class NameFilter {
public:
    explicit NameFilter(std::string_view pattern) : pattern_(Folded(pattern)) {
        // A trailing ".*" also matches names without any extension ("*.*"
        // is everything), as the command prompt has always had it.
        if (pattern_.size() >= 2 && pattern_.ends_with(".*")) {
            bare_ = pattern_.substr(0, pattern_.size() - 2);
        }
    }

    bool Matches(std::string_view name) const {
        const std::string folded = Folded(name);
        return WildcardMatch(pattern_, folded) || (bare_ && WildcardMatch(*bare_, folded));
    }

private:
    std::string pattern_;
    std::optional<std::string> bare_;
};

class Win32Files final : public Files {
public:
    bool FileExists(const std::string& path) override {
        const auto data = Attributes(path);
        return data && !IsDirectory(data->dwFileAttributes);
    }

    bool DirectoryExists(const std::string& path) override {
        const auto data = Attributes(path);
        return data && IsDirectory(data->dwFileAttributes);
    }

    std::optional<std::uint64_t> FileSize(const std::string& path) override {
        const auto data = Attributes(path);
        if (!data || IsDirectory(data->dwFileAttributes)) return std::nullopt;
        return static_cast<std::uint64_t>(data->nFileSizeHigh) << 32 | data->nFileSizeLow;
    }

    DosStamp FileStamp(const std::string& path) override {
        const auto data = Attributes(path);
        if (!data || IsDirectory(data->dwFileAttributes)) return kMissingStamp;
        return DosStampOf(data->ftLastWriteTime);
    }

    std::optional<std::string> ReadFile(const std::string& path, std::uint64_t limit) override {
        return ReadRange(path, limit);
    }

    std::optional<std::size_t> ReadFileInto(const std::string& path, std::uint64_t offset,
                                            std::span<char> dest) override {
        const HANDLE file = OpenForReading(path);
        if (file == INVALID_HANDLE_VALUE) return std::nullopt;
        HandleCloser closer(file);
        return ReadAt(file, offset, dest);
    }

    bool WriteFile(const std::string& path, std::string_view bytes) override {
        if (!UsablePath(path)) return false;
        std::string temp;
        const HANDLE file = CreateTempBeside(path, temp);
        if (file == INVALID_HANDLE_VALUE) return false;
        HandleCloser closer(file);
        bool ok = WriteAll(file, bytes);
        // Flushed before the move: after a power loss the name must not
        // point at a file whose blocks never reached the disk.
        ok = ok && FlushFileBuffers(file) != 0;
        ok = closer.Close() && ok;
        ok = ok && MoveFileExA(temp.c_str(), path.c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
        if (!ok) DeleteFileA(temp.c_str());
        return ok;
    }

    bool CopyFile(const std::string& from, const std::string& to, bool overwrite) override {
        if (!UsablePath(from) || !UsablePath(to)) return false;
        if (!overwrite && GetFileAttributesA(to.c_str()) != INVALID_FILE_ATTRIBUTES) return false;
        // Copied beside the target first and moved into place, so that the
        // target never holds part of the bytes, whatever stops the copy.
        // CopyFile keeps the last-write time.
        std::string temp;
        const HANDLE file = CreateTempBeside(to, temp);
        if (file == INVALID_HANDLE_VALUE) return false;
        CloseHandle(file);
        bool ok = CopyFileA(from.c_str(), temp.c_str(), FALSE) != 0 && FlushToDisk(temp);
        // Without overwrite the move refuses a target that appeared meanwhile.
        ok = ok &&
             MoveFileExA(temp.c_str(), to.c_str(),
                         (overwrite ? MOVEFILE_REPLACE_EXISTING : 0) | MOVEFILE_WRITE_THROUGH) != 0;
        if (!ok) DeleteFileA(temp.c_str());
        return ok;
    }

    bool DeleteFile(const std::string& path) override {
        if (!UsablePath(path)) return false;
        return DeleteFileA(path.c_str()) != 0;
    }

    std::vector<DirEntry> ListDirectory(const std::string& directory,
                                        std::string_view pattern) override {
        std::vector<DirEntry> entries;
        if (directory.empty() || !UsablePath(directory) || !UsableString(pattern)) return entries;
        std::string search = directory;
        if (search.back() != '\\' && search.back() != '/') search += '\\';
        search += '*';
        if (search.size() > kMaxApiPath) return entries;

        WIN32_FIND_DATAA found{};
        const HANDLE find = FindFirstFileA(search.c_str(), &found);
        if (find == INVALID_HANDLE_VALUE) return entries;
        const NameFilter filter(pattern);
        do {
            const std::string_view name = found.cFileName;
            if (name == "." || name == "..") continue;
            // A name the ANSI code page cannot spell comes back with '?' in
            // place of the missing letters. '?' never occurs in a real name,
            // and no ANSI call could open the file, so it is not listed.
            if (name.find('?') != std::string_view::npos) continue;
            if (!filter.Matches(name)) continue;
            DirEntry item;
            item.name = std::string(name);
            item.isDirectory = IsDirectory(found.dwFileAttributes);
            item.size = item.isDirectory ? 0
                                         : static_cast<std::uint64_t>(found.nFileSizeHigh) << 32 |
                                               found.nFileSizeLow;
            item.stamp = DosStampOf(found.ftLastWriteTime);
            entries.push_back(std::move(item));
        } while (FindNextFileA(find, &found) != 0);
        FindClose(find);
        // NTFS returns names in its own order, FAT in creation order; a list
        // sorted by name keeps runs repeatable.
        std::sort(entries.begin(), entries.end(),
                  [](const DirEntry& a, const DirEntry& b) { return a.name < b.name; });
        return entries;
    }

    bool CreateDirectory(const std::string& path) override {
        if (!UsablePath(path)) return false;
        return CreateDirectoryA(path.c_str(), nullptr) != 0;
    }

    bool RemoveDirectory(const std::string& path) override {
        if (!UsablePath(path)) return false;
        return RemoveDirectoryA(path.c_str()) != 0;
    }

    // Each call opens what it reads and keeps nothing between calls.
    bool ReadsFromAnyThread() const override { return true; }

    bool IsLink(const std::string& path) override {
        std::string name = path;
        // "C:\link\" would name the directory it points to.
        while (name.size() > 3 && (name.back() == '\\' || name.back() == '/'))
            name.pop_back();
        if (!UsablePath(name)) return false;
        const DWORD attributes = GetFileAttributesA(name.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES &&
               (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    }
};

}  // namespace

std::unique_ptr<Files> MakeFiles() {
    return std::make_unique<Win32Files>();
}

}  // namespace platform::win32
