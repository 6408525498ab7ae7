#pragma once
// Setting a file's last-write time in tests. std::filesystem cannot do it on
// 32-bit Windows for dates from 2038 on: its library goes through a 32-bit
// time_t there and wraps round. Each system has its own implementation
// (WriteTime.cpp, Win32WriteTime.cpp).

#include <chrono>
#include <string>

namespace testsupport {

// Sets the last-write time of the existing file `path` to `when` (UTC);
// fails the current test when it cannot.
void SetLastWriteTime(const std::string& path, std::chrono::sys_seconds when);

}  // namespace testsupport
