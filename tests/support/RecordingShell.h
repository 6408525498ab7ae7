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
    std::vector<std::string> opened;
};

}  // namespace testsupport
