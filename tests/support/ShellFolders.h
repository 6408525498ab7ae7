#pragma once
// Moves the desktop's folders that install writes to (programs menu,
// desktop, favorites, icons, the Linux registry stand-in) into a test's own
// temp directory for the life of the object, so that no test touches the
// real user's desktop. On Linux through HOME and the XDG variables, on
// Windows through the (sandboxed) registry's "Shell Folders" values.

#include <memory>
#include <string>

#include "support/TempDir.h"

namespace testsupport {

class ShellFolders {
public:
    explicit ShellFolders(const TempDir& home);
    ~ShellFolders();
    ShellFolders(const ShellFolders&) = delete;
    ShellFolders& operator=(const ShellFolders&) = delete;

private:
    struct Saved;
    std::unique_ptr<Saved> saved_;
};

}  // namespace testsupport
