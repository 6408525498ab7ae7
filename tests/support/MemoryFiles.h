#pragma once
// Files kept in memory, with '/' separated absolute paths: for the fuzzers,
// which run the readers hundreds of thousands of times a second over
// contents that would make a real disk the bottleneck. Directories exist
// only when created (or given to AddFile), as on a disk; writes and copies
// into a missing directory fail.

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <string>

#include "platform/Platform.h"

namespace testsupport {

class MemoryFiles : public platform::Files {
public:
    struct Entry {
        std::string bytes;
        platform::DosStamp stamp = 0x2d210000;  // 1 Sep 2002, 00:00
    };

    // A file and every directory above it.
    void AddFile(const std::string& path, std::string bytes, platform::DosStamp stamp = 0x2d210000) {
        for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
             slash = path.find('/', slash + 1))
            directories_.insert(path.substr(0, slash));
        files_[path] = {std::move(bytes), stamp};
    }
    const Entry* Find(const std::string& path) const {
        auto it = files_.find(path);
        return it == files_.end() ? nullptr : &it->second;
    }
    const std::map<std::string, Entry>& All() const { return files_; }

    bool FileExists(const std::string& path) override { return files_.count(path) != 0; }
    bool DirectoryExists(const std::string& path) override {
        return directories_.count(Bare(path)) != 0;
    }
    std::optional<std::uint64_t> FileSize(const std::string& path) override {
        const Entry* entry = Find(path);
        if (entry == nullptr) return std::nullopt;
        return entry->bytes.size();
    }
    platform::DosStamp FileStamp(const std::string& path) override {
        const Entry* entry = Find(path);
        return entry == nullptr ? platform::kMissingStamp : entry->stamp;
    }
    std::optional<std::string> ReadFile(const std::string& path, std::uint64_t limit) override {
        const Entry* entry = Find(path);
        if (entry == nullptr) return std::nullopt;
        return entry->bytes.substr(0, static_cast<std::size_t>(
                                          std::min<std::uint64_t>(limit, entry->bytes.size())));
    }
    std::optional<std::size_t> ReadFileInto(const std::string& path, std::uint64_t offset,
                                            std::span<char> dest) override {
        const Entry* entry = Find(path);
        if (entry == nullptr) return std::nullopt;
        if (offset >= entry->bytes.size()) return 0;
        const std::size_t count =
            std::min<std::size_t>(dest.size(), entry->bytes.size() - static_cast<std::size_t>(offset));
        std::memcpy(dest.data(), entry->bytes.data() + offset, count);
        return count;
    }
    bool WriteFile(const std::string& path, std::string_view bytes) override {
        if (!DirectoryExists(Parent(path)) || DirectoryExists(path)) return false;
        Entry& entry = files_[path];
        entry.bytes.assign(bytes);
        ++entry.stamp;
        return true;
    }
    bool CopyFile(const std::string& from, const std::string& to, bool overwrite) override {
        const Entry* source = Find(from);
        if (source == nullptr || !DirectoryExists(Parent(to)) || DirectoryExists(to)) return false;
        if (!overwrite && FileExists(to)) return false;
        files_[to] = *source;
        return true;
    }
    bool DeleteFile(const std::string& path) override { return files_.erase(path) != 0; }
    std::vector<platform::DirEntry> ListDirectory(const std::string& directory,
                                                  std::string_view pattern) override {
        std::vector<platform::DirEntry> entries;
        const std::string prefix = Bare(directory) + "/";
        for (const auto& [path, entry] : files_) {
            if (!IsChild(path, prefix)) continue;
            const std::string name = path.substr(prefix.size());
            if (Matches(pattern, name)) entries.push_back({name, false, entry.bytes.size(), entry.stamp});
        }
        for (const std::string& path : directories_) {
            if (!IsChild(path, prefix)) continue;
            const std::string name = path.substr(prefix.size());
            if (Matches(pattern, name)) entries.push_back({name, true, 0, 0});
        }
        return entries;
    }
    bool CreateDirectory(const std::string& path) override {
        const std::string bare = Bare(path);
        if (!DirectoryExists(Parent(bare)) || FileExists(bare)) return false;
        return directories_.insert(bare).second;
    }
    bool RemoveDirectory(const std::string& path) override {
        const std::string bare = Bare(path);
        if (!ListDirectory(bare, "*").empty()) return false;
        return directories_.erase(bare) != 0;
    }
    bool IsLink(const std::string&) override { return false; }

    // '*' and '?' as the systems match names.
    static bool Matches(std::string_view pattern, std::string_view name) {
        std::size_t p = 0, n = 0, star = std::string_view::npos, resume = 0;
        while (n < name.size()) {
            if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == name[n])) {
                ++p;
                ++n;
            } else if (p < pattern.size() && pattern[p] == '*') {
                star = p++;
                resume = n;
            } else if (star != std::string_view::npos) {
                p = star + 1;
                n = ++resume;
            } else {
                return false;
            }
        }
        while (p < pattern.size() && pattern[p] == '*')
            ++p;
        return p == pattern.size();
    }

private:
    static std::string Bare(const std::string& path) {
        std::string bare = path;
        while (bare.size() > 1 && bare.back() == '/')
            bare.pop_back();
        return bare;
    }
    static std::string Parent(const std::string& path) {
        const std::string bare = Bare(path);
        const std::size_t slash = bare.rfind('/');
        return slash == std::string::npos || slash == 0 ? "/" : bare.substr(0, slash);
    }
    static bool IsChild(const std::string& path, const std::string& prefix) {
        return path.size() > prefix.size() && path.compare(0, prefix.size(), prefix) == 0 &&
               path.find('/', prefix.size()) == std::string::npos;
    }

    std::map<std::string, Entry> files_;
    std::set<std::string> directories_{"/"};
};

}  // namespace testsupport
