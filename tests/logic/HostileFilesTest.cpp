// Client files as another program, a full disk or a hand editor may leave
// them: names too long or naming other folders, numbers beyond any type,
// lines without end, a state file of a gigabyte. Skyvane shows what it can,
// says what it cannot, and never writes outside its own folders.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "logic/RunCli.h"
#include "monitor/Monitor.h"
#include "platform/Platform.h"
#include "sample/SampleClientFiles.h"
#include "support/RecordingView.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

using testsupport::ScopedEnv;
using testsupport::TempDir;
using views::Control;

namespace {

struct Hostile {
    const char* name;
    std::function<void(TempDir& client)> write;
    bool archived = false;  // holds a finished result that must be kept
};

// Named by its case in test lists, not dumped as bytes.
void PrintTo(const Hostile& hostile, std::ostream* out) { *out << hostile.name; }

std::string Header(const std::string& name) {
    return "type=work unit\nname=" + name +
           "\nstart_ra=7.5\nstart_dec=21.25\nend_ra=7.5\nend_dec=21.25\n"
           "angle_range=0.4\ntime_recorded= 2451189.5 (Sat Jan 09 12:00:00 1999)\n"
           "subband_base=1418741455\nsubband_sample_rate=9765.625\n"
           "receiver=ao1420\nnsamples=1048576\nend_seti_header\n";
}

std::string ResultNamed(const std::string& name, const std::string& lines = {}) {
    return std::string(sample::kResultFirstLine) + "major_version=3\nminor_version=8\n" +
           Header(name).substr(std::string("type=work unit\n").size()) +
           "ncfft=12\ncr=1\nfl=2048\ncpu=100\nprog=1\n" + lines;
}

void Sound(TempDir& client) {
    client.Write("version.sah", sample::VersionFile());
    client.Write("user_info.sah", sample::UserInfoFile());
}

// Every byte value, many times: what a disk error or a wrong file gives.
std::string Garbage() {
    std::string bytes;
    for (int round = 0; round < 64; ++round)
        for (int b = 0; b < 256; ++b)
            bytes += static_cast<char>((b * 37 + round) & 0xff);
    return bytes;
}

const std::vector<Hostile>& Cases() {
    static const std::vector<Hostile> cases = {
        {"NameOf300Characters",
         [](TempDir& c) {
             Sound(c);
             c.Write("work_unit.sah", Header(std::string(300, 'n')));
             c.Write("result.sah", ResultNamed(std::string(300, 'n')));
         },
         true},
        {"NamesThatLeadElsewhere",
         [](TempDir& c) {
             Sound(c);
             c.Write("work_unit.sah", Header("../../../../tmp/x\\..\\y"));
             c.Write("result.sah", ResultNamed(std::string("/etc/passwd\0\r..", 16)));
         },
         true},
        {"NumbersBeyondEveryType",
         [](TempDir& c) {
             Sound(c);
             c.Write("work_unit.sah",
                     "name=wu\nstart_ra=1e999\nstart_dec=-1e999\nend_ra=nan\nend_dec=inf\n"
                     "angle_range=-nan\ntime_recorded= 99999999999999999999999\n"
                     "subband_base=-inf\nsubband_sample_rate=0\nreceiver=ao1420\n"
                     "nsamples=99999999999\nend_seti_header\n");
             c.Write("state.sah", "ncfft=99999999999\ncr=1e308\nfl=-1\ncpu=1e400\nprog=nan\n"
                                  "bs_power=inf\nbg_power=-inf\n");
             c.Write("user_info.sah", "email_addr=a\nname=b\ncountry=c\n"
                                      "register_time=1e999 (x)\nnresults=2147483648\n"
                                      "total_cpu=-1e999\n");
             c.Write("outfile.sah", sample::SpikeLine({.power = 1e308, .fftLen = 0}) +
                                        "spike: power=nan ra=inf dec=-inf time=nan freq=inf "
                                        "fft_len=2147483648 chirp_rate=nan\n");
         }},
        {"LinesOfTenMegabytesWithoutAnEnd",
         [](TempDir& c) {
             Sound(c);
             c.Write("work_unit.sah", Header("wu") + std::string(10 << 20, 'x'));
             c.Write("outfile.sah", "spike: power=" + std::string(10 << 20, '7'));
             c.Write("result.sah", ResultNamed("wu", std::string(10 << 20, 'p')));
         },
         true},
        {"StateFileOfAGigabyte",
         [](TempDir& c) {
             Sound(c);
             c.Write("work_unit.sah", Header("wu"));
             c.Write("state.sah", "ncfft=1\ncr=1\nfl=1\ncpu=10\nprog=0.5\n");
             // Sparse: costs no disk, reads as zeros past the values.
             std::filesystem::resize_file(c.Path("state.sah"), std::uintmax_t{1} << 30);
         }},
        {"EveryByteValueInEveryFile",
         [](TempDir& c) {
             for (const char* file : {"version.sah", "user_info.sah", "work_unit.sah", "state.sah",
                                      "outfile.sah", "result.sah"})
                 c.Write(file, Garbage());
         }},
    };
    return cases;
}

class HostileFiles : public ::testing::TestWithParam<Hostile> {
protected:
    HostileFiles()
        : programEnv_("SKYVANE_PROGRAM_DIR", program_.Path()),
          registryEnv_("SKYVANE_REGISTRY_DIR", program_.Path("registry")),
          runtimeEnv_("SKYVANE_RUNTIME_DIR", program_.Path("runtime")) {
        GetParam().write(client_);
    }

