#pragma once
// A Files decorator that fails the Nth call of one kind of operation, as a
// full disk, a pulled stick or a virus scanner holding a file would: to run
// a scenario once per call it makes and show that no single failure loses
// data.

#include <array>
#include <string>

#include "support/ForwardingFiles.h"

namespace testsupport {

class FaultyFiles : public ForwardingFiles {
public:
    enum class Kind { Read, Write, Copy, Delete, List, CreateDirectory, Count };
    static constexpr std::array<Kind, 6> kKinds = {Kind::Read,   Kind::Write, Kind::Copy,
                                                   Kind::Delete, Kind::List,  Kind::CreateDirectory};
    static const char* Name(Kind kind) {
        constexpr const char* names[] = {"read", "write", "copy", "delete", "list", "mkdir"};
        return names[static_cast<int>(kind)];
    }

    using ForwardingFiles::ForwardingFiles;

    // The call of `kind` that fails (1 for the first), 0 for none.
    Kind failKind = Kind::Read;
    int failAt = 0;
    bool failed = false;  // the failure has struck
    // Calls made of each kind so far.
    std::array<int, static_cast<int>(Kind::Count)> calls{};

    std::optional<std::string> ReadFile(const std::string& p, std::uint64_t limit) override {
        if (Fails(Kind::Read)) return std::nullopt;
        return inner_.ReadFile(p, limit);
    }
    std::optional<std::size_t> ReadFileInto(const std::string& p, std::uint64_t offset,
                                            std::span<char> dest) override {
        if (Fails(Kind::Read)) return std::nullopt;
        return inner_.ReadFileInto(p, offset, dest);
    }
    bool WriteFile(const std::string& p, std::string_view bytes) override {
        return !Fails(Kind::Write) && inner_.WriteFile(p, bytes);
    }
    bool CopyFile(const std::string& from, const std::string& to, bool overwrite) override {
        return !Fails(Kind::Copy) && inner_.CopyFile(from, to, overwrite);
    }
    bool DeleteFile(const std::string& p) override {
        return !Fails(Kind::Delete) && inner_.DeleteFile(p);
    }
    std::vector<platform::DirEntry> ListDirectory(const std::string& d,
                                                  std::string_view pattern) override {
        if (Fails(Kind::List)) return {};
        return inner_.ListDirectory(d, pattern);
    }
    bool CreateDirectory(const std::string& p) override {
        return !Fails(Kind::CreateDirectory) && inner_.CreateDirectory(p);
    }

private:
    bool Fails(Kind kind) {
        const int call = ++calls[static_cast<int>(kind)];
        if (kind != failKind || call != failAt) return false;
        failed = true;
        return true;
    }
};

}  // namespace testsupport
