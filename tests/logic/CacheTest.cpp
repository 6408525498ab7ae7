// The work-unit cache against recording fakes of the client's process, on
// real temp directories. A scripted client answers each start the way the
// real one does: with the order to stop after a transfer it returns the
// result it finds, or fetches a work unit when it has none.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

#include "cache/CacheForm.h"
#include "cache/CacheInfoForm.h"
#include "cache/WorkUnitCache.h"
#include "client/ClientControl.h"
#include "client/StartupRegistration.h"
#include "clientfiles/Readers.h"
#include "platform/Platform.h"
#include "sample/SampleClientFiles.h"
#include "support/ClientFakes.h"
#include "support/FakeClock.h"
#include "support/ForwardingFiles.h"
#include "support/RecordingView.h"
#include "support/SampleUnits.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"
#include "support/WriteTime.h"

using cache::WorkUnitCache;
using client::ClientKind;
using testsupport::kTextExe;
using testsupport::ResultOf;
using testsupport::TempDir;
using testsupport::Unit;
using views::Control;
using namespace std::chrono_literals;

namespace {

const char Sep = platform::PathSeparator();

// A Files decorator that fails chosen operations, as a full disk or a
// read-only folder would.
class FailingFiles : public testsupport::ForwardingFiles {
public:
    using ForwardingFiles::ForwardingFiles;
    // A copy or write whose target contains this text fails (empty: none).
    std::string failTargetsWith;
    // Every copy or write after this many succeeded ones fails (-1: none).
    int failAfter = -1;
    int writes = 0;

    bool WriteFile(const std::string& p, std::string_view bytes) override {
        return Allowed(p) && inner_.WriteFile(p, bytes);
    }
    bool CopyFile(const std::string& from, const std::string& to, bool overwrite) override {
        return Allowed(to) && inner_.CopyFile(from, to, overwrite);
    }
    bool CreateDirectory(const std::string& p) override {
        return Allowed(p) && inner_.CreateDirectory(p);
    }

private:
    bool Allowed(const std::string& target) {
        if (!failTargetsWith.empty() && target.find(failTargetsWith) != std::string::npos)
            return false;
        if (failAfter >= 0 && writes >= failAfter) return false;
        ++writes;
        return true;
    }
};

class CacheTest : public ::testing::Test {
protected:
    CacheTest() {
        windows_.processes = &processes_.processes;
        dialogs_.clock = &clock_;
        clock_.onSleep = [this](std::chrono::milliseconds) { ClientActs(); };
        client_.SetClientPath(dir_.Path());
        settings_.CacheSize = 3;
        settings_.AutoConnect = true;
        dir_.Write("user_info.sah", "nwus=1\n");
        dir_.Write("version.sah", "major_version=3\nminor_version=8\n");
        AddTextClient();
    }

    platform::Services Services() {
        auto real = native_.services();
        return platform::Services{real.registry,    files_,     windows_, shell_,
                                  real.environment, processes_, startup_, clock_};
    }

    void AddTextClient() {
        dir_.Write(kTextExe, "program");
        processes_.launchable.insert(dir_.Path(kTextExe));
        client_.FindClient();
    }

    void AddGraphicalClient() {
        dir_.Write("SETI@home.exe", "program");
        dir_.Write("config.bin", sample::ConfigBinFile(1));
        processes_.launchable.insert(dir_.Path("SETI@home.exe"));
        client_.FindClient();
        ASSERT_EQ(client_.Kind(), ClientKind::Graphical);
    }

    std::string CachePath(const std::string& name = "") const {
        return program_.Path("cache") + Sep + name;
    }
    void Cache(const std::string& name, const std::string& bytes) {
        program_.Write(std::string("cache") + Sep + name, bytes);
    }
    std::vector<std::string> CacheFiles() {
        std::vector<std::string> names;
        for (const auto& e : native_.services().files.ListDirectory(CachePath(), "*"))
            names.push_back(e.name);
        return names;
    }

    // What the client does first when started: return the result it finds,
    // else fetch a work unit when it has none. Runs on the clock's sleeps,
    // once for each start.
    void ClientActs() {
        if (!clientAlive || processes_.launches.size() == handled) return;
        handled = processes_.launches.size();
        const auto& launch = processes_.launches.back();
        std::string dir = launch.directory;
        auto& files = native_.services().files;
        const std::string result = dir + "result" + ext;
        const std::string unit = dir + "work_unit" + ext;
        if (files.FileExists(result)) {
            const std::string bytes = *files.ReadFile(result);
            returned.push_back(clientfiles::PeekWorkUnitName(files, result).value_or("?"));
            if (clientfiles::PeekWorkUnitName(files, unit) == returned.back())
                files.DeleteFile(unit);
            files.DeleteFile(result);
        } else if (!files.FileExists(unit)) {
            const std::string name = "06ap03aa.1000." + std::to_string(++fetched) + ".1.7";
            files.WriteFile(unit, Unit(name));
        }
    }

