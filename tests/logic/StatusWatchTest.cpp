// "skyvane-cli status --watch" in-process, on a fake clock: a line at the
// start and one per change, a poll every 2 seconds, and a prompt, clean end.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <chrono>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "cli/CommandLine.h"
#include "cli/StatusCommands.h"
#include "platform/Platform.h"
#include "support/FakeClock.h"
#include "support/TempDir.h"

using namespace std::chrono_literals;
using testsupport::FakeClock;
using testsupport::ScopedEnv;
using testsupport::TempDir;

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

class StatusWatchTest : public ::testing::Test {
protected:
    StatusWatchTest()
        : programEnv_("SKYVANE_PROGRAM_DIR", program_.Path()),
          registryEnv_("SKYVANE_REGISTRY_DIR", program_.Path("registry")),
          runtimeEnv_("SKYVANE_RUNTIME_DIR", program_.Path("runtime")) {
        client_.Write("user_info.sah", "email_addr=a@b\nname=Ada\ncountry=C\nnresults=1\n");
        client_.Write("state.sah", "cr=1\ncpu=5\nprog=0.25\nbs_power=0\n");
        args_.clientDir = client_.Path();
    }

    // Runs the watch until the fake clock reaches `end` (from the start);
    // `meanwhile` sees the time since the start after every sleep.
    int Watch(std::chrono::milliseconds end,
              const std::function<void(std::chrono::milliseconds)>& meanwhile = {}) {
        const std::chrono::milliseconds start = clock_.now;
        clock_.onSleep = [&](std::chrono::milliseconds now) {
            if (meanwhile) meanwhile(now - start);
        };
        const platform::Services real = native_.services();
        const platform::Services services{real.registry, real.files,       real.windows,
                                          real.shell,    real.environment, real.processes,
                                          real.startup,  clock_};
        return cli::WatchStatus(services, args_, out_, err_,
                                [&] { return clock_.now - start >= end; });
    }

    TempDir program_, client_;
    ScopedEnv programEnv_, registryEnv_, runtimeEnv_;
    platform::NativePlatform native_;
    FakeClock clock_;
    cli::WindowArguments args_;
    std::ostringstream out_, err_;
};

TEST_F(StatusWatchTest, PrintsALineAtTheStartAndOnEveryChangeOnly) {
    std::chrono::milliseconds secondLineSeen{0};
    const int status = Watch(20s, [&](std::chrono::milliseconds since) {
        // The client moves on between the polls at 4 and 6 seconds, once.
        if (since == 5s) client_.Write("state.sah", "cr=1\ncpu=9\nprog=0.5\nbs_power=0\n");
        if (secondLineSeen == 0ms && Lines(out_.str()).size() == 2) secondLineSeen = since;
    });

    EXPECT_EQ(status, 0);
    EXPECT_EQ(err_.str(), "");
    const std::vector<std::string> lines = Lines(out_.str());
    ASSERT_EQ(lines.size(), 2u) << out_.str();
    EXPECT_EQ(nlohmann::json::parse(lines[0])["PercentageLabel"], "25%") << lines[0];
    EXPECT_EQ(nlohmann::json::parse(lines[1])["PercentageLabel"], "50%") << lines[1];
    EXPECT_EQ(nlohmann::json::parse(lines[1])["UserNameLabel"], "Ada") << lines[1];
    // Every 2 seconds, waited in slices short enough for Ctrl-C.
    EXPECT_EQ(clock_.Slept(), 20s);
    for (const auto slice : clock_.sleeps)
        EXPECT_LE(slice, 100ms);
    // Written by the poll at 6 seconds, seen at the first sleep after it.
    EXPECT_EQ(secondLineSeen, 6100ms);
    // The watch only reads.
    EXPECT_FALSE(std::filesystem::exists(program_.Path("registry")));
}

TEST_F(StatusWatchTest, StopsAtOnceWhenAsked) {
    EXPECT_EQ(Watch(150ms), 0);
    EXPECT_EQ(Lines(out_.str()).size(), 1u);
    EXPECT_LE(clock_.Slept(), 200ms);
}

TEST_F(StatusWatchTest, DirectoryMissingAtTheStartIsAUsageError) {
    args_.clientDir = client_.Path("missing");
    EXPECT_EQ(Watch(10s), cli::kUsageError);
    EXPECT_EQ(out_.str(), "");
    EXPECT_NE(err_.str().find("no such directory"), std::string::npos) << err_.str();
    EXPECT_EQ(clock_.Slept(), 0ms);
}

TEST_F(StatusWatchTest, DirectoryGoneForAWhileIsSaidOnceAndWatchedOn) {
    TempDir elsewhere;
    const std::string moved = elsewhere.Path("client");
    const std::string dir = args_.clientDir.substr(0, args_.clientDir.size() - 1);
    const int status = Watch(20s, [&](std::chrono::milliseconds since) {
        if (since == 3s) std::filesystem::rename(dir, moved);
        if (since == 11s) {
            std::filesystem::rename(moved, dir);
            client_.Write("state.sah", "cr=1\ncpu=9\nprog=0.75\nbs_power=0\n");
        }
    });

    EXPECT_EQ(status, 0);
    const std::vector<std::string> lines = Lines(err_.str());
    ASSERT_EQ(lines.size(), 1u) << err_.str();
    EXPECT_NE(lines[0].find("no such directory"), std::string::npos);
    const std::vector<std::string> shown = Lines(out_.str());
    ASSERT_EQ(shown.size(), 2u) << out_.str();
    EXPECT_EQ(nlohmann::json::parse(shown[1])["PercentageLabel"], "75%") << shown[1];
}

}  // namespace
