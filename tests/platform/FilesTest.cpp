// What every Files backend must do; the same tests run against the Win32
// backend. Each test works in a temporary directory of its own.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "support/TempDir.h"
#include "support/WriteTime.h"

namespace {

namespace fs = std::filesystem;

std::int32_t PackStamp(int year, int month, int day, int hour, int minute, int second) {
    return static_cast<std::int32_t>(
        static_cast<std::uint32_t>(year - 1980) << 25 | static_cast<std::uint32_t>(month) << 21 |
        static_cast<std::uint32_t>(day) << 16 | static_cast<std::uint32_t>(hour) << 11 |
        static_cast<std::uint32_t>(minute) << 5 | static_cast<std::uint32_t>(second / 2));
}

// Sets the last-write time to a wall-clock time in the local time zone, as
// the backend's system reads local time back.
void SetLocalWriteTime(const std::string& path, int year, int month, int day, int hour, int minute,
                       int second) {
#ifndef _WIN32
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    // POSIX applies the daylight-saving rule in force on that date.
    local.tm_isdst = -1;
    const auto when = std::chrono::time_point_cast<std::chrono::seconds>(
        std::chrono::system_clock::from_time_t(std::mktime(&local)));
#else
    // Windows converts every file time with today's offset from UTC
    // (FileTimeToLocalFileTime), whatever the date: the stamps on a machine
    // that observes daylight saving shift by an hour twice a year. The stamp
    // is local time as Windows has it, so the wall-clock time is set with
    // today's offset. The date goes through no time_t, which is 32 bits wide
    // on 32-bit Windows and ends in 2038.
    using namespace std::chrono;
    const auto wallClock = [](int y, int mo, int d, int h, int mi, int s) {
        return sys_days(std::chrono::year(y) / mo / d) + hours(h) + minutes(mi) + seconds(s);
    };
    const std::time_t now = std::time(nullptr);
    const std::tm today = *std::localtime(&now);
    const seconds offset = wallClock(today.tm_year + 1900, today.tm_mon + 1, today.tm_mday,
                                     today.tm_hour, today.tm_min, today.tm_sec) -
                           sys_seconds(seconds(now));
    const auto when = wallClock(year, month, day, hour, minute, second) - offset;
#endif
    testsupport::SetLastWriteTime(path, when);
}

class FilesTest : public ::testing::Test {
protected:
    std::vector<std::string> Names(const std::vector<platform::DirEntry>& entries) {
        std::vector<std::string> names;
        for (const auto& entry : entries)
            names.push_back(entry.name);
        std::sort(names.begin(), names.end());
        return names;
    }

    std::vector<std::string> List(const std::string& pattern = "*") {
        return Names(files_.ListDirectory(dir_.Path(), pattern));
    }

