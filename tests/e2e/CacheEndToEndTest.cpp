// The work-unit cache driving a real (stand-in) client with a server folder
// on a short clock: batches fetched, worked through, cached and returned,
// by the text client and by the windowed one; a refresh from the menu in
// the scratch directory; and the fault matrix: Skyvane or the client killed
// at each step of the cycle, the scratch connect's included, Skyvane
// started again, and nothing lost.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <ostream>

#include "cache/CacheInfoForm.h"
#include "e2e/SkyvaneWithStandin.h"
#include "history/SettingsRecord.h"
#include "sample/SampleClientFiles.h"

using e2e::Key;
using e2e::kTextExe;
using testsupport::ScopedEnv;
using views::Control;
using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

// Thrown from a step of the cycle: Skyvane dies there. Nothing of the cycle
// after that point runs, as after a kill -9.
struct SkyvaneKilled {};

std::vector<std::string> Names(const std::string& dir) {
    std::vector<std::string> names;
    if (!fs::exists(dir)) return names;
    for (const auto& entry : fs::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class CacheEndToEnd : public e2e::SkyvaneWithStandin {
protected:
    CacheEndToEnd() : SkyvaneWithStandin("1", "11") {
        client_.Write("user_info.sah", sample::UserInfoFile());
        client_.Write("version.sah", sample::VersionFile(3, 8));
        dialogs_.clock = &native_.services().clock;
    }
    void InstallTextClient() { fs::copy_file(STANDIN_PATH, client_.Path(kTextExe)); }

    // The windowed client: the stand-in in its windowed mode, started by
    // the name the windowed client's executable has.
    void InstallGraphicalClient() {
        const std::string exe = client_.Path("SETI@home.exe");
        std::ofstream(exe) << "#!/bin/sh\nexec '" << STANDIN_PATH << "' --graphical \"$@\"\n";
        fs::permissions(exe, fs::perms::owner_all);
        client_.Write("config.bin", sample::ConfigBinFile(1));
    }

    void WriteSettings(int cacheSize) {
        history::TSettingsRec settings;
        settings.ClientPath = client_.Path();
        settings.CacheSize = static_cast<std::int16_t>(cacheSize);
        settings.AutoConnect = true;
        program_.Write("Skyvane.set", history::EncodeSettingsRecord(settings));
    }

    // Skyvane's start, as the window's; any word keeps the single-instance
    // test out of the way.
    void StartSkyvane() {
        monitor_ = std::make_unique<monitor::Monitor>(view_, dialogs_, native_.services());
        monitor_->Cache().onStep = [this](std::string_view step) {
            if (onStep) onStep(step);
        };
        monitor_->FormCreate({{"e2e"}, false});
    }

    // Returned results by work unit, counting returns.
    std::map<std::string, int> Returned() {
        std::map<std::string, int> returned;
        for (const auto& name : Names(server_.Path("results"))) {
            const std::string text = server_.Read("results/" + name);
            ++returned[Key(text, "name")];
        }
        return returned;
    }
    // Fetched work units by name, in the order handed out.
    std::vector<std::string> Fetched() {
        std::vector<std::pair<fs::file_time_type, std::string>> units;
        for (const auto& name : Names(server_.Path("sent")))
            units.emplace_back(fs::last_write_time(server_.Path("sent/" + name)),
                               Key(server_.Read("sent/" + name), "name"));
        std::sort(units.begin(), units.end());
        std::vector<std::string> names;
        for (auto& unit : units)
            names.push_back(unit.second);
        return names;
    }

    std::function<void(std::string_view)> onStep;
};

// Every work unit of the first `units` fetched has its result returned,
// once.
void ExpectReturnedOnce(const std::vector<std::string>& fetched,
                        const std::map<std::string, int>& returned, std::size_t units) {
    ASSERT_GE(fetched.size(), units);
    for (std::size_t i = 0; i < units; ++i) {
        const auto found = returned.find(fetched[i]);
        ASSERT_NE(found, returned.end()) << fetched[i] << " was never returned";
        EXPECT_EQ(found->second, 1) << fetched[i] << " was returned more than once";
    }
}

TEST_F(CacheEndToEnd, TextClientWorksThroughABatchAndReturnsItOnce) {
    // GIVEN the text client and a cache of 3 work units, connecting by itself
    InstallTextClient();
    WriteSettings(3);

    // WHEN Skyvane starts on the empty directory, THEN it fetches a batch of
    // 3 and gives the client the first
    StartSkyvane();
    EXPECT_EQ(Fetched().size(), 3u);
    EXPECT_EQ(Names(program_.Path("cache")).size(), 2u);
    EXPECT_TRUE(client_.Exists("work_unit.sah"));
    EXPECT_EQ(view_.Text(Control::CacheStateLabel), "Cache state: 1/3");

    // WHEN the client works through them, THEN every result is cached, and
    // when the cache runs dry all three go back at once and a new batch
    // comes
    ASSERT_TRUE(RunUntil([&] { return Returned().size() >= 3 && Fetched().size() >= 6; }, 90s));
    ASSERT_TRUE(RunUntil(
        [&] { return !monitor_->Cache().Busy() && client_.Exists("work_unit.sah"); }, 30s));
    ExpectReturnedOnce(Fetched(), Returned(), 3);
    EXPECT_EQ(Returned().size(), 3u);
    EXPECT_TRUE(dialogs_.errors.empty()) << dialogs_.errors.front();
    EXPECT_TRUE(monitor_->Client().StopClient());
}

TEST_F(CacheEndToEnd, WindowedClientWorksThroughABatchAndReturnsItOnce) {
    // The windowed client returns a finished result itself after its
    // exchange delay; the poll takes it first.
    ScopedEnv slowerXfer("SETI_STANDIN_XFER_SECONDS", "2");
    InstallGraphicalClient();
    WriteSettings(2);
    StartSkyvane();
    ASSERT_EQ(monitor_->Client().Kind(), client::ClientKind::Graphical);
    EXPECT_EQ(Fetched().size(), 2u);

    ASSERT_TRUE(RunUntil([&] { return Returned().size() >= 2 && Fetched().size() >= 4; }, 120s));
    ASSERT_TRUE(RunUntil(
        [&] { return !monitor_->Cache().Busy() && client_.Exists("work_unit.sah"); }, 30s));
    ExpectReturnedOnce(Fetched(), Returned(), 2);
    EXPECT_EQ(Returned().size(), 2u);
    EXPECT_EQ(client_.Read("config.bin")[16], 1);
    EXPECT_FALSE(client_.Exists("stop_after_send.txt"));
    EXPECT_TRUE(dialogs_.errors.empty()) << dialogs_.errors.front();
    EXPECT_TRUE(monitor_->Client().StopClient());
}

TEST_F(CacheEndToEnd, RefreshFromTheMenuRunsInScratchAndTheClientResumesItsWorkUnit) {
    // GIVEN a client working on its second work unit, the first one's
    // result cached and no work unit left in the cache
    ScopedEnv slower("SETI_STANDIN_SECONDS", "20");
    InstallTextClient();
    WriteSettings(2);
    StartSkyvane();
    const std::string first = Key(client_.Read("work_unit.sah"), "name");
    ASSERT_TRUE(RunUntil(
        [&] {
            return fs::exists(program_.Path("cache")) &&
                   Names(program_.Path("cache")).size() == 1 &&
                   Names(program_.Path("cache"))[0].ends_with(".rsl") &&
                   Key(client_.Read("state.sah"), "prog") > "0.05";
        },
        90s));
    const std::string second = Key(client_.Read("work_unit.sah"), "name");
    ASSERT_NE(first, second);
    const double before = std::atof(Key(client_.Read("state.sah"), "prog").c_str());

    // WHEN the user asks to connect
    monitor_->ConnectMenuClick();

    // THEN the result went back through the scratch directory, one work
    // unit was fetched into the cache, and the client goes on with its work
    // unit from where it was
    EXPECT_TRUE(dialogs_.errors.empty()) << dialogs_.errors.front();
    EXPECT_EQ(Returned(), (std::map<std::string, int>{{first, 1}}));
    EXPECT_TRUE(client_.Exists("temp123/user_info.sah"));
    EXPECT_EQ(Names(program_.Path("cache")).size(), 1u);
    EXPECT_EQ(Key(client_.Read("work_unit.sah"), "name"), second);
    ASSERT_TRUE(RunUntil(
        [&] { return std::atof(Key(client_.Read("state.sah"), "prog").c_str()) > before + 0.01; },
        30s));
    EXPECT_EQ(Key(client_.Read("work_unit.sah"), "name"), second);
    // The user's figures the server counted came back with it.
    EXPECT_NE(Key(client_.Read("user_info.sah"), "nresults"),
              Key(sample::UserInfoFile(), "nresults"));
    EXPECT_TRUE(monitor_->Client().StopClient());
}

// ------------------------------------------------------------ fault matrix

// The real clock, but one that a test can move ahead: half an hour in which
// nothing happened passes at once.
class JumpingClock : public platform::Clock {
public:
    explicit JumpingClock(platform::Clock& real) : real_(real) {}
    std::chrono::milliseconds Now() override { return real_.Now() + ahead; }
    void Sleep(std::chrono::milliseconds duration) override { real_.Sleep(duration); }
    std::chrono::milliseconds ahead{0};

private:
    platform::Clock& real_;
};

struct Fault {
    const char* step;  // where in the cycle (the hook's name)
    int occurrence;    // the how-manieth time the cycle reaches it
    bool killClient;   // the client dies there, else Skyvane
    // The fault strikes while the transfer that follows the step runs (its
    // window's first tick), the client in the middle of its exchange.
    bool midTransfer = false;
};

std::string Describe(const Fault& f) {
    std::string step = f.step;
    if (f.midTransfer) step = step == "send" ? "sending" : "receiving";
    return std::string(f.killClient ? "client_" : "skyvane_") + step + "_" +
           std::to_string(f.occurrence);
}
std::string FaultName(const ::testing::TestParamInfo<Fault>& info) { return Describe(info.param); }
// Test lists name a row by its fault, not by its bytes.
void PrintTo(const Fault& fault, std::ostream* out) { *out << Describe(fault); }

// One run with one fault: Skyvane started again after its death, the
// invariant checked at the end.
class FaultRun : public CacheEndToEnd, public ::testing::WithParamInterface<Fault> {
protected:
    FaultRun() {
        // Skyvane on a clock the test moves ahead when a killed client
        // leaves a transfer window waiting.
        const auto s = native_.services();
        services_.emplace(platform::Services{s.registry, s.files, s.windows, s.shell, s.environment,
                                             s.processes, s.startup, clock_});
        dialogs_.clock = &clock_;
        dialogs_.cancelTransfer = [this] { return OnTransferTick(); };
        onStep = [this](std::string_view step) { OnStep(step); };
    }

    void StartSkyvane() {
        monitor_ = std::make_unique<monitor::Monitor>(view_, dialogs_, *services_);
        monitor_->Cache().onStep = [this](std::string_view step) {
            if (onStep) onStep(step);
        };
        monitor_->FormCreate({{"e2e"}, false});
    }

    void OnStep(std::string_view step) {
        const Fault& fault = GetParam();
        if (!armed_ || struck_ || pending_ || step != fault.step || ++reached_ != fault.occurrence)
            return;
        if (fault.midTransfer) {
            // The exchange the client is about to start lasts long enough
            // for the window's first tick to find it under way.
            slowXfer_.emplace("SETI_STANDIN_XFER_SECONDS", "2");
            pending_ = true;
            ticks_ = 0;
            return;
        }
        Strike();
    }

    bool OnTransferTick() {
        if (pending_ && ++ticks_ == 1) {
            pending_ = false;
            slowXfer_.reset();
            Strike();
        } else if (waitingForStall_) {
            // Nothing moves any more: the half hour passes.
            waitingForStall_ = false;
            clock_.ahead += cache::kTransferStallLimit;
        }
        return false;
    }

    void Strike() {
        struck_ = true;
        if (GetParam().killClient) {
            if (const auto pid = monitor_->Client().FindRunningClient())
                if (auto process = native_.services().processes.Open(*pid)) process->Kill();
            waitingForStall_ = GetParam().midTransfer;
            return;
        }
        throw SkyvaneKilled{};
    }

    // Skyvane runs until `done`, started again whenever it is killed; a
    // transfer given up is retried from the menu, as the user would.
    void RunUntilDone(const std::function<bool()>& done, std::chrono::seconds limit) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        while (!done() && std::chrono::steady_clock::now() < deadline) {
            try {
                RunUntil([&] { return done() || monitor_->Cache().ConnectDeferred(); }, limit);
                if (monitor_->Cache().ConnectDeferred()) monitor_->ConnectMenuClick();
            } catch (const SkyvaneKilled&) {
                Restart();
            }
        }
    }

    void Restart() {
        monitor_.reset();
        StartSkyvane();
    }

    // Where each work unit is now, by name: "returned" once per return,
    // "result" cached, "cached" work unit, "client" work unit, "scratch"
    // anything left in the scratch directory.
    std::map<std::string, std::vector<std::string>> Whereabouts() {
        std::map<std::string, std::vector<std::string>> where;
        for (const auto& [name, times] : Returned())
            for (int i = 0; i < times; ++i)
                where[name].push_back("returned");
        for (const auto& file : Names(program_.Path("cache"))) {
            if (file.ends_with(".rsl"))
                where[Key(program_.Read("cache/" + file), "name")].push_back("result");
            if (file.ends_with(".wu"))
                where[Key(program_.Read("cache/" + file), "name")].push_back("cached");
        }
        if (client_.Exists("work_unit.sah"))
            where[Key(client_.Read("work_unit.sah"), "name")].push_back("client");
        for (const char* file : {"temp123/work_unit.sah", "temp123/result.sah"})
            if (client_.Exists(file)) {
                where[Key(client_.Read(file), "name")].push_back("scratch");
            }
        return where;
    }

    // The invariant: every fetched work unit is somewhere, in one place, and
    // the first `returned` fetched were returned, once (twice when
    // `mayRepeat`).
    void ExpectNothingLost(std::size_t returned, bool mayRepeat) {
        const auto fetched = Fetched();
        auto where = Whereabouts();
        int twice = 0;
        for (std::size_t i = 0; i < fetched.size(); ++i) {
            const auto& places = where[fetched[i]];
            ASSERT_FALSE(places.empty()) << fetched[i] << " lost";
            const auto count = [&](const char* place) {
                return std::count(places.begin(), places.end(), place);
            };
            if (i < returned) {
                EXPECT_GE(count("returned"), 1) << fetched[i] << " never returned";
            }
            // A cached result is returned at the next connect.
            const auto returns = count("returned") + count("result");
            if (returns > 1) ++twice;
            // A work unit waiting or at work in more than one place, or
            // also done, is worked on twice.
            const auto work = count("cached") + count("client") + count("scratch");
            EXPECT_LE(work + (returns > 0 ? 1 : 0), 1)
                << fetched[i] << " is in " << testing::PrintToString(places);
        }
        EXPECT_LE(twice, mayRepeat ? 1 : 0);
        // Every result the poll saw finish is archived, once.
        std::map<std::string, int> archived;
        for (const auto& file : Names(program_.Path("old")))
            ++archived[Key(program_.Read("old/" + file), "name")];
        for (const auto& [name, places] : where) {
            if (places != std::vector<std::string>{"cached"} &&
                places != std::vector<std::string>{"client"}) {
                EXPECT_EQ(archived[name], 1) << name << " archived " << archived[name] << " times";
            }
        }
    }

    // A client killed in its exchange leaves the transfer window waiting
    // until it gives up, and says so.
    void ExpectStallWhereTheClientDiedMidTransfer() {
        const bool stalled = std::find(dialogs_.errors.begin(), dialogs_.errors.end(),
                                       std::string(cache::msg::kStalled)) != dialogs_.errors.end();
        EXPECT_EQ(stalled, GetParam().midTransfer && GetParam().killClient);
    }

    JumpingClock clock_{native_.services().clock};
    std::optional<platform::Services> services_;
    bool armed_ = true;
    bool struck_ = false;
    bool pending_ = false;
    bool waitingForStall_ = false;
    int reached_ = 0;
    int ticks_ = 0;
    std::optional<ScopedEnv> slowXfer_;
};

class CacheFaultMatrix : public FaultRun {};
// Faults in the scratch connect of "Connect to the server", the client's
// work unit unfinished; occurrences count from the click.
class ScratchFaultMatrix : public FaultRun {};

// Whether Skyvane's death at this fault may return one result twice: after
// the client returned it and before its cache file went.
bool MayRepeat(const Fault& fault) {
    return !fault.killClient && std::string(fault.step) == "sent";
}

// A batch of 2 fetched, worked through, returned, and the next batch
// fetched; each fault strikes once in it.
TEST_P(CacheFaultMatrix, NothingIsLostAfterAKillAndARestart) {
    const Fault fault = GetParam();
    InstallTextClient();
    WriteSettings(2);
    try {
        StartSkyvane();
    } catch (const SkyvaneKilled&) {
        Restart();
    }
    const auto done = [&] { return Returned().size() >= 4 && !monitor_->Cache().Busy(); };
    RunUntilDone(done, 100s);
    ASSERT_TRUE(struck_) << "the cycle never reached " << fault.step;
    ASSERT_TRUE(done()) << "results returned: " << Returned().size();
    ExpectNothingLost(4, MayRepeat(fault));
    ExpectStallWhereTheClientDiedMidTransfer();
    EXPECT_TRUE(monitor_->Client().StopClient());
}

// "Connect to the server" while the client's second work unit is half done:
// the first one's result goes back and one work unit comes, in the scratch
// directory; each fault strikes once in that connect.
TEST_P(ScratchFaultMatrix, NothingIsLostAfterAKillAndARestart) {
    const Fault fault = GetParam();
    ScopedEnv seconds("SETI_STANDIN_SECONDS", "1");
    InstallTextClient();
    WriteSettings(2);
    armed_ = false;
    StartSkyvane();
    const std::string first = Key(client_.Read("work_unit.sah"), "name");
    const auto cacheHoldsOneResult = [&] {
        const auto names = Names(program_.Path("cache"));
        return names.size() == 1 && names[0].ends_with(".rsl");
    };
    ASSERT_TRUE(RunUntil(
        [&] {
            const double progress = std::atof(Key(client_.Read("state.sah"), "prog").c_str());
            return cacheHoldsOneResult() && Key(client_.Read("work_unit.sah"), "name") != first &&
                   progress > 0 && progress < 0.8;
        },
        60s));

    armed_ = true;
    try {
        monitor_->ConnectMenuClick();
    } catch (const SkyvaneKilled&) {
        Restart();
    }
    ASSERT_TRUE(struck_) << "the scratch connect never reached " << fault.step;

    // Done when the three work units fetched by then came back.
    const auto done = [&] {
        const auto fetched = Fetched();
        const auto returned = Returned();
        if (fetched.size() < 3 || monitor_->Cache().Busy()) return false;
        for (std::size_t i = 0; i < 3; ++i)
            if (!returned.contains(fetched[i])) return false;
        return true;
    };
    RunUntilDone(done, 100s);
    ASSERT_TRUE(done()) << "results returned: " << Returned().size();
    ExpectNothingLost(3, MayRepeat(fault));
    ExpectStallWhereTheClientDiedMidTransfer();
    EXPECT_TRUE(monitor_->Client().StopClient());
}

INSTANTIATE_TEST_SUITE_P(Steps, CacheFaultMatrix,
                         ::testing::Values(Fault{"saved", 1, false}, Fault{"loaded", 1, false},
                                           Fault{"unloaded", 1, false}, Fault{"send", 1, false},
                                           Fault{"sent", 1, false}, Fault{"receive", 3, false},
                                           Fault{"received", 3, false}, Fault{"stored", 3, false},
                                           Fault{"loaded", 1, true}, Fault{"send", 1, true, true},
                                           Fault{"receive", 3, true, true}),
                         FaultName);

INSTANTIATE_TEST_SUITE_P(Steps, ScratchFaultMatrix,
                         ::testing::Values(Fault{"scratch", 1, false}, Fault{"send", 1, false},
                                           Fault{"send", 1, false, true}, Fault{"sent", 1, false},
                                           Fault{"receive", 1, false},
                                           Fault{"receive", 1, false, true},
                                           Fault{"received", 1, false}, Fault{"stored", 1, false},
                                           Fault{"resume", 1, false}, Fault{"send", 1, true, true},
                                           Fault{"receive", 1, true, true}),
                         FaultName);

}  // namespace
