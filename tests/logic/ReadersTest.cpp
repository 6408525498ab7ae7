#include "clientfiles/Readers.h"

#include <gtest/gtest.h>

#include <string>

#include "clientfiles/ClientDir.h"
#include "platform/Platform.h"
#include "sample/SampleClientFiles.h"
#include "support/RecordingView.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

using clientfiles::ReadOutcome;
using clientfiles::SelectorView;
using views::Control;

namespace {

const std::string kCorrupt =
    "\" not found in one of SETI@home files. The file seems to be corrupt.";

class ClientReading : public ::testing::Test {
protected:
    ClientReading() { env.clientPath = dir.Path(); }

    ReadOutcome ReadHeader(const std::string& bytes, bool withVersion = true) {
        dir.Write("work_unit.sah", bytes);
        if (withVersion) dir.Write("version.sah", sample::VersionFile(3, 3));
        return readers.ReadWorkUnitHeader(dir.Path("work_unit.sah"), env);
    }
    ReadOutcome ReadHeader(const sample::WorkUnitFields& unit) {
        return ReadHeader(sample::WorkUnitFile(unit));
    }
    ReadOutcome ReadUser(const std::string& bytes) {
        dir.Write("user_info.sah", bytes);
        return readers.ReadUserInfo(env);
    }
    ReadOutcome ReadUser(const sample::UserFields& user) {
        return ReadUser(sample::UserInfoFile(user));
    }

