#pragma once
// A Shell fake that remembers the addresses it was asked to open.

#include <string>
#include <vector>

#include "platform/Platform.h"

namespace testsupport {

class RecordingShell : public platform::Shell {
public:
    bool OpenUrl(const std::string& url) override {
        opened.push_back(url);
        return true;
    }
    platform::ExeType ExecutableType(const std::string&) override {
        return platform::ExeType::Unknown;
    }
    std::string ReadSystemIni(std::string_view, std::string_view) override { return {}; }
    std::vector<std::string> opened;
};

}  // namespace testsupport
