#pragma once
// A Files that hands every call to another: the base of the test decorators,
// which override only the calls they record or fail.

#include "platform/Platform.h"

namespace testsupport {

class ForwardingFiles : public platform::Files {
public:
    explicit ForwardingFiles(platform::Files& inner) : inner_(inner) {}

    bool FileExists(const std::string& p) override { return inner_.FileExists(p); }
    bool DirectoryExists(const std::string& p) override { return inner_.DirectoryExists(p); }
    std::optional<std::uint64_t> FileSize(const std::string& p) override {
        return inner_.FileSize(p);
    }
    platform::DosStamp FileStamp(const std::string& p) override { return inner_.FileStamp(p); }
    std::optional<std::string> ReadFile(const std::string& p, std::uint64_t limit) override {
        return inner_.ReadFile(p, limit);
    }
    std::optional<std::size_t> ReadFileInto(const std::string& p, std::uint64_t offset,
                                            std::span<char> dest) override {
        return inner_.ReadFileInto(p, offset, dest);
    }
    bool WriteFile(const std::string& p, std::string_view bytes) override {
        return inner_.WriteFile(p, bytes);
    }
    bool CopyFile(const std::string& from, const std::string& to, bool overwrite) override {
        return inner_.CopyFile(from, to, overwrite);
    }
    bool DeleteFile(const std::string& p) override { return inner_.DeleteFile(p); }
    std::vector<platform::DirEntry> ListDirectory(const std::string& d,
                                                  std::string_view pattern) override {
        return inner_.ListDirectory(d, pattern);
    }
    bool CreateDirectory(const std::string& p) override { return inner_.CreateDirectory(p); }
    bool RemoveDirectory(const std::string& p) override { return inner_.RemoveDirectory(p); }
    bool IsLink(const std::string& p) override { return inner_.IsLink(p); }

protected:
    platform::Files& inner_;
};

}  // namespace testsupport