    testsupport::TempDir dir_;
    platform::NativePlatform native_;
    platform::Files& files_ = native_.services().files;
};

TEST_F(FilesTest, StampIsTheLocalLastWriteTimeInDosForm) {
    dir_.Write("state.sah", "x");
    SetLocalWriteTime(dir_.Path("state.sah"), 2021, 6, 15, 13, 45, 22);
    EXPECT_EQ(files_.FileStamp(dir_.Path("state.sah")), PackStamp(2021, 6, 15, 13, 45, 22));
    // Years from 2044 on set the top bit: the stamp is a bit pattern.
    SetLocalWriteTime(dir_.Path("state.sah"), 2050, 1, 2, 3, 4, 5);
    EXPECT_EQ(files_.FileStamp(dir_.Path("state.sah")), PackStamp(2050, 1, 2, 3, 4, 5));
}

TEST_F(FilesTest, StampOfMissingFileIsMinusOne) {
    EXPECT_EQ(files_.FileStamp(dir_.Path("absent.sah")), platform::kMissingStamp);
}

TEST_F(FilesTest, RewriteWithinTheSameTwoSecondsKeepsTheStamp) {
    // The poll only sees changes the 2-second stamp can show.
    ASSERT_TRUE(files_.WriteFile(dir_.Path("state.sah"), "first"));
    SetLocalWriteTime(dir_.Path("state.sah"), 2022, 3, 4, 5, 6, 10);
    const auto before = files_.FileStamp(dir_.Path("state.sah"));
    ASSERT_TRUE(files_.WriteFile(dir_.Path("state.sah"), "second, longer"));
    SetLocalWriteTime(dir_.Path("state.sah"), 2022, 3, 4, 5, 6, 11);
    EXPECT_EQ(files_.FileStamp(dir_.Path("state.sah")), before);
    SetLocalWriteTime(dir_.Path("state.sah"), 2022, 3, 4, 5, 6, 12);
    EXPECT_NE(files_.FileStamp(dir_.Path("state.sah")), before);
}

TEST_F(FilesTest, StampOutsideTheDosYearsIsClampedNeverMissing) {
    dir_.Write("old", "x");
    SetLocalWriteTime(dir_.Path("old"), 1975, 5, 5, 12, 0, 0);
    EXPECT_EQ(files_.FileStamp(dir_.Path("old")), PackStamp(1980, 1, 1, 0, 0, 0));
    SetLocalWriteTime(dir_.Path("old"), 2110, 5, 5, 12, 0, 0);
    EXPECT_EQ(files_.FileStamp(dir_.Path("old")), PackStamp(2107, 12, 31, 23, 59, 58));
}

TEST_F(FilesTest, ExistenceAndSizeTellFilesFromDirectories) {
    dir_.Write("work_unit.sah", "12345");
    dir_.MakeDir("cache");
    EXPECT_TRUE(files_.FileExists(dir_.Path("work_unit.sah")));
    EXPECT_FALSE(files_.FileExists(dir_.Path("cache")));
    EXPECT_FALSE(files_.FileExists(dir_.Path("absent")));
    EXPECT_TRUE(files_.DirectoryExists(dir_.Path("cache")));
    EXPECT_TRUE(files_.DirectoryExists(dir_.Path("cache/")));
    EXPECT_FALSE(files_.DirectoryExists(dir_.Path("work_unit.sah")));
    EXPECT_EQ(files_.FileSize(dir_.Path("work_unit.sah")), 5u);
    EXPECT_EQ(files_.FileSize(dir_.Path("absent")), std::nullopt);
}

TEST_F(FilesTest, ReadFileStopsAtTheLimit) {
    dir_.Write("outfile.sah", "0123456789");
    dir_.Write("empty.sah", "");
    EXPECT_EQ(files_.ReadFile(dir_.Path("outfile.sah")), "0123456789");
    EXPECT_EQ(files_.ReadFile(dir_.Path("outfile.sah"), 4), "0123");
    EXPECT_EQ(files_.ReadFile(dir_.Path("outfile.sah"), 100), "0123456789");
    EXPECT_EQ(files_.ReadFile(dir_.Path("empty.sah")), "");
    EXPECT_EQ(files_.ReadFile(dir_.Path("absent.sah")), std::nullopt);
}

TEST_F(FilesTest, ReadFileIntoFollowsAGrowingFile) {
    // What ReadFileInto puts into a buffer of `size` bytes from `offset` on,
    // or nothing when it fails.
    const auto from = [&](const std::string& name, std::uint64_t offset, std::size_t size) {
        std::string buffer(size, '?');
        const std::optional<std::size_t> got = files_.ReadFileInto(dir_.Path(name), offset, buffer);
        return got ? std::optional(buffer.substr(0, *got)) : std::nullopt;
    };
    // A NUL byte must not end the read.
    const std::string bytes = std::string("0123") + '\0' + "56789";
    dir_.Write("outfile.sah", bytes);
    EXPECT_EQ(from("outfile.sah", 3, 100), bytes.substr(3));
    EXPECT_EQ(from("outfile.sah", 6, 2), "67");
    EXPECT_EQ(from("outfile.sah", 10, 100), "");
    EXPECT_EQ(from("outfile.sah", 50, 100), "");
    EXPECT_EQ(from("outfile.sah", UINT64_MAX - 10, 100), "");
    dir_.Write("outfile.sah", "0123456789AB");
    EXPECT_EQ(from("outfile.sah", 10, 100), "AB");
    EXPECT_EQ(from("absent.sah", 0, 100), std::nullopt);
    dir_.MakeDir("folder");
    EXPECT_EQ(from("folder", 0, 100), std::nullopt);
}

TEST_F(FilesTest, WriteFileReplacesTheWholeFileAndLeavesNothingElse) {
    ASSERT_TRUE(files_.WriteFile(dir_.Path("Skyvane.set"), std::string(768, 'x')));
    ASSERT_TRUE(files_.WriteFile(dir_.Path("Skyvane.set"), std::string("a\0b", 3)));
    EXPECT_EQ(dir_.Read("Skyvane.set"), std::string("a\0b", 3));
    EXPECT_EQ(List(), std::vector<std::string>{"Skyvane.set"});
    EXPECT_FALSE(files_.WriteFile(dir_.Path("missing/Skyvane.set"), "x"));
    EXPECT_FALSE(dir_.Exists("missing"));
}

TEST_F(FilesTest, CopyWithoutOverwriteKeepsAnExistingTarget) {
    dir_.Write("new.wu", "new");
    dir_.Write("old.wu", "old");
    EXPECT_FALSE(files_.CopyFile(dir_.Path("new.wu"), dir_.Path("old.wu"), false));
    EXPECT_EQ(dir_.Read("old.wu"), "old");
    EXPECT_TRUE(files_.CopyFile(dir_.Path("new.wu"), dir_.Path("old.wu"), true));
    EXPECT_EQ(dir_.Read("old.wu"), "new");
    EXPECT_EQ(List(), (std::vector<std::string>{"new.wu", "old.wu"}));
}

TEST_F(FilesTest, CopyKeepsBytesAndLastWriteTime) {
    const std::string bytes("\0\xff\r\n binary", 11);
    dir_.Write("result.sah", bytes);
    SetLocalWriteTime(dir_.Path("result.sah"), 2020, 2, 29, 10, 20, 31);
    ASSERT_TRUE(files_.CopyFile(dir_.Path("result.sah"), dir_.Path("cache.rsl"), false));
    EXPECT_EQ(dir_.Read("cache.rsl"), bytes);
    EXPECT_EQ(fs::last_write_time(dir_.Path("cache.rsl")),
              fs::last_write_time(dir_.Path("result.sah")));
    EXPECT_EQ(files_.FileStamp(dir_.Path("cache.rsl")), PackStamp(2020, 2, 29, 10, 20, 31));
}

TEST_F(FilesTest, CopyOfMissingSourceFailsAndCreatesNothing) {
    EXPECT_FALSE(files_.CopyFile(dir_.Path("absent"), dir_.Path("target"), true));
    EXPECT_TRUE(List().empty());
}

TEST_F(FilesTest, ListDirectoryMatchesWildcards) {
    dir_.Write("a.wu", "abc");
    dir_.Write("bb.wu", "");
    dir_.Write("c.rsl", "");
    dir_.Write("[1].wu", "");
    dir_.Write("README", "");
    dir_.MakeDir("d.wu");
    const auto entries = files_.ListDirectory(dir_.Path(), "*.wu");
    EXPECT_EQ(Names(entries), (std::vector<std::string>{"[1].wu", "a.wu", "bb.wu", "d.wu"}));
    for (const auto& entry : entries) {
        EXPECT_EQ(entry.isDirectory, entry.name == "d.wu") << entry.name;
        EXPECT_NE(entry.stamp, platform::kMissingStamp) << entry.name;
        if (entry.name == "a.wu") {
            EXPECT_EQ(entry.size, 3u);
        }
    }
    EXPECT_EQ(List("?.wu"), (std::vector<std::string>{"a.wu", "d.wu"}));
    // Brackets are no wildcard: the name is taken literally.
    EXPECT_EQ(List("[1].wu"), std::vector<std::string>{"[1].wu"});
    // "*.*" means every name, with or without a dot, as on Windows.
    EXPECT_EQ(List("*.*").size(), 6u);
    EXPECT_EQ(List("*").size(), 6u);
    // The directory may be given with or without a trailing separator.
    EXPECT_EQ(Names(files_.ListDirectory(dir_.Path().substr(0, dir_.Path().size() - 1), "*.rsl")),
              std::vector<std::string>{"c.rsl"});
    EXPECT_TRUE(files_.ListDirectory(dir_.Path("absent"), "*").empty());
}

TEST_F(FilesTest, FileNamesCompareAsTheSystemComparesThem) {
    dir_.Write("Work_Unit.SAH", "x");
    dir_.Write("a.wu", "");
#ifndef _WIN32
    // Linux file systems tell case apart: another case is another file.
    EXPECT_FALSE(files_.FileExists(dir_.Path("work_unit.sah")));
    EXPECT_TRUE(List("*.WU").empty());
#else
    // Windows does not, and the client's file names come in either case.
    EXPECT_TRUE(files_.FileExists(dir_.Path("work_unit.sah")));
    EXPECT_EQ(files_.FileStamp(dir_.Path("WORK_UNIT.sah")),
              files_.FileStamp(dir_.Path("Work_Unit.SAH")));
    EXPECT_EQ(List("*.WU"), std::vector<std::string>{"a.wu"});
    // The name is listed as stored.
    EXPECT_EQ(List("work_unit.*"), std::vector<std::string>{"Work_Unit.SAH"});
#endif
}

TEST_F(FilesTest, OverlongPathsAreRefusedAndNothingIsCreated) {
    // Longer than the 255 characters the settings record holds, and than a
    // Windows path may be; a name this long is refused on Linux as well. The
    // file must not appear under some shortened name either.
    const std::string name(300, 'a');
    const std::string path = dir_.Path(name);
    dir_.Write("short", "x");
    EXPECT_FALSE(files_.WriteFile(path, "x"));
    EXPECT_FALSE(files_.CopyFile(dir_.Path("short"), path, true));
    EXPECT_FALSE(files_.CreateDirectory(path));
    EXPECT_FALSE(files_.FileExists(path));
    EXPECT_EQ(files_.FileStamp(path), platform::kMissingStamp);
    EXPECT_EQ(files_.ReadFile(path), std::nullopt);
    EXPECT_EQ(List(), std::vector<std::string>{"short"});
}

TEST_F(FilesTest, DirectoriesAreCreatedAndRemovedOneLevelAtATime) {
    EXPECT_TRUE(files_.CreateDirectory(dir_.Path("cache")));
    EXPECT_FALSE(files_.CreateDirectory(dir_.Path("cache")));
    EXPECT_FALSE(files_.CreateDirectory(dir_.Path("a/b")));
    ASSERT_TRUE(files_.WriteFile(dir_.Path("cache/x.wu"), "x"));
    EXPECT_FALSE(files_.RemoveDirectory(dir_.Path("cache/")));
    EXPECT_TRUE(files_.DeleteFile(dir_.Path("cache/x.wu")));
    EXPECT_FALSE(files_.DeleteFile(dir_.Path("cache/x.wu")));
    EXPECT_TRUE(files_.RemoveDirectory(dir_.Path("cache/")));
    EXPECT_FALSE(files_.DirectoryExists(dir_.Path("cache")));
}

TEST(FilesIsLink, TellsLinksFromWhatTheyPointAt) {
    testsupport::TempDir dir;
    dir.Write("real/file.txt", "x");
    platform::NativePlatform native;
    auto& files = native.services().files;
    EXPECT_FALSE(files.IsLink(dir.Path("real")));
    EXPECT_FALSE(files.IsLink(dir.Path("real/file.txt")));
    EXPECT_FALSE(files.IsLink(dir.Path("missing")));
    std::error_code error;
    std::filesystem::create_directory_symlink(dir.Path("real"), dir.Path("link"), error);
    // Windows lets only some users make symbolic links.
    if (error) GTEST_SKIP() << "no symbolic links here: " << error.message();
    EXPECT_TRUE(files.IsLink(dir.Path("link")));
    EXPECT_TRUE(files.IsLink(dir.Path("link") + platform::PathSeparator()));
}

}  // namespace
