// Runs the real stand-in process in a temporary client directory on a clock
// of a few seconds, and checks the files it leaves as a watcher would see
// them.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "sample/SampleClientFiles.h"
#include "standin/Generator.h"
#include "standin/tests/ClientText.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using standintest::IsResultLayout;
using standintest::IsWholeState;
using standintest::Number;
using standintest::SignalSection;
using standintest::Value;
using Clock = std::chrono::steady_clock;

std::optional<std::string> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

bool Exists(const std::string& path) {
    return access(path.c_str(), F_OK) == 0;
}

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

template <class Condition>
bool WaitFor(Condition condition, double seconds) {
    const auto start = Clock::now();
    while (!condition()) {
        if (SecondsSince(start) > seconds) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

std::vector<std::string> FileNames(const std::string& dir) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(dir, error))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// One stand-in process, started in `dir`; killed at the end of the test if
// it is still running. The caller's SETI_STANDIN_* variables are not passed
// on, and window records go to the test's own runtime directory.
class Standin {
public:
    Standin(const std::string& dir, const std::vector<std::string>& args,
            const std::string& runtimeDir) {
        std::vector<std::string> argv = {STANDIN_PATH};
        argv.insert(argv.end(), args.begin(), args.end());
        argv.emplace_back("--quiet");
        std::vector<std::string> env;
        for (char** e = environ; *e != nullptr; ++e) {
            const std::string_view entry = *e;
            if (entry.starts_with("SETI_STANDIN_") || entry.starts_with("SKYVANE_RUNTIME_DIR="))
                continue;
            env.emplace_back(entry);
        }
        env.push_back("SKYVANE_RUNTIME_DIR=" + runtimeDir);
        std::vector<char*> argvp, envp;
        for (auto& a : argv)
            argvp.push_back(a.data());
        for (auto& e : env)
            envp.push_back(e.data());
        argvp.push_back(nullptr);
        envp.push_back(nullptr);
        pid_ = fork();
        if (pid_ == 0) {
            if (chdir(dir.c_str()) != 0) _exit(126);
            execve(argvp[0], argvp.data(), envp.data());
            _exit(127);
        }
    }
    ~Standin() {
        if (pid_ > 0 && !status_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
    }
    Standin(const Standin&) = delete;
    Standin& operator=(const Standin&) = delete;

    pid_t Pid() const { return pid_; }

    bool Running() {
        if (status_) return false;
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) != pid_) return true;
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return false;
    }

    // The exit code (128 + signal when killed), or -1 when it did not end in
    // time, in which case it is killed.
    int Wait(double seconds) {
        if (!WaitFor([&] { return !Running(); }, seconds)) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
            status_ = -1;
        }
        return *status_;
    }

    void Signal(int signal) const { kill(pid_, signal); }

private:
    pid_t pid_ = -1;
    std::optional<int> status_;
};

class StandinRun : public ::testing::Test {
protected:
    StandinRun() {
        fs::create_directories(client);
        fs::create_directories(runtime);
    }
    ~StandinRun() override {
        std::error_code error;
        if (!root_.empty()) fs::remove_all(root_, error);
    }

    std::string In(const std::string& dir, const std::string& name) const {
        return dir + "/" + name;
    }
    std::string C(const std::string& name) const { return In(client, name); }

    std::unique_ptr<Standin> Start(const std::vector<std::string>& args) const {
        return Start(client, args);
    }
    std::unique_ptr<Standin> Start(const std::string& dir,
                                   const std::vector<std::string>& args) const {
        return std::make_unique<Standin>(dir, args, runtime);
    }

    std::optional<double> StateProgress(const std::string& dir) const {
        const auto state = ReadFile(In(dir, "state.sah"));
        if (!state || state->empty()) return std::nullopt;
        return Number(*state, "prog");
    }

    static std::string MakeRoot() {
        char name[] = "/tmp/standin-test-XXXXXX";
        return mkdtemp(name) != nullptr ? std::string(name) : std::string("/tmp/standin-test");
    }

    const std::string root_ = MakeRoot();
    const std::string client = root_ + "/client";
    const std::string server = root_ + "/server";
    const std::string runtime = root_ + "/runtime";
};

