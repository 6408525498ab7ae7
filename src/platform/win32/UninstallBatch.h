#pragma once
// The text of "Unvane.bat", the batch file that deletes Skyvane's executable
// once the process has ended. Apart so that the Windows tests can check it
// word for word (the batch deletes itself when it has run).

#include <string>

namespace platform::win32 {

// Lines end in CR LF, the last ("del %0") without one. The "rd" line is there
// only with `removeDirectory`; `directory` may end with a backslash.
std::string UninstallBatchText(const std::string& executable, const std::string& directory,
                               bool removeDirectory);

}  // namespace platform::win32
