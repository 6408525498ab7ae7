// skyvane-cli as a user runs it: the real executable on temp directories.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <array>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <string>

#include "logic/RunCli.h"
#include "platform/Platform.h"
#include "sample/SampleClientFiles.h"
#include "support/TempDir.h"
#include "views/MainWindowName.h"

using testsupport::CliRun;
using testsupport::RunCli;
using testsupport::ScopedEnv;
using testsupport::TempDir;

namespace {

class CliTest : public ::testing::Test {
protected:
    CliTest()
        : programEnv_("SKYVANE_PROGRAM_DIR", program_.Path()),
          registryEnv_("SKYVANE_REGISTRY_DIR", program_.Path("registry")),
          runtimeEnv_("SKYVANE_RUNTIME_DIR", program_.Path("runtime")) {}

    std::string Err() const { return scratch_.Read("err.txt"); }
    std::string ErrFile() const { return scratch_.Path("err.txt"); }

    TempDir program_, client_, scratch_;
    ScopedEnv programEnv_, registryEnv_, runtimeEnv_;
};

TEST_F(CliTest, StatusPrintsTheWindowsTextsAndWritesNothing) {
    // GIVEN a client directory with a damaged user file (no "email" line)
    client_.Write("version.sah", "major_version=3\nminor_version=8\n");
    client_.Write("user_info.sah", "id=1\nname=Ada\n");
    client_.Write("work_unit.sah",
                  "name=wu\nstart_ra=7.5\nstart_dec=21.25\nend_ra=7.5\nend_dec=21.25\n"
                  "angle_range=0.4\ntime_recorded= 2451189.5 (Sat Jan 09 12:00:00 1999)\n"
                  "subband_base=1418741455\nsubband_sample_rate=9765.625\n"
                  "receiver=ao1420\nnsamples=1048576\nend_seti_header\n");

    const CliRun run = RunCli("status --client-dir " + client_.Path(), ErrFile());

    EXPECT_EQ(run.status, 0) << Err();
    EXPECT_NE(run.out.find("\"SkyPosLabel\": \"7:30' 00'' RA, +21º15' 00'' Dec\""),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("\"SkyPosLabel.Hint\": \"Angle range = 0.4 deg.\""), std::string::npos);
    EXPECT_NE(run.out.find("\"SAHVerLabel\": \"S@H ver. 3.08\""), std::string::npos);
    EXPECT_NE(run.out.find("\"EMailLabel\": \"unknown\""), std::string::npos);
    // No state file yet: a live work unit at its start.
    EXPECT_NE(run.out.find("\"PercentageLabel\": \"0%\""), std::string::npos);
    EXPECT_NE(run.out.find("\"ProgressBar\": 0"), std::string::npos);
    EXPECT_NE(run.out.find("\"LiveMode\": true"), std::string::npos);
    EXPECT_EQ(nlohmann::json::parse(run.out)["Messages"],
              nlohmann::json::array({"Line \"email\" not found in one of SETI@home files. The "
                                     "file seems to be corrupt."}))
        << run.out;

    // The CLI reads only: no counter, no archive directory, no registry.
    EXPECT_TRUE(std::filesystem::is_empty(program_.Path()));
}

TEST_F(CliTest, SignalsAreCountedAndTheGraphIsWrittenAsPng) {
    client_.Write("user_info.sah",
                  "email_addr=a@b\nname=A\ncountry=C\n"
                  "register_time=1 (Mon)\nnresults=1\ntotal_cpu=10\n");
    client_.Write("state.sah", "cr=1\ncpu=5\nprog=0.5\nbs_power=0\n");
    client_.Write("outfile.sah",
                  "spike: power=24 ra=1 dec=2 time=3 freq=1418750000.5 fft_len=16384 "
                  "chirp_rate=0\n"
                  "spike: power=30 ra=1 dec=2 time=3 freq=1418750001.5 fft_len=16384 "
                  "chirp_rate=1.5\n");

    CliRun run = RunCli("status --client-dir " + client_.Path(), ErrFile());
    EXPECT_EQ(run.status, 0) << Err();
    EXPECT_NE(run.out.find("\"Spikes\": 2"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"Gaussians\": 0"), std::string::npos);
    EXPECT_NE(run.out.find("\"NoSignalsLabel\": false"), std::string::npos);

    const std::string png = scratch_.Path("graph.png");
    run = RunCli("graph --client-dir " + client_.Path() + " --png " + png +
                     " --scale 4 --hide pulses,triplets --axis spikes",
                 ErrFile());
    EXPECT_EQ(run.status, 0) << Err();
    EXPECT_EQ(scratch_.Read("graph.png").substr(0, 8), std::string("\x89PNG\r\n\x1a\n"));
    // Compressed: stored raw the picture is 388,531 bytes.
    EXPECT_LT(scratch_.Read("graph.png").size(), 16'000u);

    run =
        RunCli("graph --client-dir " + client_.Path() + " --png " + png + " --scale 3", ErrFile());
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(Err().find("scale code"), std::string::npos);
}

TEST_F(CliTest, StatusRefusesDirectoriesThatAreNoClient) {
    CliRun run = RunCli("status --client-dir " + client_.Path("missing"), ErrFile());
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.out.empty());
    EXPECT_NE(Err().find("no such directory"), std::string::npos);

    run = RunCli("status --client-dir " + client_.Path(), ErrFile());
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(Err().find("not a SETI@home client directory"), std::string::npos);

    run = RunCli("status", ErrFile());
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(Err().find("usage"), std::string::npos);
}

// The window archives a finished result at its first poll; the CLI writes
// nothing, but shows what the window would show after that archiving.
TEST_F(CliTest, AFinishedResultCountsAsTheNextArchive) {
    sample::WriteSampleClientDir(client_.Path());
    sample::WorkUnitFields unit;
    unit.name = "wu-finished";
    sample::SpikeSignal spike;
    spike.power = 40;
    client_.Write("result.sah", sample::ResultFile(
                                    unit, {}, sample::SpikeLine(spike) + sample::SpikeLine(spike)));
    program_.Write("lastnum.mon", "wu-before\r\n1\r\n");
    program_.Write("old/seti1.txt", sample::ResultFile({}, {}, sample::SpikeLine({})));
    program_.Write("old/seti2.txt", sample::ResultFile({}, {}, sample::SpikeLine({})));
    const auto before = std::filesystem::last_write_time(program_.Path("lastnum.mon"));

    CliRun run = RunCli("status --client-dir " + client_.Path(), ErrFile());
    EXPECT_EQ(run.status, 0) << Err();
    EXPECT_EQ(nlohmann::json::parse(run.out)["WUComboBoxItems"],
              nlohmann::json::array({"current", "total", "1", "2", "3"}))
        << run.out;
    EXPECT_NE(run.out.find("\"WUComboBox\": \"current\""), std::string::npos);

    run = RunCli("status --view total --client-dir " + client_.Path(), ErrFile());
    EXPECT_EQ(run.status, 0) << Err();
    EXPECT_NE(run.out.find("\"RecordedWULabel\": \"3\""), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"Spikes\": 4"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"WUComboBox\": \"total\""), std::string::npos);

