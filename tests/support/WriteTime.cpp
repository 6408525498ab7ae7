#include "support/WriteTime.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <system_error>

namespace testsupport {

void SetLastWriteTime(const std::string& path, std::chrono::sys_seconds when) {
    std::error_code error;
    std::filesystem::last_write_time(path, std::chrono::file_clock::from_sys(when), error);
    EXPECT_FALSE(error) << path << ": " << error.message();
}

}  // namespace testsupport
