// The archive of finished results: numbered copies that are never
// overwritten, and the counter file that remembers the last one.

#include <gtest/gtest.h>

#include <filesystem>

#include "history/Archive.h"
#include "platform/Platform.h"
#include "support/TempDir.h"

using history::ArchiveOutcome;
using history::ArchiveResult;
using testsupport::TempDir;
using Kind = history::ArchiveOutcome::Kind;

namespace {

class ArchiveTest : public ::testing::Test {
protected:
    ArchiveTest() {
        program_.MakeDir("old");
        program_.Write("lastnum.mon", "\r\n0\r\n");
        client_.Write("result.sah", "type=result\nname=wu-a\nbody\n");
    }
    ArchiveOutcome Archive(const std::string& name, const std::string& result = "result.sah") {
        return ArchiveResult(native_.services().files, program_.Path(), client_.Path(result), name,
                             count_);
    }

    TempDir program_, client_;
    platform::NativePlatform native_;
    std::int32_t count_ = 0;
};

TEST_F(ArchiveTest, FirstResultBecomesNumberOne) {
    const ArchiveOutcome outcome = Archive("wu-a");

    EXPECT_EQ(outcome.kind, Kind::Archived);
    EXPECT_EQ(outcome.number, 1);
    EXPECT_EQ(count_, 1);
    EXPECT_EQ(program_.Read("old/seti1.txt"), client_.Read("result.sah"));
    EXPECT_EQ(program_.Read("lastnum.mon"), "wu-a\r\n1\r\n");
}

TEST_F(ArchiveTest, TheSameWorkUnitIsArchivedOnce) {
    ASSERT_EQ(Archive("wu-a").kind, Kind::Archived);
    EXPECT_EQ(Archive("wu-a").kind, Kind::AlreadyThere);
    EXPECT_FALSE(program_.Exists("old/seti2.txt"));
    EXPECT_EQ(program_.Read("lastnum.mon"), "wu-a\r\n1\r\n");
}

TEST_F(ArchiveTest, ExistingNumbersAreSkippedNeverOverwritten) {
    program_.Write("lastnum.mon", "wu-old\r\n3\r\n");
    program_.Write("old/seti4.txt", "four");
    program_.Write("old/seti5.txt", "five");

    const ArchiveOutcome outcome = Archive("wu-a");

    EXPECT_EQ(outcome.number, 6);
    EXPECT_EQ(count_, 6);
    EXPECT_EQ(program_.Read("old/seti4.txt"), "four");
    EXPECT_EQ(program_.Read("old/seti5.txt"), "five");
    EXPECT_TRUE(program_.Exists("old/seti6.txt"));
    EXPECT_EQ(program_.Read("lastnum.mon"), "wu-a\r\n6\r\n");
}

TEST_F(ArchiveTest, ACopyWhoseCounterWasNeverWrittenIsNotArchivedTwice) {
    // Killed between the copy and the counter: the copy is there under the
    // next number, the counter still names the work unit before.
    program_.Write("lastnum.mon", "wu-old\r\n3\r\n");
    program_.Write("old/seti4.txt", client_.Read("result.sah"));

    const ArchiveOutcome outcome = Archive("wu-a");

    EXPECT_EQ(outcome.kind, Kind::Archived);
    EXPECT_EQ(outcome.number, 4);
    EXPECT_FALSE(program_.Exists("old/seti5.txt"));
    EXPECT_EQ(program_.Read("lastnum.mon"), "wu-a\r\n4\r\n");
}

TEST_F(ArchiveTest, AResultTheCacheHoldsIsNotArchivedAgain) {
    program_.Write("cache/wu-a123.rsl", "cached");
    EXPECT_EQ(Archive("wu-a.1.2.3").kind, Kind::AlreadyThere);
    EXPECT_FALSE(program_.Exists("old/seti1.txt"));
}

TEST_F(ArchiveTest, TextClientsResultKeepsTheTxtArchiveName) {
    client_.Write("result.txt", "type=result\nname=wu-t\n");
    EXPECT_EQ(Archive("wu-t", "result.txt").kind, Kind::Archived);
    EXPECT_EQ(program_.Read("old/seti1.txt"), "type=result\nname=wu-t\n");
}

TEST_F(ArchiveTest, DamagedCounterAbandonsArchiving) {
    program_.Write("lastnum.mon", "wu-old\r\nlots\r\n");
    const ArchiveOutcome damaged = Archive("wu-a");
    EXPECT_EQ(damaged.kind, Kind::CounterFailed);
    EXPECT_NE(damaged.error.find("lastnum.mon"), std::string::npos);
    EXPECT_FALSE(program_.Exists("old/seti1.txt"));
    EXPECT_EQ(program_.Read("lastnum.mon"), "wu-old\r\nlots\r\n");

    std::filesystem::remove(program_.Path("lastnum.mon"));
    EXPECT_EQ(Archive("wu-a").kind, Kind::CounterFailed);
    EXPECT_FALSE(program_.Exists("old/seti1.txt"));
}

TEST_F(ArchiveTest, FailedCopyRecordsNothing) {
    const ArchiveOutcome outcome = Archive("wu-a", "missing.sah");
    EXPECT_EQ(outcome.kind, Kind::CopyFailed);
    EXPECT_EQ(count_, 1) << "the number tried";
    EXPECT_EQ(program_.Read("lastnum.mon"), "\r\n0\r\n");

    // The next attempt reads the counter again and takes the same number.
    EXPECT_EQ(Archive("wu-a").number, 1);
}

TEST_F(ArchiveTest, NamesThatCouldLeaveTheCacheFolderAreNotLookedFor) {
    program_.Write("cache/x.rsl", "elsewhere");
    EXPECT_EQ(Archive("../cache/x").kind, Kind::Archived);
    EXPECT_EQ(history::StripDots("a.b..c"), "abc");
}

TEST_F(ArchiveTest, CounterThatCannotGrowIsDamaged) {
    program_.Write("lastnum.mon", "wu-old\r\n2147483647\r\n");
    const ArchiveOutcome outcome = Archive("wu-a");
    EXPECT_EQ(outcome.kind, Kind::CounterFailed);
    EXPECT_NE(outcome.error.find("is damaged"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_empty(program_.Path("old")));
    EXPECT_EQ(program_.Read("lastnum.mon"), "wu-old\r\n2147483647\r\n");
}

}  // namespace