    run = RunCli("status --view 3 --client-dir " + client_.Path(), ErrFile());
    EXPECT_EQ(run.status, 0) << Err();
    EXPECT_NE(run.out.find("\"Spikes\": 2"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"WUComboBox\": \"3\""), std::string::npos);

    // Nothing was written.
    EXPECT_FALSE(program_.Exists("old/seti3.txt"));
    EXPECT_EQ(program_.Read("lastnum.mon"), "wu-before\r\n1\r\n");
    EXPECT_EQ(std::filesystem::last_write_time(program_.Path("lastnum.mon")), before);
}

}  // namespace

namespace {

TEST_F(CliTest, CacheStatusCountsTheCacheAndRefreshNeedsAClient) {
    client_.Write("user_info.sah", sample::UserInfoFile());
    client_.Write("work_unit.sah", sample::WorkUnitFile());
    program_.Write("cache/a.wu", "a");
    program_.Write("cache/b.rsl", "b");
    program_.Write("cache/c.rsl", "c");

    const CliRun run = RunCli("cache status --client-dir " + client_.Path(), ErrFile());
    EXPECT_EQ(run.status, 0) << Err();
    EXPECT_EQ(run.out,
              "{\n  \"CachedWorkUnits\": 1,\n  \"CachedResults\": 2,\n  \"CacheTotal\": 4,\n"
              "  \"CacheStateLabel\": \"Cache state: 3/4\",\n  \"ConnectMenu\": true\n}\n");

    // Without a client nothing can be exchanged: a failure, nothing changed.
    const CliRun refresh = RunCli("cache refresh --client-dir " + client_.Path(), ErrFile());
    EXPECT_EQ(refresh.status, 1);
    EXPECT_NE(Err().find("no SETI@home client"), std::string::npos) << Err();
    EXPECT_TRUE(program_.Exists("cache/b.rsl"));
    EXPECT_EQ(RunCli("cache --client-dir " + client_.Path(), ErrFile()).status, 2);
}

TEST_F(CliTest, CacheRefreshFirstRepairsWhatADeadCycleLeft) {
    // GIVEN a scratch connect that died after the client fetched a work
    // unit there and counted it in its user file, with a half-made copy in
    // the cache; the client (one that does nothing) has unfinished work
    const std::string exe = client_.Path("setiathome-3.08.i686-pc-linux-gnu");
    client_.Write("setiathome-3.08.i686-pc-linux-gnu", "#!/bin/sh\n");
    std::filesystem::permissions(exe, std::filesystem::perms::owner_all);
    client_.Write("user_info.sah", "nwus=1\n");
    client_.Write("version.sah", sample::VersionFile(3, 8));
    client_.Write("work_unit.sah", sample::WorkUnitFile());
    client_.Write("temp123/user_info.sah", "nwus=2\n");
    client_.Write("temp123/work_unit.sah", "name=fetched.1\n");
    program_.Write("cache/cycle.run", "scratch\n");
    program_.Write("cache/half.wu.tmp", "half");

    // WHEN a Skyvane window is open, the refresh leaves the cache to it:
    // the files of a cycle running there are not a dead cycle's
    {
        platform::NativePlatform native;
        const auto window =
            native.services().windows.Announce(views::kMainWindowClass, views::kAppTitle);
        const CliRun refused = RunCli("cache refresh --client-dir " + client_.Path(), ErrFile());
        EXPECT_EQ(refused.status, 1);
        EXPECT_NE(Err().find("Skyvane is running"), std::string::npos) << Err();
        EXPECT_TRUE(program_.Exists("cache/cycle.run"));
        EXPECT_TRUE(program_.Exists("cache/half.wu.tmp"));
    }

    // WHEN the window is gone and the refresh runs (the cache off: nothing
    // to send or fetch)
    const CliRun run = RunCli("cache refresh --client-dir " + client_.Path(), ErrFile());

    // THEN the repair came first: the fetched work unit is cached, the
    // client's figures came back before the scratch folder was refilled
    EXPECT_EQ(run.status, 0) << Err();
    EXPECT_TRUE(program_.Exists("cache/fetched1.wu"));
    EXPECT_FALSE(program_.Exists("cache/half.wu.tmp"));
    EXPECT_FALSE(program_.Exists("cache/cycle.run"));
    EXPECT_EQ(client_.Read("user_info.sah"), "nwus=2\n");
    EXPECT_NE(run.out.find("\"CachedWorkUnits\": 1"), std::string::npos) << run.out;
}

TEST_F(CliTest, ClientStatusTellsTheClientAndTheLineAStartWouldRun) {
    client_.Write("setiathome-3.08.i686-pc-linux-gnu", "#!/bin/sh\n");
    std::filesystem::permissions(client_.Path("setiathome-3.08.i686-pc-linux-gnu"),
                                 std::filesystem::perms::owner_all);
    const auto run = RunCli("client status --client-dir " + client_.Path(), scratch_.Path("err"));
    EXPECT_EQ(run.status, 0) << scratch_.Read("err");
    EXPECT_NE(run.out.find("\"ClientKind\": 1"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("\"CommandLine\": \"" + client_.Path() +
                           "setiathome-3.08.i686-pc-linux-gnu -stop_after_process \""),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("\"Running\": false"), std::string::npos) << run.out;

    EXPECT_EQ(RunCli("client --client-dir " + client_.Path(), scratch_.Path("err")).status, 2);
    EXPECT_EQ(RunCli("client status --client-dir " + client_.Path("missing"), scratch_.Path("err"))
                  .status,
              2);
}

}  // namespace

namespace {

TEST_F(CliTest, PathsThatAreNotUtf8StillGiveValidJson) {
    // A Linux file name is bytes: a client directory named in Latin-1.
    const std::string dir = client_.Path("caf\xE9");
    client_.Write("caf\xE9/setiathome-3.08", "#!/bin/sh\n");
    std::filesystem::permissions(dir + "/setiathome-3.08", std::filesystem::perms::owner_exec,
                                 std::filesystem::perm_options::add);

    const CliRun run = RunCli("client status --client-dir '" + dir + "'", ErrFile());

    EXPECT_EQ(run.status, 0) << Err();
    const auto json = nlohmann::json::parse(run.out);  // throws on invalid UTF-8
    EXPECT_EQ(json["ClientPath"], client_.Path("caf\xEF\xBF\xBD/")) << run.out;
    EXPECT_EQ(json["ClientExeName"], "setiathome-3.08");
}

TEST_F(CliTest, WatchEndsCleanlyOnCtrlC) {
    client_.Write("state.sah", "cr=1\ncpu=5\nprog=0.5\nbs_power=0\n");
    // As a terminal's Ctrl-C would, once the first line is out. The watch
    // runs in the background, where a shell starts it with SIGINT ignored:
    // the program must take the signal all the same.
    const std::string out = scratch_.Path("watch.txt");
    const CliRun run = RunCli(
        "status --watch --client-dir " + client_.Path() + " >" + out + " 2>" +
            scratch_.Path("watch-err.txt") + " & pid=$!; " +
            "while [ ! -s " + out + " ]; do sleep 0.05; done; kill -INT $pid; wait $pid",
        ErrFile());

    EXPECT_EQ(run.status, 0) << Err();
    const std::string line = scratch_.Read("watch.txt");
    EXPECT_EQ(line.find('\n'), line.size() - 1) << "one line: " << line;
    EXPECT_EQ(nlohmann::json::parse(line)["PercentageLabel"], "50%") << line;
    EXPECT_EQ(scratch_.Read("watch-err.txt"), "");
}

TEST_F(CliTest, HelpAndVersionGoToStdoutAndSucceed) {
    CliRun run = RunCli("--help", ErrFile());
    EXPECT_EQ(run.status, 0);
    for (const char* command : {"status", "graph", "signals", "plot", "client"})
        EXPECT_NE(run.out.find(std::string("  ") + command + " "), std::string::npos) << command;
    EXPECT_EQ(Err(), "");

    run = RunCli("--version", ErrFile());
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "skyvane-cli 3.42\n");

