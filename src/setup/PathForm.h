#pragma once
// The client-path dialog's logic: what "Browse..." puts into the path field,
// and where the project's site link leads. No wx here.

#include <string>
#include <string_view>

#include "setup/Sites.h"

namespace setup {

// The directory part of a chosen file, without a trailing separator, except
// for a root, which keeps its separator ("/" on POSIX, "C:\" or "\" on
// Windows). Both '/' and '\' count as separators, so Windows paths come out
// right on any system. A bare file name has no directory part: "" (or "C:"
// for a drive-relative "C:file").
std::string DirectoryOfChosenFile(std::string_view path);

}  // namespace setup
