// What every TopLevelWindows backend must do. On Windows the window manager
// answers WindowExists and an announcement is a hidden window of the class
// and title asked for; the POSIX stand-in keeps records in a runtime
// directory that other processes read. The tests that start a second process
// or look at the records are the stand-in's own: they check what Windows
// does by itself (a window dies with its process, a child process does not
// inherit it).

#include <gtest/gtest.h>

#include <string>

#include "platform/Platform.h"
#include "support/TempDir.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#endif

namespace {

class WindowsTest : public ::testing::Test {
protected:
    testsupport::TempDir dir_;
    testsupport::ScopedEnv runtimeDir_{"SKYVANE_RUNTIME_DIR", dir_.Path("run")};
    platform::NativePlatform native_;
    platform::TopLevelWindows& windows_ = native_.services().windows;
};

TEST_F(WindowsTest, WindowNobodyOpenedDoesNotExist) {
    EXPECT_FALSE(windows_.WindowExists("TSkyvaneNoSuchClass", "No such window"));
}

#ifndef _WIN32
int CountRecords(const std::string& dir) {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (entry.path().filename().string().starts_with("window-")) ++count;
    }
    return count;
}
#endif

TEST_F(WindowsTest, AnnouncedWindowIsFoundByExactClassAndTitleWhileItLives) {
    auto announcement = windows_.Announce("TMainForm", "Skyvane 42%");
    EXPECT_TRUE(windows_.WindowExists("TMainForm", "Skyvane 42%"));
    EXPECT_FALSE(windows_.WindowExists("TMainForm", "Skyvane"));
    EXPECT_FALSE(windows_.WindowExists("TOtherForm", "Skyvane 42%"));

    announcement->SetTitle("Skyvane 43%");
    EXPECT_FALSE(windows_.WindowExists("TMainForm", "Skyvane 42%"));
    EXPECT_TRUE(windows_.WindowExists("TMainForm", "Skyvane 43%"));

    announcement.reset();
    EXPECT_FALSE(windows_.WindowExists("TMainForm", "Skyvane 43%"));
#ifndef _WIN32
    EXPECT_EQ(CountRecords(dir_.Path("run")), 0);
#endif
}

TEST_F(WindowsTest, TwoAnnouncementsOfOneClassLiveApart) {
    auto first = windows_.Announce("TMainForm", "Skyvane");
    auto second = windows_.Announce("TMainForm", "Skyvane 10%");
    EXPECT_TRUE(windows_.WindowExists("TMainForm", "Skyvane"));
    EXPECT_TRUE(windows_.WindowExists("TMainForm", "Skyvane 10%"));
    first.reset();
    EXPECT_FALSE(windows_.WindowExists("TMainForm", "Skyvane"));
    EXPECT_TRUE(windows_.WindowExists("TMainForm", "Skyvane 10%"));
}

#ifndef _WIN32

TEST_F(WindowsTest, RuntimeDirectoryIsCreatedPrivate) {
    auto announcement = windows_.Announce("TMainForm", "Skyvane");
    struct stat info {};
    ASSERT_EQ(stat(dir_.Path("run").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
}

TEST_F(WindowsTest, OtherProcessSeesTheWindowAndItsCrashLeavesNoGhost) {
    int ready[2];
    int done[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(done), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        platform::NativePlatform own;
        auto announcement = own.services().windows.Announce("TMainForm", "From child");
        char byte = 'r';
        const bool told = write(ready[1], &byte, 1) == 1;
        const bool heard = read(done[0], &byte, 1) == 1;
        // Dies without cleaning up, as a crash would: the record stays.
        _exit(told && heard ? 0 : 1);
    }
    char byte = 0;
    ASSERT_EQ(read(ready[0], &byte, 1), 1);
    EXPECT_TRUE(windows_.WindowExists("TMainForm", "From child"));
    ASSERT_EQ(write(done[1], &byte, 1), 1);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_EQ(status, 0);
    for (int fd : {ready[0], ready[1], done[0], done[1]})
        close(fd);

    EXPECT_EQ(CountRecords(dir_.Path("run")), 1);
    EXPECT_FALSE(windows_.WindowExists("TMainForm", "From child"));
    EXPECT_EQ(CountRecords(dir_.Path("run")), 0);
}

TEST_F(WindowsTest, ForkedCopyOfAnAnnouncementDoesNotRemoveTheParentsRecord) {
    auto announcement = windows_.Announce("TMainForm", "Parent");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        announcement.reset();
        _exit(0);
    }
    ASSERT_EQ(waitpid(child, nullptr, 0), child);
    EXPECT_TRUE(windows_.WindowExists("TMainForm", "Parent"));
}

TEST_F(WindowsTest, RecordOfAReusedProcessIdOrGarbageIsIgnored) {
    // Our own pid with another start time: a crashed process whose id was
    // given to someone new.
    dir_.Write("run/window-" + std::to_string(getpid()) + "-999",
               "class=TMainForm\ntitle=Ghost\nstarted=1\n");
    dir_.Write("run/window-garbage", "\x01\x02");
    dir_.Write("run/window-1-x", "no lines here");
    EXPECT_FALSE(windows_.WindowExists("TMainForm", "Ghost"));
    EXPECT_FALSE(dir_.Exists("run/window-" + std::to_string(getpid()) + "-999"));
}

#endif

}  // namespace