    // Every command, and every client action, has its own help.
    for (const char* command : {"status", "graph", "signals", "plot", "client", "client start"}) {
        run = RunCli(std::string(command) + " --help", ErrFile());
        EXPECT_EQ(run.status, 0) << command;
        EXPECT_NE(run.out.find(std::string("usage: skyvane-cli ") + command), std::string::npos)
            << run.out;
    }
    run = RunCli("graph --help", ErrFile());
    EXPECT_NE(run.out.find("--png FILE"), std::string::npos) << run.out;
    run = RunCli("status --help", ErrFile());
    EXPECT_NE(run.out.find("--watch"), std::string::npos) << run.out;
}

TEST_F(CliTest, WrongArgumentsSayWhyOnStderrWithStatusTwo) {
    struct Case {
        const char* args;
        const char* reason;
    };
    const Case cases[] = {
        {"", "a subcommand is required"},
        {"statsu --client-dir .", "unknown command: statsu"},
        {"client restart --client-dir .", "unknown command: restart"},
        {"status --client-dir . --frobnicate", "--frobnicate"},
        {"status --client-dir . --view 0", "view must be current, total or an archive number: 0"},
        {"status --client-dir . --total-mode most",
         "the total mode must be all, best or last: most"},
        {"graph --client-dir . --png x.png --hide spikes,noise",
         "the signal kind must be spikes, gaussians, triplets or pulses: noise"},
        {"graph --client-dir .", "--png is required"},
        {"plot --client-dir . --kind gaussian --index -1 --png x.png", "--index"},
    };
    for (const Case& c : cases) {
        const CliRun run = RunCli(c.args, ErrFile());
        EXPECT_EQ(run.status, 2) << c.args;
        EXPECT_EQ(run.out, "") << c.args;
        std::string err = Err();
        for (char& ch : err)
            ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        EXPECT_NE(err.find(c.reason), std::string::npos) << c.args << "\n" << Err();
        EXPECT_NE(err.find("usage: skyvane-cli"), std::string::npos) << c.args;
    }
}

}  // namespace
