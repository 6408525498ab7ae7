#pragma once
// A Files decorator that records every call (by name and path) before
// passing it on, to prove how much file work an operation costs.

#include <string>
#include <vector>

#include "platform/Platform.h"

namespace testsupport {

class CountingFiles : public platform::Files {
public:
    explicit CountingFiles(platform::Files& inner) : inner_(inner) {}

    // "FileExists <path>", "FileStamp <path>", ... in call order.
    std::vector<std::string> calls;

    bool FileExists(const std::string& path) override {
        Note("FileExists", path);
        return inner_.FileExists(path);
    }
    bool DirectoryExists(const std::string& path) override {
        Note("DirectoryExists", path);
        return inner_.DirectoryExists(path);
    }
    std::optional<std::uint64_t> FileSize(const std::string& path) override {
        Note("FileSize", path);
        return inner_.FileSize(path);
    }
    platform::DosStamp FileStamp(const std::string& path) override {
        Note("FileStamp", path);
        return inner_.FileStamp(path);
    }
    std::optional<std::string> ReadFile(const std::string& path, std::uint64_t limit) override {
        Note("ReadFile", path);
        return inner_.ReadFile(path, limit);
    }
    std::optional<std::size_t> ReadFileInto(const std::string& path, std::uint64_t offset,
                                            std::span<char> dest) override {
        Note("ReadFileInto", path);
        return inner_.ReadFileInto(path, offset, dest);
    }
    bool WriteFile(const std::string& path, std::string_view bytes) override {
        Note("WriteFile", path);
        return inner_.WriteFile(path, bytes);
    }
    bool CopyFile(const std::string& from, const std::string& to, bool overwrite) override {
        Note("CopyFile", from + " " + to);
        return inner_.CopyFile(from, to, overwrite);
    }
    bool DeleteFile(const std::string& path) override {
        Note("DeleteFile", path);
        return inner_.DeleteFile(path);
    }
    std::vector<platform::DirEntry> ListDirectory(const std::string& directory,
                                                  std::string_view pattern) override {
        Note("ListDirectory", directory);
        return inner_.ListDirectory(directory, pattern);
    }
    bool CreateDirectory(const std::string& path) override {
        Note("CreateDirectory", path);
        return inner_.CreateDirectory(path);
    }
    bool RemoveDirectory(const std::string& path) override {
        Note("RemoveDirectory", path);
        return inner_.RemoveDirectory(path);
    }
    bool IsLink(const std::string& path) override { return inner_.IsLink(path); }

private:
    void Note(const char* what, const std::string& path) {
        calls.push_back(std::string(what) + " " + path);
    }
    platform::Files& inner_;
};

}  // namespace testsupport
