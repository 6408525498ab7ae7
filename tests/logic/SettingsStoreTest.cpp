// Loading and saving "Skyvane.set": first runs, old records, the graph
// menus, and a save that fails.

#include <gtest/gtest.h>

#include <filesystem>

#include "history/SettingsRecord.h"
#include "monitor/SettingsStore.h"
#include "platform/Platform.h"
#include "signals/GraphMenus.h"
#include "support/RecordingView.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

using history::EncodeSettingsRecord;
using history::TSettingsRec;
using monitor::SettingsStore;
using Outcome = monitor::SettingsStore::LoadOutcome;
using testsupport::RecordingView;
using testsupport::ScriptedDialogs;
using testsupport::TempDir;
using views::Control;

namespace {

class SettingsStoreTest : public ::testing::Test {
protected:
    Outcome Load(bool first = false) { return store_.LoadSettings(dir_.Path(), first); }
    std::string File() const { return dir_.Read("Skyvane.set"); }
    void WriteRecord(const TSettingsRec& values) {
        dir_.Write("Skyvane.set", EncodeSettingsRecord(values));
    }

    TempDir dir_;
    platform::NativePlatform native_;
    RecordingView view_;
    ScriptedDialogs dialogs_;
    signals::GraphMenus menus_{view_};
    SettingsStore store_{native_.services().files, dialogs_, menus_};
};

TEST_F(SettingsStoreTest, FirstRunAsksForInstallationAndWritesNothing) {
    EXPECT_EQ(Load(), Outcome::Install);
    EXPECT_FALSE(dir_.Exists("Skyvane.set"));
}

TEST_F(SettingsStoreTest, FirstArgumentWritesTheDefaults) {
    EXPECT_EQ(Load(/*first=*/true), Outcome::Written);

    EXPECT_EQ(File(), EncodeSettingsRecord(TSettingsRec{}));
    EXPECT_EQ(File().substr(257, 5), std::string("\x04" "3.42"));
}

TEST_F(SettingsStoreTest, FirstArgumentRewritesAnExistingFileWithoutTouchingTheMenus) {
    TSettingsRec stored;
    stored.ClientPath = "/seti/";
    stored.GraphScale = 16;
    stored.Reserved377 = 0xAB;
    WriteRecord(stored);

    EXPECT_EQ(Load(/*first=*/true), Outcome::Written);

    EXPECT_EQ(File(), EncodeSettingsRecord(stored));
    EXPECT_EQ(menus_.ScaleCode(), 2) << "the menus keep their design state";
}

TEST_F(SettingsStoreTest, CurrentRecordIsTakenAndAppliedToTheMenus) {
    TSettingsRec stored;
    stored.ClientPath = "/seti/";
    stored.MultipleInstances = true;
    stored.GraphScale = 16;
    stored.HiddenKinds = 0b0101;
    stored.DotPlot = 1;
    stored.TotalMode = 3;
    stored.IgnoreFast = true;
    stored.SignalPriority = {3, 2, 1, 0};
    WriteRecord(stored);

    EXPECT_EQ(Load(), Outcome::Current);

    EXPECT_EQ(store_.Values(), stored);
    EXPECT_DOUBLE_EQ(menus_.ScaleFactor(), 8);
    EXPECT_TRUE(view_.Checked(Control::mx8));
    EXPECT_FALSE(view_.Checked(Control::MNormal));
    EXPECT_FALSE(view_.Checked(Control::ShowSpikesMenu));
    EXPECT_TRUE(view_.Checked(Control::ShowGaussiansMenu));
    EXPECT_FALSE(view_.Checked(Control::ShowTripletsMenu));
    EXPECT_TRUE(view_.Checked(Control::ShowPulsesMenu));
    EXPECT_TRUE(view_.Checked(Control::DotsMenu));
    EXPECT_TRUE(view_.Checked(Control::MenuTotalLast));
    EXPECT_TRUE(view_.Checked(Control::MenuTotalIgnore));
    // The last kind of the priority labels the axis: spikes.
    EXPECT_EQ(menus_.AxisKind(), 0);
    EXPECT_TRUE(view_.State(Control::Label14).underlined);
    EXPECT_FALSE(view_.State(Control::Label15).underlined);
}

TEST_F(SettingsStoreTest, UnknownScaleAndRepeatedPriorityFallBackToTheDesign) {
    TSettingsRec stored;
    stored.GraphScale = 0;
    stored.SignalPriority = {1, 1, 2, 3};
    WriteRecord(stored);

    Load();

    EXPECT_EQ(store_.Values().GraphScale, 2);
    EXPECT_TRUE(view_.Checked(Control::MNormal));
    EXPECT_DOUBLE_EQ(menus_.ScaleFactor(), 1);
    EXPECT_EQ(menus_.SignalPriority(), signals::kDesignPriority);
    EXPECT_TRUE(view_.State(Control::Label15).underlined) << "\"Best Gaussian:\"";
}

TEST_F(SettingsStoreTest, OldRecordMigratesItsCacheSize) {
    // GIVEN a record of an older version with the cache size in the old field
    std::string old = EncodeSettingsRecord(TSettingsRec{});
    old.replace(257, 5, "\x04" "3.30");
    old[266] = 5;
    dir_.Write("Skyvane.set", old);

    // WHEN it is loaded, THEN the upgrade dialog is due
    EXPECT_EQ(Load(), Outcome::Install);

    // AND the file now holds this version, the cache size moved over
    const std::string now = File();
    EXPECT_EQ(now.substr(257, 5), std::string("\x04" "3.42"));
    EXPECT_EQ(now[266], 0);
    EXPECT_EQ(now[384], 5);
    EXPECT_EQ(store_.Values().CacheSize, 5);
}

TEST_F(SettingsStoreTest, OldRecordWithNothingToMigrateIsLeftAlone) {
    for (const auto& [oldSize, cacheSize] : {std::pair{200, 0}, std::pair{5, 3}}) {
        std::string old = EncodeSettingsRecord(TSettingsRec{});
        old.replace(257, 5, "\x04" "3.30");
        old[266] = static_cast<char>(oldSize);
        old[384] = static_cast<char>(cacheSize);
        dir_.Write("Skyvane.set", old);

        EXPECT_EQ(Load(), Outcome::Install);
        EXPECT_EQ(File(), old) << "old size " << oldSize;
    }
}

TEST_F(SettingsStoreTest, ShortFileGivesNoValuesAndAsksForInstallation) {
    TSettingsRec stored;
    stored.ClientPath = "/seti/";
    // Cut inside the version text.
    dir_.Write("Skyvane.set", EncodeSettingsRecord(stored).substr(0, 260));

    EXPECT_EQ(Load(), Outcome::Install);
    EXPECT_EQ(store_.Values().ClientPath, "");
}

TEST_F(SettingsStoreTest, SavedGraphMenusAndReservedBytes) {
    TSettingsRec stored;
    stored.SaveGraphSettings = true;
    stored.HiddenKinds = 0b0001;  // spikes hidden
    stored.Reserved377 = 0x11;
    stored.Reserved378 = 0x22;
    WriteRecord(stored);
    Load();

    ASSERT_TRUE(store_.SaveSettings());

    const std::string saved = File();
    EXPECT_EQ(static_cast<unsigned char>(saved[371]), 241);
    EXPECT_EQ(saved[377], 0x11);
    EXPECT_EQ(saved[378], 0x22);
    EXPECT_EQ(saved.substr(373, 4), std::string("\x00\x02\x03\x01", 4))
        << "the live priority is captured";
}

TEST_F(SettingsStoreTest, WithoutSaveGraphSettingsTheStoredGraphStateStays) {
    TSettingsRec stored;
    stored.GraphScale = 4;
    stored.HiddenKinds = 0b0010;
    stored.SignalPriority = {1, 1, 1, 1};
    WriteRecord(stored);
    Load();

    ASSERT_TRUE(store_.SaveSettings());

    EXPECT_EQ(File(), EncodeSettingsRecord(stored));
}

TEST_F(SettingsStoreTest, FailedSaveTellsTheUserAndKeepsTheValues) {
    TSettingsRec stored;
    stored.SaveGraphSettings = true;
    stored.GraphScale = 2;
    WriteRecord(stored);
    Load();
    // A directory in the file's place makes every write fail.
    std::filesystem::remove(dir_.Path("Skyvane.set"));
    dir_.MakeDir("Skyvane.set");

    EXPECT_FALSE(store_.SaveSettings());

    ASSERT_EQ(dialogs_.errors.size(), 1u);
    EXPECT_NE(dialogs_.errors[0].find("Skyvane.set"), std::string::npos);
    EXPECT_EQ(store_.Values(), stored) << "nothing captured into the values";
}

}  // namespace
