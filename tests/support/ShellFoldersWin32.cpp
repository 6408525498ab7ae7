#include "support/ShellFolders.h"

#include <filesystem>

#include "platform/Platform.h"

namespace testsupport {

struct ShellFolders::Saved {};

// The registry is this test's own (Win32RegistrySandbox.cpp): the values go
// with it.
ShellFolders::ShellFolders(const TempDir& home) : saved_(std::make_unique<Saved>()) {
    platform::NativePlatform native;
    auto key = native.services().registry.OpenKey(
        platform::RegRoot::CurrentUser,
        "Software\\MicroSoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
        platform::RegAccess::Write);
    for (const char* name : {"Programs", "Desktop", "Favorites"}) {
        const std::string folder = home.Path(name);
        std::filesystem::create_directories(folder);
        if (key) key->WriteString(name, folder);
    }
}

ShellFolders::~ShellFolders() = default;

}  // namespace testsupport
