// Every single failure of the file system, one run each: the Nth read,
// write, copy, delete, listing or new folder of a scenario fails, for every
// N the scenario reaches. Nothing may crash, a failure is told in words, and
// no result or setting is lost: what a failed step could not do, the next
// start does.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "history/ArchiveCounter.h"
#include "history/SettingsRecord.h"
#include "monitor/Monitor.h"
#include "monitor/SettingsStore.h"
#include "platform/Platform.h"
#include "sample/SampleClientFiles.h"
#include "signals/GraphMenus.h"
#include "support/FaultyFiles.h"
#include "support/RecordingView.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

using testsupport::FaultyFiles;
using testsupport::ScopedEnv;
using testsupport::TempDir;

namespace {

// Whether a box was shown, and each one said something.
::testing::AssertionResult ToldInWords(const testsupport::ScriptedDialogs& dialogs) {
    for (const auto* boxes : {&dialogs.errors, &dialogs.warnings, &dialogs.informations}) {
        for (const std::string& text : *boxes)
            if (text.empty()) return ::testing::AssertionFailure() << "an empty box";
    }
    return ::testing::AssertionSuccess();
}

// No temporary file of a write or copy left beside its target.
::testing::AssertionResult NoTemporaryLeft(const std::string& dir) {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
        if (entry.path().extension() == ".tmp")
            return ::testing::AssertionFailure() << entry.path();
    }
    return ::testing::AssertionSuccess();
}

// A finished result in the client's folder, archived by the first poll.
class ArchiveFaults : public ::testing::Test {
protected:
    ArchiveFaults()
        : programEnv_("SKYVANE_PROGRAM_DIR", program_.Path()),
          registryEnv_("SKYVANE_REGISTRY_DIR", program_.Path("registry")),
          runtimeEnv_("SKYVANE_RUNTIME_DIR", program_.Path("runtime")) {}

    void WriteClient() {
        client_.Write("version.sah", sample::VersionFile());
        client_.Write("user_info.sah", sample::UserInfoFile());
        client_.Write("work_unit.sah", sample::WorkUnitFile());
        client_.Write("result.sah", result_);
        program_.Write(history::kArchiveCounterName, history::ArchiveCounterText(0));
    }

    // Start-up and a few polls, on files that may fail; the view and boxes.
    void Run(FaultyFiles& files, testsupport::ScriptedDialogs& dialogs) {
        testsupport::RecordingView view;
        monitor::Monitor monitor(view, dialogs, native_.services().WithFiles(files));
        monitor.OpenClientDirectory(client_.Path(), {});
        for (int tick = 0; tick < 3; ++tick)
            monitor.Timer1Timer();
    }

    std::filesystem::path ArchiveDir() const { return program_.Path(history::kArchiveDirName); }
    // How many archives hold the result, whole.
    int ArchivedCopies() const {
        int copies = 0;
        if (!std::filesystem::exists(ArchiveDir())) return 0;
        for (const auto& entry : std::filesystem::directory_iterator(ArchiveDir()))
            if (program_.Read("old/" + entry.path().filename().string()) == result_) ++copies;
        return copies;
    }

    TempDir program_, client_;
    ScopedEnv programEnv_, registryEnv_, runtimeEnv_;
    platform::NativePlatform native_;
    const std::string result_ = sample::ResultFile({}, {}, sample::SpikeLine({}));
};

TEST_F(ArchiveFaults, NoSingleFailureLosesTheResult) {
    // How many calls of each kind a sound run makes.
    WriteClient();
    FaultyFiles counting(native_.services().files);
    {
        testsupport::ScriptedDialogs dialogs;
        Run(counting, dialogs);
    }
    ASSERT_EQ(ArchivedCopies(), 1);

    for (FaultyFiles::Kind kind : FaultyFiles::kKinds) {
        for (int n = 1; n <= counting.calls[static_cast<int>(kind)]; ++n) {
            SCOPED_TRACE(std::string(FaultyFiles::Name(kind)) + " #" + std::to_string(n));
            std::filesystem::remove_all(ArchiveDir());
            WriteClient();
            FaultyFiles faulty(native_.services().files);
            faulty.failKind = kind;
            faulty.failAt = n;
            testsupport::ScriptedDialogs dialogs;
            Run(faulty, dialogs);
            EXPECT_TRUE(faulty.failed);
            EXPECT_TRUE(ToldInWords(dialogs));
            // The client's result is untouched whatever failed...
            EXPECT_EQ(client_.Read("result.sah"), result_);
            EXPECT_TRUE(NoTemporaryLeft(program_.Path()));

            // ...and the next start archives it, if this one could not.
            FaultyFiles sound(native_.services().files);
            testsupport::ScriptedDialogs later;
            Run(sound, later);
            EXPECT_GE(ArchivedCopies(), 1);
            EXPECT_LE(ArchivedCopies(), 2);  // at worst once more, never lost
            EXPECT_TRUE(history::ReadArchiveCounter(native_.services().files, program_.Path())
                            .count.has_value());
        }
    }
}

TEST(SettingsFaults, ASaveThatFailsKeepsTheOldRecordAndSaysSo) {
    TempDir dir;
    platform::NativePlatform native;
    testsupport::RecordingView view;
    signals::GraphMenus menus{view};
    history::TSettingsRec old;
    old.ClientPath = "/old/client/";
    const std::string oldRecord = history::EncodeSettingsRecord(old);

    for (FaultyFiles::Kind kind : FaultyFiles::kKinds) {
        for (int n = 1; n <= 3; ++n) {
            SCOPED_TRACE(std::string(FaultyFiles::Name(kind)) + " #" + std::to_string(n));
            dir.Write(history::kSettingsFileName, oldRecord);
            FaultyFiles faulty(native.services().files);
            faulty.failKind = kind;
            faulty.failAt = n;
            testsupport::ScriptedDialogs dialogs;
            monitor::SettingsStore store(faulty, dialogs, menus);
            store.LoadSettings(dir.Path(), false);
            store.Values().ClientPath = "/new/client/";
            const bool saved = store.SaveSettings();

            const std::string now = dir.Read(history::kSettingsFileName);
            if (saved) {
                EXPECT_EQ(history::DecodeSettingsRecord(now).ClientPath, "/new/client/");
            } else {
                EXPECT_EQ(now, oldRecord);
                EXPECT_FALSE(dialogs.errors.empty());
            }
            EXPECT_TRUE(ToldInWords(dialogs));
            EXPECT_TRUE(NoTemporaryLeft(dir.Path()));
        }
    }
}

}  // namespace
