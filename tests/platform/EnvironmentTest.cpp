// What every Environment and Shell backend must do, and the path separator
// that goes with it; the same tests run against the Win32 backend.

#include <gtest/gtest.h>

#include <string>

#include "platform/Platform.h"
#include "support/TempDir.h"

namespace {

class EnvironmentTest : public ::testing::Test {
protected:
    testsupport::TempDir dir_;
    platform::NativePlatform native_;
    platform::Environment& environment_ = native_.services().environment;
    platform::Files& files_ = native_.services().files;
};

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

TEST_F(EnvironmentTest, ProgramDirectoryFollowsTheOverrideAndEndsInASeparator) {
    const std::string dir = dir_.Path().substr(0, dir_.Path().size() - 1);
    testsupport::ScopedEnv programDir("SKYVANE_PROGRAM_DIR", dir);
    EXPECT_EQ(environment_.ProgramDirectory(), dir + platform::PathSeparator());

    // One given with its separator keeps it as it is.
    testsupport::ScopedEnv withSeparator("SKYVANE_PROGRAM_DIR", dir_.Path());
    EXPECT_EQ(environment_.ProgramDirectory(), dir_.Path());
}

TEST_F(EnvironmentTest, ProgramDirectoryWithoutOverrideHoldsThisProgram) {
    testsupport::ScopedEnv unset("SKYVANE_PROGRAM_DIR", "");
    const std::string dir = environment_.ProgramDirectory();
    ASSERT_FALSE(dir.empty());
    EXPECT_TRUE(IsSeparator(dir.back())) << dir;
    // "skyvane_platform_tests" on Linux, "skyvane_platform_tests.exe" on
    // Windows.
    EXPECT_FALSE(files_.ListDirectory(dir, "skyvane_platform_tests*").empty()) << dir;
    // A build tree is no package's bin directory.
    EXPECT_FALSE(environment_.PackageInstalled());
}

TEST_F(EnvironmentTest, DecimalSeparatorIsOneNonDigitCharacter) {
    const char separator = environment_.DecimalSeparator();
    EXPECT_NE(separator, '\0');
    EXPECT_FALSE(separator >= '0' && separator <= '9') << separator;
}

TEST_F(EnvironmentTest, LongTimeShowsHoursMinutesAndSeconds) {
    // Whatever the user's format, the minutes and seconds stand in it.
    const std::string text = environment_.LongTimeText(14, 5, 9);
    EXPECT_NE(text.find("05"), std::string::npos) << text;
    EXPECT_NE(text.find("09"), std::string::npos) << text;
}

TEST_F(EnvironmentTest, PathSeparatorIsTheSystemsOwn) {
#ifndef _WIN32
    EXPECT_EQ(platform::PathSeparator(), '/');
#else
    EXPECT_EQ(platform::PathSeparator(), '\\');
#endif
}

TEST_F(EnvironmentTest, ShellRefusesToOpenNothing) {
    // Anything real would start the user's browser; an empty address must
    // fail without starting anything.
    EXPECT_FALSE(native_.services().shell.OpenUrl(""));
}

}  // namespace
