// Files on POSIX: plain system calls, with every replacement of a file done by
// writing beside it and renaming, so no reader ever sees half a file.

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <stdio.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/posix/PosixBackend.h"

namespace platform::posix {

namespace {

class FdCloser {
public:
    explicit FdCloser(int fd) : fd_(fd) {}
    ~FdCloser() {
        if (fd_ >= 0) close(fd_);
    }
    FdCloser(const FdCloser&) = delete;
    FdCloser& operator=(const FdCloser&) = delete;
    // Closes now and reports the result: close can be the first to report a
    // failed write on some file systems.
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return close(fd) == 0;
    }

private:
    int fd_;
};

constexpr std::uint32_t PackDosStamp(int year, int month, int day, int hour, int minute,
                                     int second) {
    return static_cast<std::uint32_t>(year - 1980) << 25 | static_cast<std::uint32_t>(month) << 21 |
           static_cast<std::uint32_t>(day) << 16 | static_cast<std::uint32_t>(hour) << 11 |
           static_cast<std::uint32_t>(minute) << 5 | static_cast<std::uint32_t>(second / 2);
}

// A DOS stamp holds the years 1980 to 2107 only. Times outside are clamped to
// the nearest stamp there is, 1980-01-01 00:00:00 or 2107-12-31 23:59:58, so a
// file that exists never gets kMissingStamp (no valid stamp is -1: its month
// bits would read 15).
constexpr std::uint32_t kEarliestStamp = PackDosStamp(1980, 1, 1, 0, 0, 0);
constexpr std::uint32_t kLatestStamp = PackDosStamp(2107, 12, 31, 23, 59, 58);

DosStamp DosStampOf(time_t seconds) {
    struct tm local {};
    std::uint32_t packed = 0;
    if (localtime_r(&seconds, &local) == nullptr) {
        packed = seconds < 0 ? kEarliestStamp : kLatestStamp;
    } else if (local.tm_year + 1900 < 1980) {
        packed = kEarliestStamp;
    } else if (local.tm_year + 1900 > 2107) {
        packed = kLatestStamp;
    } else {
        // A leap second (tm_sec 60) gives 30, which still fits the 5 bits.
        packed = PackDosStamp(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                              local.tm_min, local.tm_sec);
    }
    // The stamp is a bit pattern: from 2044 on it reads as a negative int32.
    return static_cast<DosStamp>(packed);
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Creates a new, empty file beside `path`, in the same directory so that a
// rename can move it into place atomically. The name starts with a dot and
// ends in ".tmp", so a pattern like "*.wu" never lists one left by a crash.
int CreateTempBeside(const std::string& path, mode_t mode, std::string& tempPath) {
    const auto slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty()) return -1;
    // Keep the temporary name well inside NAME_MAX whatever the target's.
    if (name.size() > 64) name.resize(64);

    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        tempPath = dir + "." + name + "." + std::to_string(getpid()) + "." +
                   std::to_string(counter++) + ".tmp";
        const int fd = open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
        if (fd >= 0) return fd;
        if (errno != EEXIST) return -1;
    }
    return -1;
}