    // Everything under `dir`, relative to it.
    static std::vector<std::string> Tree(const std::string& dir) {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(dir))
            names.push_back(std::filesystem::relative(entry.path(), dir).generic_string());
        std::sort(names.begin(), names.end());
        return names;
    }

    TempDir program_, client_, scratch_;
    ScopedEnv programEnv_, registryEnv_, runtimeEnv_;
};

TEST_P(HostileFiles, StatusShowsWhatItCanAndWritesNothing) {
    const std::vector<std::string> before = Tree(client_.Path());

    const testsupport::CliRun run =
        testsupport::RunCli("status --client-dir " + client_.Path(), scratch_.Path("err.txt"));

    EXPECT_EQ(run.status, 0) << scratch_.Read("err.txt");
    ASSERT_FALSE(run.out.empty());
    EXPECT_EQ(run.out.front(), '{');
    EXPECT_EQ(run.out.substr(run.out.size() - 2), "}\n");
    // A value is shown cut to what its label holds, not as read.
    EXPECT_LT(run.out.size(), 64u * 1024) << run.out.substr(0, 2000);
    EXPECT_EQ(Tree(client_.Path()), before);
    EXPECT_TRUE(std::filesystem::is_empty(program_.Path()));
}

TEST_P(HostileFiles, ThePollArchivesOnlyIntoItsOwnFolder) {
    platform::NativePlatform native;
    testsupport::RecordingView view;
    testsupport::ScriptedDialogs dialogs;
    {
        monitor::Monitor monitor(view, dialogs, native.services());
        monitor.OpenClientDirectory(client_.Path(), {});
        for (int tick = 0; tick < 3; ++tick) {
            monitor.Timer1Timer();
            monitor.Timer2Timer();
        }
        view.SelectSelectorItem(1);
        monitor.WUComboBoxChange(1);
    }
    // What the program keeps: its counter, its archive, the registry and
    // runtime stand-ins of this test; nothing named after the work unit.
    for (const std::string& name : Tree(program_.Path())) {
        const bool known = name == "lastnum.mon" || name == "old" || name.rfind("old/seti", 0) == 0 ||
                           name.rfind("registry", 0) == 0 || name.rfind("runtime", 0) == 0;
        EXPECT_TRUE(known) << name;
    }
    // A finished result is archived whole, whatever its name says.
    if (GetParam().archived) {
        EXPECT_EQ(program_.Read("old/seti1.txt"), client_.Read("result.sah"));
    }
    // Each box once per reading at most, not one per byte of damage.
    EXPECT_LT(dialogs.errors.size() + dialogs.warnings.size() + dialogs.informations.size(), 20u);
}

INSTANTIATE_TEST_SUITE_P(Cases, HostileFiles, ::testing::ValuesIn(Cases()),
                         [](const auto& test) { return std::string(test.param.name); });

}  // namespace