    std::string Ext() const { return ext; }

    TempDir dir_, program_;
    testsupport::ScopedEnv registryEnv_{"SKYVANE_REGISTRY_DIR", program_.Path("registry")};
    platform::NativePlatform native_;
    FailingFiles files_{native_.services().files};
    testsupport::FakeProcesses processes_;
    testsupport::FakeWindows windows_;
    testsupport::FakeShell shell_;
    testsupport::FakeStartupValues startup_;
    testsupport::FakeClock clock_;
    testsupport::ScriptedDialogs dialogs_;
    testsupport::RecordingView view_;
    history::TSettingsRec settings_;
    client::ClientControl client_{Services(), dialogs_, settings_};
    client::StartupRegistration registration_{startup_, native_.services().environment, client_};
    std::string ext = ".sah";
    int saves = 0;
    std::array<bool, 3> timers{true, false, true};
    WorkUnitCache cache_{{Services(), dialogs_, view_, client_, registration_, settings_,
                          [this] { return program_.Path(); }, [this] { return Ext(); },
                          [this] {
                              ++saves;
                              return true;
                          },
                          [this] {
                              auto noted = timers;
                              timers = {};
                              return noted;
                          },
                          [this](const std::array<bool, 3>& noted) { timers = noted; }}};

    bool clientAlive = true;
    std::size_t handled = 0;
    int fetched = 0;
    std::vector<std::string> returned;
};

// --------------------------------------------------------------- the store

TEST_F(CacheTest, LabelShowsPositionInTheBatchOrEmpty) {
    cache_.ShowCacheState();
    EXPECT_EQ(view_.Text(Control::CacheStateLabel), "Cache state: empty");
    dir_.Write("work_unit.sah", Unit("a"));
    cache_.ShowCacheState();  // only the work unit in progress
    EXPECT_EQ(view_.Text(Control::CacheStateLabel), "Cache state: empty");

    Cache("r1.rsl", "1");
    Cache("r2.rsl", "2");
    Cache("w1.wu", "3");
    Cache("w2.wu", "4");
    cache_.ShowCacheState();
    EXPECT_EQ(view_.Text(Control::CacheStateLabel), "Cache state: 3/5");
    EXPECT_EQ(cache_.Counters().CacheTotal, 5);
    EXPECT_EQ(cache_.Counters().CachedWorkUnits, 2);
    EXPECT_EQ(cache_.Counters().CachedResults, 2);
}

TEST_F(CacheTest, ConnectMenuOffersARefreshForResultsOrARoomyBatch) {
    settings_.CacheSize = 0;
    cache_.CountCache();
    EXPECT_FALSE(view_.Visible(Control::ConnectMenu));
    Cache("r1.rsl", "1");  // a result left from when the cache was on
    cache_.CountCache();
    EXPECT_TRUE(view_.Visible(Control::ConnectMenu));

    native_.services().files.DeleteFile(CachePath("r1.rsl"));
    settings_.CacheSize = 3;
    Cache("w1.wu", "1");
    Cache("w2.wu", "2");
    cache_.CountCache();
    EXPECT_TRUE(view_.Visible(Control::ConnectMenu));  // 2 < 3
    dir_.Write("work_unit.sah", Unit("a"));
    cache_.CountCache();
    EXPECT_FALSE(view_.Visible(Control::ConnectMenu));  // full
}

TEST_F(CacheTest, ResultIsCachedUnderItsWorkUnitsNameWithoutDotsAndNeverOverwrites) {
    program_.MakeDir("cache");
    dir_.Write("result.sah", ResultOf("04mr00aa.1234.5678.9.12"));
    ASSERT_TRUE(cache_.SaveResultToCache());
    EXPECT_EQ(CacheFiles(), std::vector<std::string>{"04mr00aa12345678912.rsl"});

    // Saved again (a cycle that died after saving): the same bytes are there.
    ASSERT_TRUE(cache_.SaveResultToCache());
    EXPECT_EQ(CacheFiles(), std::vector<std::string>{"04mr00aa12345678912.rsl"});

    // A different result of that name does not replace the cached one.
    dir_.Write("result.sah", ResultOf("04mr00aa.1234.5678.9.12") + "spike: 1\n");
    ASSERT_TRUE(cache_.SaveResultToCache());
    EXPECT_EQ(CacheFiles(),
              (std::vector<std::string>{"04mr00aa12345678912-2.rsl", "04mr00aa12345678912.rsl"}));
    EXPECT_EQ(program_.Read("cache/04mr00aa12345678912.rsl"), ResultOf("04mr00aa.1234.5678.9.12"));
}

TEST_F(CacheTest, WorkUnitNamesCannotLeadOutOfTheCache) {
    program_.MakeDir("cache");
    dir_.Write("result.sah", ResultOf("../../evil/x"));
    ASSERT_TRUE(cache_.SaveResultToCache());
    EXPECT_EQ(CacheFiles(), std::vector<std::string>{"__evil_x.rsl"});
}

TEST_F(CacheTest, OldestCachedWorkUnitIsLoadedFirstInListingOrderOnEqualTimes) {
    Cache("b.wu", Unit("b"));
    Cache("a.wu", Unit("a"));
    Cache("c.wu", Unit("c"));
    using std::chrono::sys_days;
    const auto noon = sys_days{std::chrono::year{2001} / 1 / 1} + 12h;
    testsupport::SetLastWriteTime(CachePath("c.wu"), noon - 2h);
    testsupport::SetLastWriteTime(CachePath("a.wu"), noon);
    testsupport::SetLastWriteTime(CachePath("b.wu"), noon);
    dir_.Write("result.sah", ResultOf("old"));
    cache_.CountCache();

    ASSERT_TRUE(cache_.LoadNextCachedWorkUnit());
    EXPECT_EQ(dir_.Read("work_unit.sah"), Unit("c"));
    EXPECT_FALSE(dir_.Exists("result.sah"));  // not in the cache: saved there first
    EXPECT_EQ(CacheFiles(), (std::vector<std::string>{"a.wu", "b.wu", "old.rsl"}));
    ASSERT_EQ(processes_.launches.size(), 1u);
    EXPECT_NE(processes_.launches[0].commandLine.find("-stop_after_process"), std::string::npos);

    ASSERT_TRUE(cache_.LoadNextCachedWorkUnit());
    EXPECT_EQ(dir_.Read("work_unit.sah"), Unit("a"));
    ASSERT_TRUE(cache_.LoadNextCachedWorkUnit());
    EXPECT_FALSE(cache_.LoadNextCachedWorkUnit());
    EXPECT_EQ(dir_.Read("work_unit.sah"), Unit("b"));
}

// --------------------------------------------------------------- the cycle

TEST_F(CacheTest, FinishSwapsTheResultForTheNextCachedWorkUnit) {
    Cache("next.wu", Unit("next"));
    Cache("done1.rsl", ResultOf("done1"));
    dir_.Write("work_unit.sah", Unit("done2"));
    dir_.Write("result.sah", ResultOf("done2"));
    cache_.RunCacheCycle();

    EXPECT_TRUE(dialogs_.errors.empty());
    EXPECT_EQ(dir_.Read("work_unit.sah"), Unit("next"));
    EXPECT_FALSE(dir_.Exists("result.sah"));
    EXPECT_EQ(CacheFiles(), (std::vector<std::string>{"done1.rsl", "done2.rsl"}));
    EXPECT_EQ(processes_.launches.size(), 1u);
    EXPECT_TRUE(dialogs_.transferTitles.empty());
    EXPECT_TRUE(cache_.LastCycleCompleted());
    // The poll timers are given back as they were.
    EXPECT_EQ(timers, (std::array<bool, 3>{true, false, true}));
}

TEST_F(CacheTest, DryCacheReturnsEveryResultOnceAndFetchesAFullBatch) {
    Cache("done1.rsl", ResultOf("done1"));
    dir_.Write("work_unit.sah", Unit("done2"));  // finished: its result is beside it
    dir_.Write("result.sah", ResultOf("done2"));
    cache_.RunCacheCycle();

    EXPECT_TRUE(dialogs_.errors.empty()) << dialogs_.errors.front();
    EXPECT_TRUE(dialogs_.questions.empty());  // AutoConnect
    std::sort(returned.begin(), returned.end());
    EXPECT_EQ(returned, (std::vector<std::string>{"done1", "done2"}));
    EXPECT_EQ(
        dialogs_.transferTitles,
        (std::vector<std::string>{"Sending Results", "Sending Results", "Receiving Work Units",
                                  "Receiving Work Units", "Receiving Work Units"}));
    // Three fetched, the oldest given to the client, two waiting.
    EXPECT_EQ(fetched, 3);
    EXPECT_EQ(CacheFiles().size(), 2u);
    ASSERT_TRUE(dir_.Exists("work_unit.sah"));
    EXPECT_FALSE(dir_.Exists("result.sah"));
    // Between connects the client stops after processing.
    EXPECT_EQ(client_.StopSwitch(), "-stop_after_process");
    EXPECT_NE(processes_.launches.back().commandLine.find("-stop_after_process"),
              std::string::npos);
    EXPECT_TRUE(cache_.LastCycleCompleted());
    EXPECT_FALSE(std::filesystem::exists(CachePath("cycle.run")));
}

TEST_F(CacheTest, DeclinedQuestionDefersTheConnectAndChangesNothing) {
    settings_.AutoConnect = false;
    Cache("done1.rsl", ResultOf("done1"));
    dialogs_.okCancelAnswers = {false};
    cache_.RunCacheCycle();
    ASSERT_EQ(dialogs_.questions.size(), 1u);
    EXPECT_EQ(dialogs_.questions[0], std::string(cache::msg::kAskConnect));
    EXPECT_TRUE(cache_.ConnectDeferred());
    EXPECT_TRUE(view_.Visible(Control::ConnectMenu));
    EXPECT_TRUE(processes_.launches.empty());
    EXPECT_EQ(CacheFiles(), std::vector<std::string>{"done1.rsl"});

    // The menu's refresh asks nothing and clears the deferral.
    cache_.ConnectMenuClick();
    EXPECT_EQ(dialogs_.questions.size(), 1u);
    EXPECT_FALSE(cache_.ConnectDeferred());
    EXPECT_EQ(returned, std::vector<std::string>{"done1"});
}

TEST_F(CacheTest, RefreshWithUnfinishedWorkRunsInTheScratchDirectory) {
    dir_.Write("work_unit.sah", Unit("working"));
    dir_.Write("state.sah", "prog=0.5\n");
    Cache("done1.rsl", ResultOf("done1"));
    Cache("queued.wu", Unit("queued"));
    std::vector<std::string> launchDirs;
    cache_.ConnectMenuClick();

    EXPECT_TRUE(dialogs_.errors.empty()) << dialogs_.errors.front();
    EXPECT_EQ(returned, std::vector<std::string>{"done1"});
    // CacheSize 3: one cached, one in the real directory, so one fetched.
    EXPECT_EQ(fetched, 1);
    EXPECT_EQ(CacheFiles().size(), 2u);
    for (const auto& launch : processes_.launches)
        launchDirs.push_back(launch.directory);
    const std::string scratch = dir_.Path("temp123") + Sep;
    EXPECT_EQ(std::count(launchDirs.begin(), launchDirs.end(), scratch), 2);
    // The unfinished work unit is untouched and the client resumes it.
    EXPECT_EQ(dir_.Read("work_unit.sah"), Unit("working"));
    EXPECT_EQ(processes_.launches.back().directory, dir_.Path());
    EXPECT_EQ(client_.ClientPath(), dir_.Path());
    EXPECT_TRUE(client_.SavedClientPath().empty());
    EXPECT_EQ(cache_.Counters().SavedDirHasWorkUnit, 0);
    EXPECT_EQ(view_.Text(Control::CacheStateLabel), "Cache state: 1/3");
}

TEST_F(CacheTest, TextClientWithTxtFilesRefreshesInScratchToo) {
    // The client keeps ".txt" files; its unfinished work unit is one too.
    ext = ".txt";
    native_.services().files.DeleteFile(dir_.Path("user_info.sah"));
    dir_.Write("user_info.txt", "nwus=1\n");
    dir_.Write("work_unit.txt", Unit("working"));
    cache_.ConnectMenuClick();
    EXPECT_TRUE(dialogs_.errors.empty()) << dialogs_.errors.front();
    EXPECT_EQ(dir_.Read("work_unit.txt"), Unit("working"));
    EXPECT_EQ(fetched, 2);
}

TEST_F(CacheTest, CancelWhileSendingKeepsTheResultCachedAndDefers) {
    Cache("done1.rsl", ResultOf("done1"));
    clientAlive = false;  // never returns it
    int ticks = 0;
    dialogs_.cancelTransfer = [&] { return ++ticks == 3; };
    cache_.ConnectMenuClick();
    EXPECT_EQ(dialogs_.transferTitles, std::vector<std::string>{"Sending Results"});
    EXPECT_EQ(CacheFiles(), std::vector<std::string>{"done1.rsl"});
    // Deferred until the menu's refresh ends, which clears it again.
    EXPECT_FALSE(cache_.LastCycleCompleted());
    EXPECT_EQ(client_.StopSwitch(), "-stop_after_process");
}

TEST_F(CacheTest, TransferCancelledInScratchLeavesNothingThereForALaterConnect) {
    // A result copy left in the scratch directory would be cached again by
    // a later connect once the cache had returned its own: returned twice.
    Cache("done1.rsl", ResultOf("done1"));
    dir_.Write("work_unit.sah", Unit("working"));
    clientAlive = false;
    int ticks = 0;
    dialogs_.cancelTransfer = [&] { return ++ticks == 3; };
    cache_.ConnectMenuClick();
    EXPECT_EQ(dialogs_.transferTitles, std::vector<std::string>{"Sending Results"});
    EXPECT_FALSE(dir_.Exists("temp123/result.sah"));
    EXPECT_TRUE(dir_.Exists("temp123/user_info.sah"));
    EXPECT_EQ(CacheFiles(), std::vector<std::string>{"done1.rsl"});
    EXPECT_EQ(dir_.Read("work_unit.sah"), Unit("working"));
}

TEST_F(CacheTest, ClientThatDoesNothingForHalfAnHourIsGivenUp) {
    Cache("done1.rsl", ResultOf("done1"));
    clientAlive = false;
    cache_.RunCacheCycle();
    ASSERT_EQ(dialogs_.errors.size(), 1u);
    EXPECT_EQ(dialogs_.errors[0], std::string(cache::msg::kStalled));
    EXPECT_TRUE(cache_.ConnectDeferred());
    EXPECT_EQ(CacheFiles(), std::vector<std::string>{"done1.rsl"});
    EXPECT_GE(clock_.Slept(), 30min);
    EXPECT_LT(clock_.Slept(), 31min);
}

TEST_F(CacheTest, AnyChangeInTheClientDirectoryStartsTheHalfHourAgain) {
    // GIVEN a client that never returns the result but rewrites its state
    // file 20 minutes into the transfer
    Cache("done1.rsl", ResultOf("done1"));
    clientAlive = false;
    const auto start = clock_.now;
    bool wrote = false;
    clock_.onSleep = [&](std::chrono::milliseconds now) {
        if (!wrote && now - start >= 20min) {
            wrote = true;
            dir_.Write("state.sah", "prog=0.5\n");
        }
    };
    // WHEN the cycle sends it
    cache_.RunCacheCycle();
    // THEN the window gives up half an hour after that change, not before,
    // as Cancel does: the plain message, the connect deferred, the result
    // kept
    ASSERT_TRUE(wrote);
    EXPECT_EQ(dialogs_.errors, std::vector<std::string>{std::string(cache::msg::kStalled)});
    EXPECT_GE(clock_.now - start, 50min);
    EXPECT_LT(clock_.now - start, 51min);
    EXPECT_TRUE(cache_.ConnectDeferred());
    EXPECT_FALSE(cache_.LastCycleCompleted());
    EXPECT_EQ(CacheFiles(), std::vector<std::string>{"done1.rsl"});
}

// The progress window alone: the limit is measured from the last change it
// saw, and giving up is Cancel's path (the client stopped once).
TEST(CacheInfoFormTest, GivesUpOnlyAfterTheLimitWithoutAChange) {
    TempDir dir;
    platform::NativePlatform native;
    testsupport::FakeClock clock;
    dir.Write("result.sah", "result");
    int cancels = 0;
    cache::CacheInfoForm form(native.services().files, clock, "Sending Results", {1, 1, 0},
                              {dir.Path("result.sah"), false, dir.Path()}, [&] { ++cancels; });
    struct View : views::CacheInfoView {
        void SetTitle(std::string_view) override {}
        void SetText(views::CacheInfoLabel, std::string_view) override {}
        void Close() override { ++closes; }
        int closes = 0;
    } view;
    const auto tickFor = [&](std::chrono::milliseconds span) {
        for (auto t = 0ms; t < span && view.closes == 0; t += cache::kTransferTick) {
            clock.Sleep(cache::kTransferTick);
            form.Timer1Timer(view);
        }
    };
    form.FormCreate(view);
    tickFor(cache::kTransferStallLimit - 1s);
    EXPECT_EQ(view.closes, 0);
    dir.Write("state.sah", "prog=0.1\n");  // the client still works
    tickFor(cache::kTransferStallLimit - 1s);
    EXPECT_EQ(view.closes, 0);
    tickFor(2s);
    EXPECT_EQ(view.closes, 1);
    EXPECT_TRUE(form.Stalled());
    EXPECT_FALSE(form.TransferDone());
    EXPECT_EQ(cancels, 1);
    // A late tick or Cancel on the closed window does nothing more.
    form.Timer1Timer(view);
    form.BitBtn1Click(view);
    EXPECT_EQ(cancels, 1);
    EXPECT_EQ(view.closes, 1);
}

TEST_F(CacheTest, FailedReturnAsksAbortOrRetryAndRetriesTheSameResult) {
    Cache("done1.rsl", ResultOf("done1"));
    files_.failTargetsWith = "result.sah";
    dialogs_.abortRetryAnswers = {true, false};
    cache_.RunCacheCycle();
    EXPECT_EQ(std::count(dialogs_.questions.begin(), dialogs_.questions.end(),
                         std::string(cache::msg::kReturnFailed)),
              2);
    EXPECT_EQ(CacheFiles(), std::vector<std::string>{"done1.rsl"});
    EXPECT_TRUE(returned.empty());
    EXPECT_FALSE(cache_.LastCycleCompleted());
}

TEST_F(CacheTest, ProgressWindowCountsTheUnfinishedWorkUnitAsOneToReceiveLess) {
    settings_.CacheSize = 5;
    Cache("q1.wu", Unit("q1"));
    Cache("q2.wu", Unit("q2"));
    dir_.Write("work_unit.sah", Unit("working"));
    cache_.ConnectMenuClick();
    ASSERT_EQ(dialogs_.transferLabels.size(), 2u);
    EXPECT_EQ(dialogs_.transferLabels[0], (std::array<std::string, 3>{"0", "2", "0"}));
    EXPECT_EQ(dialogs_.transferLabels[1], (std::array<std::string, 3>{"0", "1", "1"}));
}

TEST_F(CacheTest, WithoutAProgressWindowATransferIsCancelledAndNothingLost) {
    Cache("q1.wu", Unit("q1"));
    Cache("done.rsl", ResultOf("done"));
    dir_.Write("work_unit.sah", Unit("working"));
    dialogs_.clock = nullptr;
    cache_.ConnectMenuClick();
    EXPECT_EQ(CacheFiles(), (std::vector<std::string>{"done.rsl", "q1.wu"}));
    EXPECT_EQ(dir_.Read("work_unit.sah"), Unit("working"));
    EXPECT_FALSE(cache_.LastCycleCompleted());
}

TEST_F(CacheTest, GraphicalClientIsPointedAtTheScratchDirectoryAndBack) {
    AddGraphicalClient();
    dir_.Write("work_unit.sah", Unit("working"));
    std::vector<std::string> registryDuring;
    std::vector<bool> pendingDuring;
    cache_.onStep = [&](std::string_view step) {
        if (step != "receive") return;
        auto key = native_.services().registry.OpenKey(
            platform::RegRoot::CurrentUser, client::kClientRegistryKey, platform::RegAccess::Read);
        registryDuring.push_back(key ? key->ReadString(client::kClientDirValue).value_or("") : "");
        pendingDuring.push_back(settings_.ConnectPending);
    };
    cache_.ConnectMenuClick();
    EXPECT_TRUE(dialogs_.errors.empty()) << dialogs_.errors.front();
    EXPECT_EQ(fetched, 2);
    ASSERT_EQ(registryDuring.size(), 2u);
    EXPECT_EQ(registryDuring[0], dir_.Path("temp123"));
    EXPECT_TRUE(pendingDuring[0]);
    // Afterwards: the real directory, nothing pending, the flag back at 1,
    // no repair word left in the start-up values.
    auto key = native_.services().registry.OpenKey(
        platform::RegRoot::CurrentUser, client::kClientRegistryKey, platform::RegAccess::Read);
    EXPECT_EQ(key->ReadString(client::kClientDirValue).value_or("") + Sep, dir_.Path());
    EXPECT_FALSE(settings_.ConnectPending);
    EXPECT_EQ(dir_.Read("config.bin")[client::kConfigFlagOffset], 1);
    for (const auto& [name, command] : startup_.values)
        EXPECT_EQ(command.find("fix"), std::string::npos) << name;
    EXPECT_FALSE(dir_.Exists("stop_after_send.txt"));
    EXPECT_EQ(dir_.Read("work_unit.sah"), Unit("working"));
}

TEST_F(CacheTest, CopyFailureIntoScratchStopsTheConnectWithTheMessage) {
    dir_.Write("work_unit.sah", Unit("working"));
    files_.failTargetsWith = "temp123";
    cache_.ConnectMenuClick();
    ASSERT_EQ(dialogs_.errors.size(), 1u);
    EXPECT_EQ(dialogs_.errors[0], std::string(cache::msg::kCopyFailed));
    EXPECT_EQ(dir_.Read("work_unit.sah"), Unit("working"));
    EXPECT_EQ(client_.ClientPath(), dir_.Path());
}

// ------------------------------------------------------ full or read-only

TEST_F(CacheTest, FullDiskWhileSavingTheResultLosesNothing) {
    Cache("next.wu", Unit("next"));
    dir_.Write("work_unit.sah", Unit("done"));
    dir_.Write("result.sah", ResultOf("done"));
    files_.failAfter = 1;  // the marker; then the disk is full
    cache_.RunCacheCycle();
    ASSERT_EQ(dialogs_.errors.size(), 1u);
    EXPECT_EQ(dialogs_.errors[0], std::string(cache::msg::kSaveFailed));
    EXPECT_EQ(dir_.Read("result.sah"), ResultOf("done"));
    EXPECT_EQ(dir_.Read("work_unit.sah"), Unit("done"));
    EXPECT_EQ(program_.Read("cache/next.wu"), Unit("next"));
    EXPECT_TRUE(processes_.launches.empty());
}

TEST_F(CacheTest, UnwritableCacheFolderWhileReceivingKeepsTheWorkUnitInTheClientDirectory) {
    Cache("done1.rsl", ResultOf("done1"));
    files_.failTargetsWith = ".wu";
    cache_.RunCacheCycle();
    EXPECT_EQ(returned, std::vector<std::string>{"done1"});
    EXPECT_EQ(fetched, 1);
    // Could not be cached: it stays with the client, which works on it.
    EXPECT_TRUE(dir_.Exists("work_unit.sah"));
    EXPECT_FALSE(cache_.LastCycleCompleted());
}

TEST_F(CacheTest, CacheFolderThatCannotBeCreatedEndsTheCycleWithAMessage) {
    dir_.Write("result.sah", ResultOf("done"));
    files_.failTargetsWith = "cache";
    cache_.RunCacheCycle();
    ASSERT_EQ(dialogs_.errors.size(), 1u);
    EXPECT_NE(dialogs_.errors[0].find("Cannot create the cache directory"), std::string::npos);
    EXPECT_TRUE(dir_.Exists("result.sah"));
    EXPECT_FALSE(cache_.Busy());
}

// ---------------------------------------------------------------- recovery

TEST_F(CacheTest, RecoveryFinishesAnInterruptedSwap) {
    // Killed after the next work unit was copied to the client: the result
    // is cached, the work unit both cached and loaded.
    Cache("cycle.run", "cycle\n");
    Cache("done.rsl", ResultOf("done"));
    Cache("next.wu", Unit("next"));
    Cache("later.wu", Unit("later"));
    dir_.Write("work_unit.sah", Unit("next"));
    dir_.Write("result.sah", ResultOf("done"));
    dir_.Write("temp123/user_info.sah", "nwus=0\n");  // of a finished refresh
    cache_.RecoverCache();
    EXPECT_EQ(dir_.Read("user_info.sah"), "nwus=1\n");
    EXPECT_FALSE(dir_.Exists("result.sah"));
    EXPECT_EQ(dir_.Read("work_unit.sah"), Unit("next"));
    EXPECT_EQ(CacheFiles(), (std::vector<std::string>{"done.rsl", "later.wu"}));
    ASSERT_EQ(processes_.launches.size(), 1u);  // the client goes on
}

TEST_F(CacheTest, RecoveryLeavesAFinishedWorkUnitWithItsResultToThePoll) {
    Cache("cycle.run", "cycle\n");
    Cache("done.rsl", ResultOf("done"));
    dir_.Write("work_unit.sah", Unit("done"));
    dir_.Write("result.sah", ResultOf("done"));
    cache_.RecoverCache();
    EXPECT_TRUE(dir_.Exists("result.sah"));
    EXPECT_TRUE(dir_.Exists("work_unit.sah"));
    EXPECT_TRUE(processes_.launches.empty());  // it would work the unit again
}

TEST_F(CacheTest, RecoveryTakesWhatTheScratchDirectoryHoldsIntoTheCache) {
    // Killed in a scratch connect, after the client returned one result
    // and fetched a work unit there, counting both in its user file.
    Cache("cycle.run", "scratch\n");
    dir_.Write("temp123/user_info.sah", "nwus=2\nnresults=1\n");
    Cache("sent.rsl", ResultOf("sent"));
    dir_.Write("temp123/result.sah", ResultOf("sent"));    // being returned
    dir_.Write("temp123/work_unit.sah", Unit("fetched"));  // fetched, not cached
    dir_.Write("work_unit.sah", Unit("working"));
    cache_.RecoverCache();
    EXPECT_FALSE(dir_.Exists("temp123/result.sah"));
    EXPECT_FALSE(dir_.Exists("temp123/work_unit.sah"));
    EXPECT_EQ(CacheFiles(), (std::vector<std::string>{"fetched.wu", "sent.rsl"}));
    EXPECT_EQ(dir_.Read("work_unit.sah"), Unit("working"));
    EXPECT_EQ(dir_.Read("user_info.sah"), "nwus=2\nnresults=1\n");
    ASSERT_EQ(processes_.launches.size(), 1u);
    EXPECT_EQ(processes_.launches[0].directory, dir_.Path());
    EXPECT_FALSE(std::filesystem::exists(CachePath("cycle.run")));
}

TEST_F(CacheTest, RecoveryWithoutACacheOrALeftoverDoesNothing) {
    dir_.Write("work_unit.sah", Unit("working"));
    cache_.RecoverCache();
    Cache("a.wu", Unit("a"));
    cache_.RecoverCache();
    EXPECT_EQ(CacheFiles(), std::vector<std::string>{"a.wu"});
    EXPECT_TRUE(processes_.launches.empty());
}

}  // namespace

