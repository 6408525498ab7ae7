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

    // Nothing of the desktop: this shell only opens addresses.
    std::string ShellFolder(std::string_view) override { return {}; }
    std::string DefaultInstallDirectory() override { return {}; }
    std::string ShortcutFile(const std::string& folder, std::string_view name, bool) override {
        return folder + std::string(name);
    }
    bool SaveShortcut(const std::string&, std::string_view, const platform::Shortcut&) override {
        return false;
    }
    bool RegisterApplication(const std::string&, std::span<const platform::IconPicture>) override {
        return false;
    }
    void UnregisterApplication(const std::string&) override {}
    bool DeleteProgramAfterExit(const std::string&, const std::string&, bool) override {
        return false;
    }
};

}  // namespace testsupport