// Reads from `position` into `dest` until it is full or the file ends: the
// count, or nothing on a read error. Repeated only where the kernel returns
// less, so a file that grows meanwhile is followed up to the end of `dest`.
std::optional<std::size_t> ReadAt(int fd, std::uint64_t position, std::span<char> dest) {
    std::size_t got = 0;
    while (got < dest.size()) {
        const ssize_t n =
            pread(fd, dest.data() + got, dest.size() - got, static_cast<off_t>(position + got));
        if (n < 0) {
            if (errno == EINTR) continue;
            return std::nullopt;
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    return got;
}

std::optional<std::string> ReadRange(const std::string& path, std::uint64_t limit,
                                     bool* missing = nullptr) {
    if (missing != nullptr) *missing = false;
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (missing != nullptr) *missing = errno == ENOENT || errno == ENOTDIR;
        return std::nullopt;
    }
    FdCloser closer(fd);
    struct stat info {};
    if (fstat(fd, &info) != 0 || S_ISDIR(info.st_mode)) return std::nullopt;

    // Read straight into the string: what the size promised, then in steps
    // while the file goes on growing, up to `limit`.
    constexpr std::uint64_t kStep = 64 * 1024;
    const auto size = S_ISREG(info.st_mode) ? static_cast<std::uint64_t>(info.st_size) : 0;
    std::string bytes;
    std::size_t got = 0;
    while (got < limit) {
        const std::uint64_t want = got == 0 && size > 0 ? size : got + kStep;
        bytes.resize(static_cast<std::size_t>(std::min(limit, want)));
        const std::optional<std::size_t> n =
            ReadAt(fd, got, std::span<char>(bytes).subspan(got));
        if (!n) return std::nullopt;
        got += *n;
        if (got < bytes.size()) break;  // the end of the file
    }
    bytes.resize(got);
    return bytes;
}

// fnmatch with only '*' and '?' special: '[' and '\\' are ordinary characters
// in the names Skyvane looks for.
bool MatchesPattern(const std::string& glob, const char* name) {
    return fnmatch(glob.c_str(), name, 0) == 0;
}

std::string GlobOf(std::string_view pattern) {
    std::string glob;
    for (char c : pattern) {
        if (c == '[' || c == '\\') glob += '\\';
        glob += c;
    }
    return glob;
}

class PosixFiles final : public Files {
public:
    bool FileExists(const std::string& path) override {
        struct stat info {};
        return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
    }

    bool DirectoryExists(const std::string& path) override {
        struct stat info {};
        return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    }

    std::optional<std::uint64_t> FileSize(const std::string& path) override {
        struct stat info {};
        if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
        return static_cast<std::uint64_t>(info.st_size);
    }

    DosStamp FileStamp(const std::string& path) override {
        struct stat info {};
        if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return kMissingStamp;
        return DosStampOf(info.st_mtim.tv_sec);
    }

    std::optional<std::string> ReadFile(const std::string& path, std::uint64_t limit) override {
        return ReadRange(path, limit);
    }

    std::optional<std::size_t> ReadFileInto(const std::string& path, std::uint64_t offset,
                                            std::span<char> dest) override {
        const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return std::nullopt;
        FdCloser closer(fd);
        // Nothing can lie beyond what off_t can address; a directory fails
        // its first read.
        if (offset > static_cast<std::uint64_t>(INT64_MAX) - dest.size()) return 0;
        return ReadAt(fd, offset, dest);
    }

    bool WriteFile(const std::string& path, std::string_view bytes) override {
        return ReplaceFileAtomically(path, bytes);
    }

    bool CopyFile(const std::string& from, const std::string& to, bool overwrite) override {
        const int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
        if (in < 0) return false;
        FdCloser inCloser(in);
        struct stat source {};
        if (fstat(in, &source) != 0 || !S_ISREG(source.st_mode)) return false;
        // Refuse early rather than copy for nothing. The final move below
        // decides for real, should the target appear meanwhile.
        struct stat existing {};
        if (!overwrite && lstat(to.c_str(), &existing) == 0) return false;

        std::string temp;
        const int out = CreateTempBeside(to, 0600, temp);
        if (out < 0) return false;
        FdCloser outCloser(out);
        bool ok = true;
        std::vector<char> chunk(128 * 1024);
        for (;;) {
            const ssize_t got = read(in, chunk.data(), chunk.size());
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) {
                ok = got == 0;
                break;
            }
            if (!WriteAll(out, std::string_view(chunk.data(), static_cast<std::size_t>(got)))) {
                ok = false;
                break;
            }
        }
        const struct timespec times[2] = {source.st_atim, source.st_mtim};
        ok = ok && fchmod(out, source.st_mode & 0777) == 0 && futimens(out, times) == 0 &&
             fsync(out) == 0;
        ok = outCloser.Close() && ok;
        if (!ok) {
            unlink(temp.c_str());
            return false;
        }

        bool placed = false;
        bool tempRemains = true;
        if (overwrite) {
            placed = rename(temp.c_str(), to.c_str()) == 0;
            tempRemains = !placed;
        } else {
            // Never replaces a target that appeared after the check above.
            placed = renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0;
            tempRemains = !placed;
            if (!placed && (errno == EINVAL || errno == ENOSYS)) {
                // The file system cannot rename without replacing; a hard
                // link fails just as atomically when the name is taken.
                placed = link(temp.c_str(), to.c_str()) == 0;
            }
        }
        if (tempRemains) unlink(temp.c_str());
        return placed;
    }

    bool DeleteFile(const std::string& path) override {
        struct stat info {};
        if (lstat(path.c_str(), &info) != 0 || S_ISDIR(info.st_mode)) return false;
        return unlink(path.c_str()) == 0;
    }

    std::vector<DirEntry> ListDirectory(const std::string& directory,
                                        std::string_view pattern) override {
        std::vector<DirEntry> entries;
        DIR* dir = opendir(directory.c_str());
        if (dir == nullptr) return entries;
        const std::string glob = GlobOf(pattern);
        // Windows lets a trailing ".*" match names without any extension too
        // ("*.*" is everything); patterns written with that habit work here.
        std::string bareGlob;
        if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*") {
            bareGlob = GlobOf(pattern.substr(0, pattern.size() - 2));
        }
        while (const dirent* entry = readdir(dir)) {
            const std::string_view name = entry->d_name;
            if (name == "." || name == "..") continue;
            if (!MatchesPattern(glob, entry->d_name) &&
                (bareGlob.empty() || !MatchesPattern(bareGlob, entry->d_name))) {
                continue;
            }
            struct stat info {};
            // A dangling symbolic link names nothing that could be opened.
            if (fstatat(dirfd(dir), entry->d_name, &info, 0) != 0) continue;
            DirEntry item;
            item.name = std::string(name);
            item.isDirectory = S_ISDIR(info.st_mode);
            item.size = item.isDirectory ? 0 : static_cast<std::uint64_t>(info.st_size);
            item.stamp = DosStampOf(info.st_mtim.tv_sec);
            entries.push_back(std::move(item));
        }
        closedir(dir);
        // readdir's order is arbitrary; a sorted list keeps runs repeatable.
        std::sort(entries.begin(), entries.end(),
                  [](const DirEntry& a, const DirEntry& b) { return a.name < b.name; });
        return entries;
    }

    bool CreateDirectory(const std::string& path) override {
        return mkdir(path.c_str(), 0777) == 0;
    }

    bool RemoveDirectory(const std::string& path) override { return rmdir(path.c_str()) == 0; }

    // Each call opens what it reads and keeps nothing between calls.
    bool ReadsFromAnyThread() const override { return true; }

    bool IsLink(const std::string& path) override {
        std::string name = path;
        // "link/" would name the directory it points to.
        while (name.size() > 1 && name.back() == '/')
            name.pop_back();
        struct stat info {};
        return lstat(name.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
    }
};

}  // namespace