// ------------------------------------------------------------ cache dialog

namespace {

using FormView = testsupport::RecordingCacheFormView;

}  // namespace

using views::CacheFormControl;

TEST_F(CacheTest, CacheDialogWithTheCacheOffKeepsItOffAndMakesNoShortcut) {
    settings_.CacheSize = 0;
    std::vector<cache::ClientShortcut> shortcuts;
    cache::CacheForm form({cache_, settings_, client_, dialogs_, view_, [] { return true; },
                           [&](const cache::ClientShortcut& s) {
                               shortcuts.push_back(s);
                               return true;
                           }});
    FormView view;
    form.FormCreate(view);
    EXPECT_FALSE(view.Checked(CacheFormControl::CheckBox1));
    EXPECT_EQ(view.spin, 5);
    EXPECT_FALSE(view.enabled[CacheFormControl::SpinEdit1]);
    EXPECT_TRUE(view.visible[CacheFormControl::CheckBox2]);  // a text client
    form.BitBtn1Click(view);
    EXPECT_EQ(settings_.CacheSize, 0);
    EXPECT_TRUE(shortcuts.empty());
    EXPECT_TRUE(view.closed);
}

TEST_F(CacheTest, CacheDialogGivesATextClientItsShortcutWithTheExtraParameters) {
    settings_.CacheSize = 0;
    std::vector<cache::ClientShortcut> shortcuts;
    cache::CacheForm form({cache_, settings_, client_, dialogs_, view_, [] { return true; },
                           [&](const cache::ClientShortcut& s) {
                               shortcuts.push_back(s);
                               return true;
                           }});
    FormView view;
    form.FormCreate(view);
    view.checked[CacheFormControl::CheckBox1] = true;
    form.CheckBox1Click(view);
    EXPECT_TRUE(view.enabled[CacheFormControl::SpinEdit1]);
    view.spin = 7;
    view.radio = 0;
    view.checked[CacheFormControl::CheckBox2] = true;
    form.CheckBox2Click(view);
    EXPECT_TRUE(view.visible[CacheFormControl::Edit1]);
    view.texts[CacheFormControl::Edit1] = "-proxy host:8080";
    form.BitBtn1Click(view);
    EXPECT_EQ(settings_.CacheSize, 7);
    EXPECT_FALSE(settings_.AutoConnect);
    EXPECT_EQ(settings_.ClientParams, "-proxy host:8080");
    ASSERT_EQ(shortcuts.size(), 1u);
    EXPECT_EQ(shortcuts[0].arguments, " -stop_after_process -proxy host:8080");
    EXPECT_EQ(shortcuts[0].target, dir_.Path(kTextExe));
    EXPECT_EQ(dialogs_.informations,
              std::vector<std::string>{std::string(cache::msg::kShortcutCreated)});
    EXPECT_TRUE(view_.Visible(Control::ConnectMenu));  // 0 < 7
}

TEST_F(CacheTest, CacheDialogClearsTheParametersOfAGraphicalClient) {
    AddGraphicalClient();
    settings_.ClientParams = "-proxy x";
    cache::CacheForm form({cache_, settings_, client_, dialogs_, view_, [] { return true; }, {}});
    FormView view;
    form.FormCreate(view);
    EXPECT_FALSE(view.visible[CacheFormControl::CheckBox2]);
    EXPECT_FALSE(view.visible[CacheFormControl::Edit1]);
    EXPECT_EQ(view.spin, 3);
    EXPECT_EQ(view.radio, 1);
    form.BitBtn1Click(view);
    EXPECT_EQ(settings_.ClientParams, "");
    EXPECT_TRUE(dialogs_.informations.empty());
}