    testsupport::TempDir dir;
    platform::NativePlatform native;
    testsupport::RecordingView view;
    testsupport::ScriptedDialogs dialogs;
    clientfiles::ReadingGate gate{dialogs};
    clientfiles::ClientFigures figures;
    clientfiles::ClientReaders readers{native.services().files, gate, view, figures};
    clientfiles::ReaderEnvironment env;
};

TEST_F(ClientReading, HeaderFillsTheWorkUnitPanel) {
    EXPECT_EQ(ReadHeader(sample::WorkUnitFields{}), ReadOutcome::Completed);
    EXPECT_EQ(view.Text(Control::SkyPosLabel), "7:30' 00'' RA, +21\u00BA15' 00'' Dec");
    EXPECT_EQ(view.Hint(Control::SkyPosLabel), "Angle range = 0.4 deg.");
    EXPECT_EQ(view.Text(Control::DateLabel), "Mon Mar 12 20:32:56 2001");
    EXPECT_EQ(view.Text(Control::BaseFreqLabel), "1.418741455 GHz");
    EXPECT_EQ(view.Text(Control::TelescopeLabel), "Arecibo Radio Telescope");
    EXPECT_EQ(view.Text(Control::SAHVerLabel), "S@H ver. 3.03");
    EXPECT_EQ(view.Text(Control::BestGaussianLabel), "none");  // 0.4 deg: about 0.003725 deg/s
    EXPECT_EQ(figures.WorkUnitName, "12mr01aa.31054.4098.683214.82");
    EXPECT_DOUBLE_EQ(figures.TimeRecorded, 2451981.3562);
    EXPECT_DOUBLE_EQ(figures.WorkUnitSeconds, 107.3741824);
    EXPECT_NEAR(figures.TelescopeRate, 0.003725, 1e-6);
    EXPECT_EQ(figures.NaturalZoom, 2);
    EXPECT_TRUE(dialogs.errors.empty());
}

TEST_F(ClientReading, SkyPositionOfSouthernAndEquatorialDeclinations) {
    // The sign stands once in front; minutes and seconds are magnitudes.
    ReadHeader(sample::WorkUnitFields{.startDec = -0.3, .endDec = -0.7});
    EXPECT_EQ(view.Text(Control::SkyPosLabel), "7:30' 00'' RA, -00\u00BA30' 00'' Dec");
    ReadHeader(sample::WorkUnitFields{.startRa = 0, .startDec = -21.5, .endRa = 0, .endDec = 21.5});
    EXPECT_EQ(view.Text(Control::SkyPosLabel), "0:00' 00'' RA, 00\u00BA00' 00'' Dec");
}

TEST_F(ClientReading, TelescopeSpeedAndReceiver) {
    ReadHeader(sample::WorkUnitFields{.angleRange = 0.2, .receiver = "gbt800"});
    EXPECT_EQ(view.Text(Control::BestGaussianLabel), "The telescope is moving too slowly.");
    EXPECT_EQ(view.Text(Control::TelescopeLabel), "gbt800");
    ReadHeader(sample::WorkUnitFields{.angleRange = 1.2});
    EXPECT_EQ(view.Text(Control::BestGaussianLabel), "The telescope is moving too quickly.");
    // The limits themselves: 0.21 and 1.05 degrees over 100 seconds give
    // exactly 0.0021 (still too slow) and 0.0105 (already too quick).
    struct Limit {
        double angleRange;
        const char* label;
    };
    for (const Limit& limit :
         {Limit{0.21, "The telescope is moving too slowly."}, Limit{0.211, "none"},
          Limit{1.049, "none"}, Limit{1.05, "The telescope is moving too quickly."}}) {
        ReadHeader(sample::WorkUnitFields{
            .angleRange = limit.angleRange, .subbandSampleRate = 10000, .nsamples = 1000000});
        EXPECT_EQ(view.Text(Control::BestGaussianLabel), limit.label) << limit.angleRange;
    }
    // A gaussian already on screen keeps its label.
    env.shownGaussian = 1.5;
    ReadHeader(sample::WorkUnitFields{.angleRange = 0.4});
    EXPECT_EQ(view.Text(Control::BestGaussianLabel), "The telescope is moving too quickly.");
}

TEST_F(ClientReading, ClientVersionAndTheZoomItCallsFor) {
    const std::string header = sample::WorkUnitFile();
    dir.Write("work_unit.sah", header);
    EXPECT_EQ(readers.ReadWorkUnitHeader(dir.Path("work_unit.sah"), env), ReadOutcome::Completed);
    EXPECT_EQ(view.Text(Control::SAHVerLabel), "S@H ver. 1.xx");  // no version.sah
    EXPECT_EQ(figures.ClientVersion, 0);
    EXPECT_EQ(figures.NaturalZoom, 0);

    struct Case {
        int major, minor;
        const char* label;
        int zoom;
    };
    for (const Case& c : {Case{3, 8, "S@H ver. 3.08", 2}, Case{2, 70, "S@H ver. 2.70", 0},
                          Case{3, 1, "S@H ver. 3.01", 1}, Case{3, 2, "S@H ver. 3.02", 2}}) {
        dir.Write("version.sah", sample::VersionFile(c.major, c.minor));
        ReadHeader(header, false);
        EXPECT_EQ(view.Text(Control::SAHVerLabel), c.label);
        EXPECT_EQ(figures.NaturalZoom, c.zoom) << c.label;
    }
    EXPECT_DOUBLE_EQ(figures.ClientVersion, 3.02);

    // Lines ended by CR LF leave no second line: the whole header stops.
    dir.Write("version.sah", "major_version=3\r\nminor_version=3\r\n");
    figures.WorkUnitName.clear();
    EXPECT_EQ(ReadHeader(header, false), ReadOutcome::Aborted);
    EXPECT_EQ(figures.WorkUnitName, "");
    EXPECT_TRUE(dialogs.errors.empty());
}

TEST_F(ClientReading, ArchivedResultCarriesItsOwnVersionAndKeepsTheLiveDate) {
    env.liveMode = false;
    env.selector = SelectorView::Archived;
    figures.TimeRecorded = 1;
    ReadHeader("major_version=2\nminor_version=70\n" + sample::WorkUnitFile(), false);
    EXPECT_EQ(view.Text(Control::SAHVerLabel), "S@H ver. 2.70");
    EXPECT_EQ(figures.NaturalZoom, 0);
    EXPECT_EQ(figures.TimeRecorded, 1);
    EXPECT_EQ(view.Text(Control::DateLabel), "Mon Mar 12 20:32:56 2001");

    ReadHeader("ver=1\n" + sample::WorkUnitFile(), false);
    EXPECT_EQ(view.Text(Control::SAHVerLabel), "S@H ver. 1.xx");

    env.selector = SelectorView::Total;
    figures.NaturalZoom = 0;
    ReadHeader("major_version=2\nminor_version=70\n" + sample::WorkUnitFile(), false);
    EXPECT_EQ(figures.NaturalZoom, 2);
    EXPECT_EQ(view.Text(Control::SAHVerLabel), "S@H ver. 1.xx");  // untouched
}

TEST_F(ClientReading, TruncatedHeaderShowsTheMessageAndKeepsWhatWasRead) {
    const std::string header = sample::WorkUnitFile();
    EXPECT_EQ(ReadHeader(header.substr(0, header.find("subband_base"))), ReadOutcome::Aborted);
    ASSERT_EQ(dialogs.errors.size(), 1u);
    EXPECT_EQ(dialogs.errors[0], "Line \"subband_base" + kCorrupt);
    EXPECT_EQ(view.Text(Control::DateLabel), "Mon Mar 12 20:32:56 2001");
    EXPECT_EQ(view.State(Control::BaseFreqLabel).textWrites, 0);

    // No time_recorded line at all: the reading stops without a message.
    EXPECT_EQ(ReadHeader(header.substr(0, header.find("time_recorded"))), ReadOutcome::Aborted);
    EXPECT_EQ(dialogs.errors.size(), 1u);
    // A zero sample rate stops it silently too.
    figures.WorkUnitSeconds = 5;
    EXPECT_EQ(ReadHeader(sample::WorkUnitFields{.subbandSampleRate = 0}), ReadOutcome::Aborted);
    EXPECT_EQ(figures.WorkUnitSeconds, 5);

    EXPECT_EQ(ReadHeader(""), ReadOutcome::NoFile);
    EXPECT_EQ(readers.ReadWorkUnitHeader(dir.Path("result.sah"), env), ReadOutcome::NoFile);
}

TEST_F(ClientReading, ReadingsAreRefusedWhileAMessageIsOpen) {
    ReadOutcome duringMessage = ReadOutcome::Completed;
    dialogs.whileOpen = [&] {
        dir.Write("user_info.sah", sample::UserInfoFile());
        duringMessage = readers.ReadUserInfo(env);
    };
    EXPECT_EQ(ReadHeader("type=work unit\n"), ReadOutcome::Aborted);
    EXPECT_EQ(duringMessage, ReadOutcome::Refused);
    EXPECT_EQ(view.State(Control::EMailLabel).textWrites, 0);
    dialogs.whileOpen = nullptr;
    EXPECT_EQ(readers.ReadUserInfo(env), ReadOutcome::Completed);
}

TEST_F(ClientReading, UserFileFillsTheUserAndTotalsPanels) {
    env.archiveCount = 17;
    EXPECT_EQ(ReadUser(sample::UserFields{.name = "Jos\xE9"}), ReadOutcome::Completed);
    EXPECT_EQ(view.Text(Control::EMailLabel), "ann.lovell@example.org");
    EXPECT_EQ(view.Text(Control::UserNameLabel), "Jos\u00E9");
    EXPECT_EQ(view.Text(Control::CountryLabel), "Netherlands");
    EXPECT_EQ(view.Text(Control::RegisterLabel), "Wed Jul 28 02:30:12 1999");
    EXPECT_EQ(view.Text(Control::TotalWULabel), "298");
    EXPECT_EQ(view.Text(Control::RecordedWULabel), "17");
    EXPECT_EQ(view.Text(Control::AllTimeLabel), "37 days");      // 3218765 s
    EXPECT_EQ(view.Text(Control::AverageTimeLabel), "3:00:01");  // 10801.2 s
    EXPECT_TRUE(figures.PulsesEnabled);
    EXPECT_TRUE(view.Enabled(Control::ShowTripletsMenu));
    EXPECT_TRUE(view.Enabled(Control::ShowPulsesMenu));
}

TEST_F(ClientReading, TotalAndAverageTimes) {
    struct Case {
        double totalCpu;
        std::int64_t results;
        const char* allTime;
        const char* average;
    };
    env.decimalSeparator = ',';
    for (const Case& c :
         {Case{3725, 1, "1:02:05", "1:02:05"}, Case{864001, 0, "10 days", "Unknown"},
          Case{63115200, 2, "2 years", "8766:00:00"}, Case{47336400, 1, "1,5 years", "13149:00:00"},
          Case{10, 4, "0:00:10", "0:00:02"}, Case{14, 4, "0:00:14", "0:00:04"},
          // exactly ten days and exactly a year are not yet beyond them
          Case{864000, 1, "240:00:00", "240:00:00"}, Case{31557600, 1, "365 days", "8766:00:00"}}) {
        ReadUser(sample::UserFields{.nresults = c.results, .totalCpu = c.totalCpu});
        EXPECT_EQ(view.Text(Control::AllTimeLabel), c.allTime);
        EXPECT_EQ(view.Text(Control::AverageTimeLabel), c.average) << c.totalCpu;
    }
    std::string text = sample::UserInfoFile();
    text.replace(text.find("nresults=298"), 12, "nresults=n/a");
    ReadUser(text);
    EXPECT_EQ(view.Text(Control::TotalWULabel), "n/a");
    EXPECT_EQ(view.Text(Control::AverageTimeLabel), "Unknown");
}

TEST_F(ClientReading, EmptyUserFileShowsTheMessageForTheEqualsSign) {
    EXPECT_EQ(ReadUser(""), ReadOutcome::Aborted);
    ASSERT_EQ(dialogs.errors.size(), 1u);
    EXPECT_EQ(dialogs.errors[0], "String \"=" + kCorrupt);
    EXPECT_EQ(view.State(Control::EMailLabel).textWrites, 0);
    EXPECT_FALSE(figures.PulsesEnabled);

    env.clientFileExt = ".txt";  // user_info.txt does not exist
    EXPECT_EQ(readers.ReadUserInfo(env), ReadOutcome::NoFile);
}

TEST_F(ClientReading, ClientDirectoryMarkersAndExtension) {
    auto& files = native.services().files;
    const std::string separator(1, platform::PathSeparator());
    EXPECT_EQ(clientfiles::WithTrailingSeparator("x" + separator + "b"),
              "x" + separator + "b" + separator);
    EXPECT_EQ(clientfiles::WithTrailingSeparator("x" + separator), "x" + separator);
    EXPECT_EQ(clientfiles::WithTrailingSeparator(""), "");
    EXPECT_FALSE(clientfiles::IsClientDirectory(files, dir.Path()));
    dir.Write("user_info.txt", "");
    EXPECT_TRUE(clientfiles::IsClientDirectory(files, dir.Path()));
    EXPECT_EQ(clientfiles::DecideClientFileExt(files, dir.Path()), ".txt");
    dir.Write("user_info.sah", "");
    EXPECT_EQ(clientfiles::DecideClientFileExt(files, dir.Path()), ".sah");
}

}  // namespace