std::unique_ptr<Files> MakeFiles() {
    return std::make_unique<PosixFiles>();
}

std::optional<std::string> ReadWholeFile(const std::string& path, bool* missing) {
    return ReadRange(path, UINT64_MAX, missing);
}

bool ReplaceFileAtomically(const std::string& path, std::string_view bytes) {
    struct stat existing {};
    const bool replacing = stat(path.c_str(), &existing) == 0 && S_ISREG(existing.st_mode);
    std::string temp;
    // 0666 lets the umask decide a new file's permissions, as open() would.
    const int fd = CreateTempBeside(path, 0666, temp);
    if (fd < 0) return false;
    FdCloser closer(fd);
    bool ok = WriteAll(fd, bytes);
    if (ok && replacing) ok = fchmod(fd, existing.st_mode & 07777) == 0;
    // Flushed before the rename: after a power loss the name must not point
    // at a file whose blocks never reached the disk.
    ok = ok && fsync(fd) == 0;
    ok = closer.Close() && ok;
    ok = ok && rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) unlink(temp.c_str());
    return ok;
}

bool MakeDirectories(const std::string& path, mode_t mode) {
    if (path.empty()) return false;
    std::size_t from = 1;
    for (;;) {
        const auto slash = path.find('/', from);
        const std::string prefix = path.substr(0, slash);
        // Failures other than "exists" are left to the final check: an
        // existing parent we may not write to is fine.
        if (!prefix.empty()) mkdir(prefix.c_str(), mode);
        if (slash == std::string::npos) break;
        from = slash + 1;
    }
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace platform::posix