TEST_F(StandinRun, AWholeUnitFromFetchToReturn) {
    auto run = Start({"--seed", "11", "--seconds", "2", "--xfer-seconds", "0.6", "--units", "1",
                      "--server", server});
    ASSERT_TRUE(WaitFor([&] { return Exists(C("state.sah")); }, 10));
    const std::string unit = *ReadFile(C("work_unit.sah"));
    EXPECT_TRUE(standintest::IsWholeState(*ReadFile(C("state.sah"))));

    ASSERT_TRUE(WaitFor([&] { return Exists(C("result.sah")); }, 15));
    const std::string result = *ReadFile(C("result.sah"));
    EXPECT_TRUE(IsResultLayout(result, 50));
    EXPECT_EQ(Value(result, "name"), Value(unit, "name"));
    // While the result waits to be returned: the unit stays, its state and
    // signal files are gone.
    EXPECT_TRUE(WaitFor([&] { return !Exists(C("state.sah")) && !Exists(C("outfile.sah")); }, 0.5));
    EXPECT_TRUE(Exists(C("work_unit.sah")));

    EXPECT_EQ(run->Wait(15), 0);
    const std::string name = *Value(unit, "name");
    EXPECT_EQ(FileNames(server + "/results"), std::vector<std::string>{name + ".result"});
    EXPECT_EQ(ReadFile(server + "/results/" + name + ".result"), result);
    EXPECT_EQ(ReadFile(server + "/sent/" + name + ".sah"), unit);
    EXPECT_EQ(FileNames(client), (std::vector<std::string>{"user_info.sah", "version.sah"}));
    EXPECT_EQ(ReadFile(C("version.sah")), "major_version=3\nminor_version=3\n");
    // What the process left is what the generator makes without it.
    EXPECT_EQ(result, standin::GenerateResult(11, 0));

    const std::string user = *ReadFile(C("user_info.sah"));
    EXPECT_EQ(standintest::Keys(user),
              (std::vector<std::string>{"id", "key", "email_addr", "name", "url", "country",
                                        "postal_code", "show_name", "show_email", "register_time",
                                        "last_wu_time", "last_result_time", "nwus", "nresults",
                                        "total_cpu"}));
    EXPECT_EQ(Value(user, "nwus"), "1");
    EXPECT_EQ(Value(user, "nresults"), "1");
    EXPECT_NEAR(Number(user, "total_cpu"), Number(result, "cpu"), 1e-5);
    EXPECT_GE(Number(user, "total_cpu"), 4 * 3600);
    EXPECT_LE(Number(user, "total_cpu"), 12 * 3600);
}

