// What every StartupValues backend must do. On Windows they are values under
// the user's real "Run" and "RunServicesOnce" keys, named for this test and
// removed at its end; on Linux autostart entries in a temporary
// XDG_CONFIG_HOME, which must pass desktop-file-validate.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/Platform.h"
#include "support/TempDir.h"

namespace {

class StartupValuesTest : public ::testing::Test {
protected:
    ~StartupValuesTest() override {
        for (const char* subkey : {"Run", "RunServicesOnce"})
            values_.Delete(subkey, name_);
    }

    testsupport::TempDir dir_;
    testsupport::ScopedEnv config_{"XDG_CONFIG_HOME", dir_.Path("config")};
    platform::NativePlatform native_;
    platform::StartupValues& values_ = native_.services().startup;
    const std::string name_ = "SkyvaneTest" +
                              std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                              ::testing::UnitTest::GetInstance()->current_test_info()->name();
};

TEST_F(StartupValuesTest, ValuesAreWrittenReadTestedAndDeletedByName) {
    const std::string command =
        dir_.Path("Program Files") + platform::PathSeparator() + "Skyvane.exe failure fixconnect";
    for (const char* subkey : {"Run", "RunServicesOnce"}) {
        SCOPED_TRACE(subkey);
        EXPECT_EQ(values_.Exists(subkey, name_), false);
        EXPECT_TRUE(values_.Write(subkey, name_, command));
        EXPECT_EQ(values_.Exists(subkey, name_), true);
        // Names compare without regard to case; the command comes back as
        // written, blanks unquoted.
        std::string upper = name_;
        for (char& c : upper)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        EXPECT_EQ(values_.Read(subkey, upper), command);
        EXPECT_TRUE(values_.Write(subkey, name_, "other"));
        EXPECT_EQ(values_.Read(subkey, name_), "other");
        EXPECT_TRUE(values_.Delete(subkey, upper));
        EXPECT_EQ(values_.Exists(subkey, name_), false);
        EXPECT_TRUE(values_.Delete(subkey, name_));  // already gone
    }
    // "Run" and "RunServicesOnce" are separate places.
    values_.Write("Run", name_, "x");
    EXPECT_EQ(values_.Exists("RunServicesOnce", name_), false);
}

#ifndef _WIN32
bool HaveValidator() {
    return std::system("command -v desktop-file-validate >/dev/null 2>&1") == 0;
}

TEST_F(StartupValuesTest, AutostartEntriesAreValidDesktopEntries) {
    if (!HaveValidator()) GTEST_SKIP() << "desktop-file-validate missing (scripts/install-deps.sh)";
    dir_.Write("my dir/skyvane", "#!/bin/sh\n");
    std::filesystem::permissions(dir_.Path("my dir/skyvane"), std::filesystem::perms::owner_all);
    const std::string nasty = dir_.Path("my dir/skyvane") + " runclient \"$HOME\" 100% `x` \\y";
    ASSERT_TRUE(values_.Write("Run", "Skyvane", nasty));
    ASSERT_TRUE(values_.Write("RunServicesOnce", "SAHBak", nasty));
    for (const char* file : {"skyvane.desktop", "sahbak-once.desktop"}) {
        const std::string path = dir_.Path("config/autostart/") + file;
        ASSERT_TRUE(std::filesystem::exists(path)) << path;
        const std::string check = "desktop-file-validate '" + path + "'";
        EXPECT_EQ(std::system(check.c_str()), 0)
            << dir_.Read(std::string("config/autostart/") + file);
    }
    EXPECT_EQ(values_.Read("Run", "skyvane"), nasty);
}

TEST_F(StartupValuesTest, RunOnceEntryRemovesItselfWhenItRuns) {
    // The program the entry starts leaves a mark of its arguments.
    dir_.Write("prog", "#!/bin/sh\necho \"$@\" > \"" + dir_.Path("ran.txt") + "\"\n");
    std::filesystem::permissions(dir_.Path("prog"), std::filesystem::perms::owner_all);
    ASSERT_TRUE(values_.Write("RunServicesOnce", "SkyvaneBak", dir_.Path("prog") + " failure"));
    const std::string entry = dir_.Path("config/autostart/skyvanebak-once.desktop");
    ASSERT_TRUE(std::filesystem::exists(entry));

    // Run the Exec line as a session would. Its quoting is the shell's
    // double-quote quoting, so once the value's own escapes are undone the
    // shell can stand in for the launcher.
    std::string exec;
    const std::string text = dir_.Read("config/autostart/skyvanebak-once.desktop");
    const auto at = text.find("\nExec=");
    ASSERT_NE(at, std::string::npos);
    const std::string value = text.substr(at + 6, text.find('\n', at + 1) - at - 6);
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size() && value[i + 1] == '\\') ++i;
        exec += value[i];
    }
    dir_.Write("exec.txt", exec);
    const std::string run = "sh -c 'eval \"$(cat \"" + dir_.Path("exec.txt") + "\")\"'";
    ASSERT_EQ(std::system(run.c_str()), 0) << exec;
    EXPECT_FALSE(std::filesystem::exists(entry));
    EXPECT_EQ(dir_.Read("ran.txt"), "failure\n");
    EXPECT_EQ(values_.Exists("RunServicesOnce", "SkyvaneBak"), false);
}

TEST_F(StartupValuesTest, NamesThatCouldLeaveTheDirectoryAreRefused) {
    EXPECT_FALSE(values_.Write("Run", "../evil", "x"));
    EXPECT_FALSE(values_.Write("Other", "Skyvane", "x"));
    EXPECT_EQ(values_.Exists("Run", "../evil"), std::nullopt);
}
#endif

}  // namespace
