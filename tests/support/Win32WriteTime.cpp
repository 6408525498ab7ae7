// Windows only: the last-write time through SetFileTime, which takes 64-bit
// file times on every Windows.

#include "support/WriteTime.h"

#include <gtest/gtest.h>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdint>

namespace testsupport {

void SetLastWriteTime(const std::string& path, std::chrono::sys_seconds when) {
    // File times count 100 ns from 1601-01-01, 11644473600 s before 1970.
    const auto ticks =
        static_cast<std::uint64_t>(when.time_since_epoch().count() + 11644473600LL) * 10000000ULL;
    FILETIME time;
    time.dwLowDateTime = static_cast<DWORD>(ticks & 0xFFFFFFFFu);
    time.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
    HANDLE file =
        CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    EXPECT_TRUE(SetFileTime(file, nullptr, nullptr, &time)) << path;
    CloseHandle(file);
}

}  // namespace testsupport