TEST_F(StandinRun, StateRewritesAreWholeAndTheSweepEndsAtMinusRange) {
    auto run = Start({"--seed", "12", "--seconds", "3", "-stop_after_process"});
    std::vector<double> progress;
    std::vector<double> drift;
    std::string signals;
    const auto start = Clock::now();
    while (run->Running() && SecondsSince(start) < 20) {
        if (const auto state = ReadFile(C("state.sah")); state && !state->empty()) {
            ASSERT_TRUE(IsWholeState(*state));
            progress.push_back(Number(*state, "prog"));
            drift.push_back(Number(*state, "cr"));
        }
        if (const auto outfile = ReadFile(C("outfile.sah")); outfile && !outfile->empty()) {
            // Whole lines only, and only ever appended to.
            ASSERT_EQ(outfile->back(), '\n');
            ASSERT_EQ(outfile->compare(0, signals.size(), signals), 0);
            signals = *outfile;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_EQ(run->Wait(1), 0);
    ASSERT_GE(progress.size(), 10u);
    for (std::size_t i = 0; i < progress.size(); ++i) {
        if (i > 0) {
            EXPECT_GE(progress[i], progress[i - 1]);
        }
        if (progress[i] < 0.5) {
            EXPECT_GE(drift[i], 0);
        } else if (progress[i] > 0.5) {
            EXPECT_LE(drift[i], 0);
        }
    }
    EXPECT_GE(*std::max_element(drift.begin(), drift.end()), 35);
    EXPECT_LE(*std::min_element(drift.begin(), drift.end()), -35);
    const std::string result = *ReadFile(C("result.sah"));
    EXPECT_TRUE(IsResultLayout(result, 50));
    EXPECT_EQ(Value(result, "cr"), "-5.000000e+01");
    EXPECT_FALSE(signals.empty());
    EXPECT_TRUE(SignalSection(result).starts_with(signals));
}

TEST_F(StandinRun, OlderClientsSweepTenEachWay) {
    auto run = Start({"--version", "2.7", "--seconds", "1", "-stop_after_process"});
    ASSERT_EQ(run->Wait(15), 0);
    const std::string result = *ReadFile(C("result.sah"));
    EXPECT_TRUE(IsResultLayout(result, 10, "2", "70"));
    EXPECT_EQ(ReadFile(C("version.sah")), "major_version=2\nminor_version=70\n");
}

TEST_F(StandinRun, StopAfterProcessLeavesTheResult) {
    auto run = Start({"--seconds", "1", "--server", server, "-stop_after_process"});
    ASSERT_EQ(run->Wait(15), 0);
    EXPECT_EQ(FileNames(client), (std::vector<std::string>{"result.sah", "user_info.sah",
                                                           "version.sah", "work_unit.sah"}));
    EXPECT_TRUE(FileNames(server + "/results").empty());
    const std::string user = *ReadFile(C("user_info.sah"));
    EXPECT_EQ(Value(user, "nwus"), "1");
    EXPECT_EQ(Value(user, "nresults"), "0");

    // Started again, it returns that result and goes on with a new unit.
    auto again = Start(
        {"--seconds", "1", "--server", server, "--xfer-seconds", "0.1", "-stop_after_process"});
    ASSERT_EQ(again->Wait(15), 0);
    EXPECT_EQ(FileNames(server + "/results").size(), 1u);
    EXPECT_EQ(Value(*ReadFile(C("user_info.sah")), "nresults"), "1");
    EXPECT_EQ(Value(*ReadFile(C("user_info.sah")), "nwus"), "2");
    EXPECT_TRUE(Exists(C("result.sah")));
}

TEST_F(StandinRun, StopAfterSendFileEndsItAfterReturning) {
    WriteFile(C("stop_after_send.txt"), "");
    auto run = Start({"--seconds", "1", "--xfer-seconds", "0.2", "--server", server});
    // The fetch is an exchange too: it stops right after it.
    ASSERT_EQ(run->Wait(15), 0);
    EXPECT_TRUE(Exists(C("work_unit.sah")));
    EXPECT_FALSE(Exists(C("state.sah")));

    auto work = Start({"--seconds", "1", "--xfer-seconds", "0.2", "--server", server});
    ASSERT_EQ(work->Wait(15), 0);
    EXPECT_EQ(FileNames(server + "/results").size(), 1u);
    EXPECT_EQ(FileNames(client),
              (std::vector<std::string>{"stop_after_send.txt", "user_info.sah", "version.sah"}));
    const std::string user = *ReadFile(C("user_info.sah"));
    EXPECT_EQ(Value(user, "nwus"), "1");
    EXPECT_EQ(Value(user, "nresults"), "1");
}

TEST_F(StandinRun, StopAfterXferReturnsAWaitingResultWithoutFetching) {
    // A result put into a directory without a work unit, as a cache hands
    // back a stored result for the client to send.
    const std::string unit = standin::GenerateWorkUnit(40, 0);
    const std::string result = standin::PlanUnit(40, unit).ResultText(unit);
    WriteFile(C("result.sah"), result);
    WriteFile(C("user_info.sah"), sample::UserInfoFile());
    auto run = Start({"--xfer-seconds", "0.1", "--server", server, "-stop_after_xfer"});
    ASSERT_EQ(run->Wait(15), 0);
    EXPECT_EQ(FileNames(client), (std::vector<std::string>{"user_info.sah", "version.sah"}));
    const std::string name = *Value(unit, "name");
    EXPECT_EQ(ReadFile(server + "/results/" + name + ".result"), result);
    const std::string user = *ReadFile(C("user_info.sah"));
    EXPECT_EQ(Value(user, "nresults"), "299");
    EXPECT_NEAR(Number(user, "total_cpu"), 3218765.438 + Number(result, "cpu"), 1e-5);
    EXPECT_EQ(Value(user, "nwus"), "312");
}

TEST_F(StandinRun, StopAfterXferInAnEmptyDirectoryFetchesOneUnit) {
    auto run = Start({"--xfer-seconds", "0.1", "-stop_after_xfer"});
    ASSERT_EQ(run->Wait(15), 0);
    EXPECT_EQ(FileNames(client),
              (std::vector<std::string>{"user_info.sah", "version.sah", "work_unit.sah"}));
    EXPECT_EQ(ReadFile(C("work_unit.sah")), standin::GenerateWorkUnit(1, 0));
}

TEST_F(StandinRun, TheSameSeedFindsTheSameSignals) {
    const std::string second = root_ + "/second";
    const std::string third = root_ + "/third";
    fs::create_directories(second);
    fs::create_directories(third);
    auto a = Start({"--seed", "21", "--seconds", "1.5", "-stop_after_process"});
    auto b = Start(second, {"--seed", "21", "--seconds", "1.5", "-stop_after_process"});
    auto c = Start(third, {"--seed", "22", "--seconds", "1.5", "-stop_after_process"});
    std::string midway;
    ASSERT_TRUE(WaitFor(
        [&] {
            midway = ReadFile(C("outfile.sah")).value_or("");
            return !midway.empty();
        },
        10));
    ASSERT_EQ(a->Wait(15), 0);
    ASSERT_EQ(b->Wait(15), 0);
    ASSERT_EQ(c->Wait(15), 0);
    const std::string signalsA = SignalSection(*ReadFile(C("result.sah")));
    const std::string signalsB = SignalSection(*ReadFile(In(second, "result.sah")));
    const std::string signalsC = SignalSection(*ReadFile(In(third, "result.sah")));
    EXPECT_FALSE(signalsA.empty());
    EXPECT_EQ(signalsA, signalsB);
    EXPECT_NE(signalsA, signalsC);
    EXPECT_TRUE(signalsA.starts_with(midway));
    EXPECT_EQ(ReadFile(C("work_unit.sah")), ReadFile(In(second, "work_unit.sah")));
}

TEST_F(StandinRun, ARestartAfterAKillGoesOnWhereItStopped) {
    const std::string reference = root_ + "/reference";
    fs::create_directories(reference);
    const std::vector<std::string> args = {"--seed", "31", "--seconds", "4", "-stop_after_process"};
    auto whole = Start(reference, args);
    auto killed = Start(args);
    ASSERT_TRUE(WaitFor(
        [&] {
            return StateProgress(client).value_or(0) >= 0.6 &&
                   !ReadFile(C("outfile.sah")).value_or("").empty();
        },
        20));
    killed->Signal(SIGKILL);
    ASSERT_EQ(killed->Wait(5), 128 + SIGKILL);
    const std::string state = *ReadFile(C("state.sah"));
    ASSERT_TRUE(IsWholeState(state));
    const double stoppedAt = Number(state, "prog");
    const std::string signals = *ReadFile(C("outfile.sah"));
    ASSERT_EQ(signals.back(), '\n');

    const auto restart = Clock::now();
    auto resumed = Start(args);
    // Its first state already stands where the killed one stopped, and the
    // signal lines found so far are kept.
    ASSERT_TRUE(WaitFor(
        [&] {
            const auto current = ReadFile(C("state.sah"));
            return current && *current != state;
        },
        10));
    EXPECT_GE(StateProgress(client).value_or(0), stoppedAt - 1e-9);
    EXPECT_TRUE(ReadFile(C("outfile.sah")).value_or("").starts_with(signals));
    ASSERT_EQ(resumed->Wait(20), 0);
    // Much less than a whole unit.
    EXPECT_LT(SecondsSince(restart), 4 * (1 - stoppedAt) + 1.5);

    ASSERT_EQ(whole->Wait(20), 0);
    const std::string result = *ReadFile(C("result.sah"));
    EXPECT_TRUE(IsResultLayout(result, 50));
    EXPECT_EQ(SignalSection(result), SignalSection(*ReadFile(In(reference, "result.sah"))));
    for (const std::string& name : FileNames(client))
        EXPECT_FALSE(name.ends_with(".tmp")) << name;
}

TEST_F(StandinRun, AStateOfAnotherUnitIsNotResumed) {
    WriteFile(C("state.sah"), sample::StateFile(sample::StateFields{.prog = 0.9}));
    const std::string stale = *ReadFile(C("state.sah"));
    WriteFile(C("outfile.sah"), sample::SpikeLine({}));
    // A new unit put in after a kill, the old unit's state still there.
    WriteFile(C("work_unit.sah"), sample::WorkUnitFile());
    auto run = Start({"--seconds", "2", "-stop_after_process"});
    ASSERT_TRUE(WaitFor([&] { return ReadFile(C("state.sah")).value_or(stale) != stale; }, 10));
    EXPECT_LT(StateProgress(client).value_or(1), 0.5);
    EXPECT_NE(ReadFile(C("outfile.sah")).value_or("").find(sample::SpikeLine({})), 0u);
    ASSERT_EQ(run->Wait(15), 0);
}

TEST_F(StandinRun, SigtermEndsItPromptlyAndKeepsItsProgress) {
    auto run = Start({"--seconds", "20"});
    ASSERT_TRUE(WaitFor([&] { return StateProgress(client).value_or(0) >= 0.02; }, 10));
    const double before = *StateProgress(client);
    const auto stop = Clock::now();
    run->Signal(SIGTERM);
    EXPECT_EQ(run->Wait(5), 0);
    EXPECT_LT(SecondsSince(stop), 1.0);
    const std::string state = *ReadFile(C("state.sah"));
    EXPECT_TRUE(IsWholeState(state));
    EXPECT_GE(Number(state, "prog"), before);
    EXPECT_TRUE(Exists(C("work_unit.sah")));
}

TEST_F(StandinRun, TxtFilesWhenTheUserFileIsTxt) {
    WriteFile(C("user_info.txt"), sample::UserInfoFile());
    auto run = Start({"--seconds", "1", "-stop_after_process"});
    EXPECT_TRUE(WaitFor([&] { return Exists(C("state.txt")); }, 10));
    ASSERT_EQ(run->Wait(15), 0);
    EXPECT_EQ(FileNames(client), (std::vector<std::string>{"result.txt", "user_info.txt",
                                                           "version.sah", "work_unit.txt"}));
    EXPECT_TRUE(IsResultLayout(*ReadFile(C("result.txt")), 50));
    EXPECT_EQ(Value(*ReadFile(C("user_info.txt")), "nwus"), "313");
}

TEST_F(StandinRun, ServerUnitsAreHandedOutInNameOrder) {
    fs::create_directories(server + "/outbox");
    WriteFile(server + "/outbox/b.sah", sample::WorkUnitFile({.name = "unit-b"}));
    WriteFile(server + "/outbox/a.sah", sample::WorkUnitFile({.name = "unit-a"}));
    auto run =
        Start({"--seconds", "0.5", "--xfer-seconds", "0.1", "--units", "2", "--server", server});
    std::string first;
    ASSERT_TRUE(WaitFor(
        [&] {
            first = ReadFile(C("work_unit.sah")).value_or("");
            return !first.empty();
        },
        10));
    EXPECT_EQ(Value(first, "name"), "unit-a");
    ASSERT_EQ(run->Wait(15), 0);
    EXPECT_TRUE(FileNames(server + "/outbox").empty());
    EXPECT_EQ(FileNames(server + "/sent"), (std::vector<std::string>{"a.sah", "b.sah"}));
    EXPECT_EQ(FileNames(server + "/results"),
              (std::vector<std::string>{"unit-a.result", "unit-b.result"}));
    EXPECT_EQ(Value(*ReadFile(server + "/results/unit-b.result"), "name"), "unit-b");
}

TEST_F(StandinRun, AcceptsMinAndIgnoresUnknownSwitches) {
    auto run = Start(
        {"-min", "-frobnicate", "--colour=blue", "extra", "--seconds=0.5", "-stop_after_process"});
    ASSERT_EQ(run->Wait(15), 0);
    EXPECT_TRUE(Exists(C("result.sah")));
}

TEST_F(StandinRun, RefusesAnUnusableValue) {
    EXPECT_EQ(Start({"--seconds", "soon"})->Wait(5), 2);
    EXPECT_EQ(Start({"--version", "three"})->Wait(5), 2);
    EXPECT_FALSE(Exists(C("version.sah")));
}

TEST_F(StandinRun, AnnouncesItsConsoleWindowWhileRunning) {
    auto run = Start({"--seconds", "20"});
    const std::string record = runtime + "/window-" + std::to_string(run->Pid()) + "-0";
    ASSERT_TRUE(WaitFor([&] { return Exists(record); }, 10));
    const std::string text = *ReadFile(record);
    EXPECT_EQ(Value(text, "class"), "tty");
    EXPECT_EQ(Value(text, "title"), "setiathome-standin");
    EXPECT_FALSE(Value(text, "started").value_or("").empty());
    run->Signal(SIGTERM);
    EXPECT_EQ(run->Wait(5), 0);
    EXPECT_FALSE(Exists(record));
}

TEST_F(StandinRun, TheWindowedClientKeepsItsConfigFile) {
    auto run = Start({"--seconds", "20", "--graphical", "-min"});
    const std::string record = runtime + "/window-" + std::to_string(run->Pid()) + "-0";
    ASSERT_TRUE(WaitFor([&] { return Exists(record); }, 10));
    const std::string text = *ReadFile(record);
    EXPECT_EQ(Value(text, "class"), "SetiClientParent");
    EXPECT_EQ(Value(text, "title"), "SETI@Home Client");
    const std::string config = *ReadFile(C("config.bin"));
    EXPECT_EQ(config.size(), 680u);
    EXPECT_EQ(config[16], '\1');
    run->Signal(SIGTERM);
    EXPECT_EQ(run->Wait(5), 0);
}

TEST_F(StandinRun, OneClientADirectory) {
    auto first = Start({"--seconds", "30", "--xfer-seconds", "0"});
    ASSERT_TRUE(WaitFor([&] { return Exists(C("state.sah")); }, 10));
    auto second = Start({"--seconds", "30"});
    EXPECT_EQ(second->Wait(10), 3);
    EXPECT_TRUE(first->Running());
}

}  // namespace
