// Client control against recording fakes of processes, windows, shell and
// clock, on a real temp directory and the real registry backend.

#include <gtest/gtest.h>

#include "client/ClientControl.h"
#include "client/StartupRegistration.h"
#include "platform/Platform.h"
#include "support/ClientFakes.h"
#include "support/CountingFiles.h"
#include "support/FakeClock.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

using client::ClientControl;
using client::ClientKind;
using namespace std::chrono_literals;
using platform::RegAccess;
using platform::RegRoot;
using testsupport::kTextExe;
using testsupport::TempDir;

namespace {

class ClientControlTest : public ::testing::Test {
protected:
    ClientControlTest() {
        windows_.processes = &processes_.processes;
        client_.SetClientPath(dir_.Path());
    }

    platform::Services Services() {
        auto real = native_.services();
        return platform::Services{real.registry,    real.files, windows_, shell_,
                                  real.environment, processes_, startup_, clock_};
    }

    // An executable file in the client directory that the fakes can start.
    void AddExe(const std::string& name, platform::ExeType type = platform::ExeType::Unknown) {
        dir_.Write(name, "program");
        processes_.launchable.insert(dir_.Path(name));
        if (type != platform::ExeType::Unknown) shell_.exeTypes[dir_.Path(name)] = type;
    }

    std::string ReadClientDir(RegRoot root) {
        auto key =
            native_.services().registry.OpenKey(root, client::kClientRegistryKey, RegAccess::Read);
        return key ? key->ReadString(client::kClientDirValue).value_or("") : "<no key>";
    }
    void WriteClientDir(RegRoot root, const std::string& value) {
        native_.services()
            .registry.OpenKey(root, client::kClientRegistryKey, RegAccess::Write)
            ->WriteString(client::kClientDirValue, value);
    }

    TempDir dir_, home_;
    testsupport::ScopedEnv registryEnv_{"SKYVANE_REGISTRY_DIR", home_.Path("registry")};
    platform::NativePlatform native_;
    testsupport::FakeProcesses processes_;
    testsupport::FakeWindows windows_;
    testsupport::FakeShell shell_;
    testsupport::FakeStartupValues startup_;
    testsupport::FakeClock clock_;
    testsupport::ScriptedDialogs dialogs_;
    history::TSettingsRec settings_;
    ClientControl client_{Services(), dialogs_, settings_};
};

const char Sep = platform::PathSeparator();

// ------------------------------------------------------------- FindClient

TEST_F(ClientControlTest, WindowedClientWinsOverATextClientInTheSameDirectory) {
    AddExe(kTextExe);
    AddExe("SETI@home.exe");
    client_.FindClient();
    EXPECT_EQ(client_.Kind(), ClientKind::Graphical);
    EXPECT_EQ(client_.ClientExeName(), "SETI@home.exe");
    EXPECT_EQ(client_.StopSwitch(), "");
}

TEST_F(ClientControlTest, ExecutableTypeDecidesTheKindAndTheNameOnlyWhenItCannotTell) {
    // A console program named like the windowed client is a text client.
    AddExe("SETI@home.exe", platform::ExeType::Console);
    client_.FindClient();
    EXPECT_EQ(client_.Kind(), ClientKind::Text);
    EXPECT_EQ(client_.StopSwitch(), "-stop_after_process");

    // Unknown type (Linux): the name decides.
    shell_.exeTypes.clear();
    client_.FindClient();
    EXPECT_EQ(client_.Kind(), ClientKind::Graphical);

    // A text client's name with a windowed type is windowed.
    TempDir other;
    other.Write(kTextExe, "program");
    processes_.launchable.insert(other.Path(kTextExe));
    shell_.exeTypes[other.Path(kTextExe)] = platform::ExeType::Windowed;
    client_.SetClientPath(other.Path());
    client_.FindClient();
    EXPECT_EQ(client_.Kind(), ClientKind::Graphical);
    EXPECT_EQ(client_.ClientExeName(), kTextExe);
}

TEST_F(ClientControlTest, NoExecutableMeansNoneAndKeepsTheStopSwitch) {
    AddExe(kTextExe);
    client_.FindClient();
    client_.SetStopMode(false);
    // A file that matches the pattern but cannot be started does not count.
    TempDir other;
    other.Write(kTextExe, "not a program");
    client_.SetClientPath(other.Path());
    client_.FindClient();
    EXPECT_EQ(client_.Kind(), ClientKind::None);
    EXPECT_EQ(client_.ClientExeName(), "");
    EXPECT_EQ(client_.StopSwitch(), "-stop_after_xfer");
    // Nothing starts or stops.
    EXPECT_TRUE(client_.StartClient());
    EXPECT_TRUE(client_.StopClient());
    EXPECT_TRUE(processes_.launches.empty());
    EXPECT_FALSE(client_.WriteClientDirToRegistry(other.Path()));
}

// ------------------------------------------------------------ StartClient

TEST_F(ClientControlTest, TextClientStartsWithItsStopSwitchAndATrailingBlank) {
    AddExe(kTextExe);
    client_.FindClient();
    ASSERT_TRUE(client_.StartClient());
    ASSERT_EQ(processes_.launches.size(), 1u);
    EXPECT_EQ(processes_.launches[0].commandLine, dir_.Path(kTextExe) + " -stop_after_process ");
    EXPECT_EQ(processes_.launches[0].directory, dir_.Path());
    EXPECT_EQ(processes_.launches[0].show, platform::ShowMode::Normal);

    settings_.ClientParams = "-proxy host:8080";
    settings_.HideClient = true;
    client_.SetStopMode(false);
    client_.StartClient();
    EXPECT_EQ(processes_.launches[1].commandLine,
              dir_.Path(kTextExe) + " -stop_after_xfer -proxy host:8080");
    EXPECT_EQ(processes_.launches[1].show, platform::ShowMode::Hidden);
}

TEST_F(ClientControlTest, WindowedClientStartsMinimisedEvenWhenHidden) {
    AddExe("SETI@home.exe");
    client_.FindClient();
    settings_.HideClient = true;
    settings_.ClientParams = "ignored";
    client_.StartClient();
    ASSERT_EQ(processes_.launches.size(), 1u);
    EXPECT_EQ(processes_.launches[0].commandLine, dir_.Path("SETI@home.exe") + " -min");
    EXPECT_EQ(processes_.launches[0].show, platform::ShowMode::Hidden);
    EXPECT_TRUE(shell_.opened.empty());
}

TEST_F(ClientControlTest, InTheScratchDirectoryTheExecutableComesFromTheSavedOne) {
    AddExe(kTextExe);
    client_.FindClient();
    dir_.MakeDir("temp123");
    client_.SetSavedClientPath(dir_.Path());
    client_.SetClientPath(dir_.Path("temp123") + Sep);
    client_.StartClient();
    ASSERT_EQ(processes_.launches.size(), 1u);
    EXPECT_EQ(processes_.launches[0].commandLine, dir_.Path(kTextExe) + " -stop_after_process ");
    EXPECT_EQ(processes_.launches[0].directory, dir_.Path("temp123") + Sep);
}

TEST_F(ClientControlTest, MissingExecutableLaunchesNothingSilently) {
    AddExe(kTextExe);
    client_.FindClient();
    processes_.launchable.clear();
    EXPECT_TRUE(client_.StartClient());
    EXPECT_TRUE(processes_.launches.empty());
    EXPECT_TRUE(dialogs_.errors.empty());
}

TEST_F(ClientControlTest, MissingClientDirectoryIsReportedAndNothingStarts) {
    AddExe(kTextExe);
    client_.FindClient();
    client_.SetClientPath(dir_.Path("gone") + Sep);
    EXPECT_FALSE(client_.StartClient());
    EXPECT_TRUE(processes_.launches.empty());
    EXPECT_EQ(dialogs_.errors.size(), 1u);
}

TEST_F(ClientControlTest, ClientsScreenSaverStartsAfterTheWindowedClient) {
    AddExe("SETI@home.exe");
    client_.FindClient();
    shell_.screenSaver = "C:\\WINDOWS\\SYSTEM\\setihome.scr";
    client_.StartClient();
    ASSERT_EQ(shell_.opened.size(), 1u);
    EXPECT_EQ(shell_.opened[0], "C:\\WINDOWS\\SYSTEM\\setihome.scr");
    EXPECT_EQ(clock_.sleeps, std::vector<std::chrono::milliseconds>{200ms});

    shell_.opened.clear();
    shell_.screenSaver = "C:\\WINDOWS\\SYSTEM\\other.scr";
    client_.StartClient();
    EXPECT_TRUE(shell_.opened.empty());
}

// ------------------------------------------------------------ IsClientWindow

TEST(IsClientWindow, ConsoleWindowsNeedAClientNameOtherWindowsAVersion3Name) {
    const auto window = [](std::string c, std::string t) {
        return platform::WindowInfo{1, std::move(c), std::move(t)};
    };
    EXPECT_TRUE(client::IsClientWindow(window("tty", "setiathome-303i386")));
    EXPECT_TRUE(client::IsClientWindow(window("ConsoleWindowClass", "C:\\SETI@home\\x.exe")));
    EXPECT_TRUE(client::IsClientWindow(window("CONSOLEWINDOWCLASS", "setiathome")));
    EXPECT_FALSE(client::IsClientWindow(window("TTY", "setiathome")));  // class is exact
    EXPECT_FALSE(client::IsClientWindow(window("tty", "SETIATHOME")));  // title is exact
    EXPECT_TRUE(client::IsClientWindow(window("Notepad", "setiathome-3.03.txt - Notepad")));
    EXPECT_FALSE(client::IsClientWindow(window("Notepad", "setiathome notes - Notepad")));
    EXPECT_FALSE(client::IsClientWindow(window("Notepad", "SETI@home - Notepad")));
}

TEST(StripDots, RemovesEveryDot) {
    EXPECT_EQ(client::StripDots("setiathome-3.03.i386-winnt-cmdline"),
              "setiathome-303i386-winnt-cmdline");
    EXPECT_EQ(client::StripDots("..."), "");
    EXPECT_EQ(client::StripDots(""), "");
}

// ------------------------------------------------------------- StopClient

TEST_F(ClientControlTest, TextClientIsFoundByItsConsoleTitleAndEnded) {
    AddExe("setiathome-3.03.i386-winnt-cmdline.exe");
    client_.FindClient();
    ASSERT_EQ(client_.Kind(), ClientKind::Text);
    processes_.processes[42] = {};
    windows_.Add("Notepad", "setiathome-3 notes", 7);
    windows_.Add("tty", "setiathome-303i386-winnt-cmdline", 42);

    EXPECT_TRUE(client_.StopClient());
    EXPECT_EQ(processes_.processes[42].terminated, 1);
    EXPECT_EQ(processes_.processes[42].killed, 0);
    EXPECT_TRUE(windows_.EnumerateWindows().size() == 1);  // the editor stays
    EXPECT_EQ(clock_.sleeps.back(), 400ms);
    EXPECT_TRUE(dialogs_.errors.empty());
}

TEST_F(ClientControlTest, TextClientWithoutAWindowIsFoundByItsExecutable) {
    AddExe(kTextExe);
    client_.FindClient();
    processes_.processes[77] = {};
    processes_.byExecutable[dir_.Path(kTextExe)] = {77};
    EXPECT_EQ(client_.FindRunningClient(), 77u);
    EXPECT_TRUE(client_.StopClient());
    EXPECT_FALSE(processes_.processes[77].running);
    EXPECT_EQ(client_.FindRunningClient(), std::nullopt);
}

TEST_F(ClientControlTest, ClientThatIgnoresTheRequestIsKilledAfterFiveSeconds) {
    AddExe(kTextExe);
    client_.FindClient();
    processes_.processes[77].endsOnTerminate = false;
    processes_.byExecutable[dir_.Path(kTextExe)] = {77};
    const auto start = clock_.now;
    EXPECT_TRUE(client_.StopClient());
    EXPECT_EQ(processes_.processes[77].killed, 1);
    EXPECT_GE(clock_.now - start, 5000ms);
    EXPECT_LT(clock_.now - start, 6000ms);
}

TEST_F(ClientControlTest, ClientThatNeverGoesIsGivenUpAfterThirtySecondsWithAMessage) {
    AddExe(kTextExe);
    client_.FindClient();
    processes_.processes[77].endsOnTerminate = false;
    processes_.processes[77].endsOnKill = false;
    processes_.byExecutable[dir_.Path(kTextExe)] = {77};
    const auto start = clock_.now;
    EXPECT_FALSE(client_.StopClient());
    EXPECT_EQ(dialogs_.errors,
              std::vector<std::string>{"The SETI@home client could not be stopped."});
    EXPECT_GE(clock_.now - start, 35s);
    EXPECT_LT(clock_.now - start, 36s);
}

TEST_F(ClientControlTest, ProcessThatCannotBeOpenedStillHasItsWindowWaitedFor) {
    AddExe(kTextExe);
    client_.FindClient();
    processes_.processes[5].mayOpen = false;
    windows_.Add("tty", "setiathome", 5);
    // The window goes after a second, by itself.
    clock_.onSleep = [&, start = clock_.now](std::chrono::milliseconds now) {
        if (now - start >= 1s) processes_.processes[5].running = false;
    };
    EXPECT_TRUE(client_.StopClient());
    EXPECT_EQ(processes_.processes[5].terminated, 0);
    EXPECT_TRUE(dialogs_.errors.empty());
}

TEST_F(ClientControlTest, NoRunningClientMeansNoWait) {
    AddExe(kTextExe);
    client_.FindClient();
    EXPECT_TRUE(client_.StopClient());
    EXPECT_TRUE(clock_.sleeps.empty());
}

TEST_F(ClientControlTest, WindowedClientIsNudgedAndSentDestroy) {
    AddExe("SETI@home.exe");
    client_.FindClient();
    windows_.Add("SetiClientParent", "SETI@Home Client");
    EXPECT_TRUE(client_.StopClient());
    EXPECT_EQ(windows_.calls,
              (std::vector<std::string>{"GetCursor", "ShowCursor 0", "Cursor 0,0", "Cursor 200,200",
                                        "Cursor 640,480", "ShowCursor 1",
                                        "PostDestroy SETI@Home Client"}));
    EXPECT_EQ(clock_.sleeps, (std::vector<std::chrono::milliseconds>{10ms, 20ms, 500ms}));
}

TEST_F(ClientControlTest, WindowedClientThatStaysIsGivenUpWithAMessage) {
    AddExe("SETI@home.exe");
    client_.FindClient();
    windows_.Add("SetiClientParent", "SETI@Home Client");
    windows_.windows[0].closesOnDestroy = false;
    windows_.hasPointer = false;
    EXPECT_FALSE(client_.StopClient());
    EXPECT_EQ(dialogs_.errors.size(), 1u);
    EXPECT_GE(clock_.Slept(), 30s);
}

// ------------------------------------------------- registry, stop mode, config

TEST_F(ClientControlTest, ClientDirGoesToBothRootsWithoutTheTrailingSeparator) {
    AddExe("SETI@home.exe");
    client_.FindClient();
    const std::string scratch = dir_.Path("temp123") + Sep;
    EXPECT_TRUE(client_.WriteClientDirToRegistry(scratch));
    EXPECT_EQ(ReadClientDir(RegRoot::LocalMachine), dir_.Path("temp123"));
    EXPECT_EQ(ReadClientDir(RegRoot::CurrentUser), dir_.Path("temp123"));
    EXPECT_EQ(client_.ClientPath(), scratch);
}

// Refuses every write under HKEY_LOCAL_MACHINE, as for a user without the
// right to change it.
class NoMachineWrites : public platform::Registry {
public:
    explicit NoMachineWrites(platform::Registry& inner) : inner_(inner) {}
    std::unique_ptr<platform::RegistryKey> OpenKey(RegRoot root, std::string_view path,
                                                   RegAccess access) override {
        if (root == RegRoot::LocalMachine && access == RegAccess::Write) return nullptr;
        return inner_.OpenKey(root, path, access);
    }
    bool DeleteKey(RegRoot root, std::string_view path) override {
        return root != RegRoot::LocalMachine && inner_.DeleteKey(root, path);
    }

private:
    platform::Registry& inner_;
};

TEST_F(ClientControlTest, AFailingMachineWriteAloneDoesNotFailTheWrite) {
    AddExe("SETI@home.exe");
    NoMachineWrites registry(native_.services().registry);
    auto services = Services();
    platform::Services limited{registry,         services.files,       services.windows,
                               services.shell,   services.environment, services.processes,
                               services.startup, services.clock};
    ClientControl client(limited, dialogs_, settings_);
    client.SetClientPath(dir_.Path());
    client.FindClient();
    EXPECT_TRUE(client.WriteClientDirToRegistry(dir_.Path()));
    EXPECT_EQ(ReadClientDir(RegRoot::LocalMachine), "<no key>");
    EXPECT_TRUE(dialogs_.errors.empty());
}

TEST_F(ClientControlTest, TextClientNeverTouchesTheRegistry) {
    AddExe(kTextExe);
    client_.FindClient();
    EXPECT_FALSE(client_.WriteClientDirToRegistry(dir_.Path()));
    EXPECT_EQ(ReadClientDir(RegRoot::CurrentUser), "<no key>");
}

TEST_F(ClientControlTest, WindowedClientsStopModeIsTheMarkerFile) {
    AddExe("SETI@home.exe");
    client_.FindClient();
    EXPECT_TRUE(client_.SetStopMode(false));
    EXPECT_EQ(dir_.Read("stop_after_send.txt"), "");
    EXPECT_TRUE(client_.SetStopMode(true));
    EXPECT_FALSE(dir_.Exists("stop_after_send.txt"));
    // Already gone: no retries.
    EXPECT_TRUE(client_.SetStopMode(true));
    EXPECT_TRUE(clock_.sleeps.empty());
}

// Deletes that always fail, as for a file another program holds open.
class UndeletableFiles : public testsupport::CountingFiles {
public:
    using CountingFiles::CountingFiles;
    bool DeleteFile(const std::string&) override { return false; }
};

TEST_F(ClientControlTest, UndeletableFileIsTriedElevenTimesThenReported) {
    dir_.Write("held.wu", "x");
    UndeletableFiles files(native_.services().files);
    EXPECT_FALSE(client::DeleteWithRetry(files, clock_, dialogs_, dir_.Path("held.wu")));
    EXPECT_EQ(clock_.sleeps, std::vector<std::chrono::milliseconds>(10, 500ms));
    EXPECT_EQ(dialogs_.errors, std::vector<std::string>{"Unable to delete" + dir_.Path("held.wu") +
                                                        "\rTerminataing the cache operation."});
}

TEST_F(ClientControlTest, ConfigFlagSetsOneByteAndKeepsExactlyOneRecord) {
    AddExe("SETI@home.exe");
    client_.FindClient();
    std::string record(700, 'x');  // a longer file loses its tail
    dir_.Write("config.bin", record);
    EXPECT_TRUE(client_.SetConfigFlag(0));
    const std::string written = dir_.Read("config.bin");
    ASSERT_EQ(written.size(), 680u);
    EXPECT_EQ(written[16], '\0');
    EXPECT_EQ(written.substr(0, 16), std::string(16, 'x'));
    EXPECT_EQ(written.substr(17), std::string(663, 'x'));
    EXPECT_TRUE(client_.SetConfigFlag(1));
    EXPECT_EQ(dir_.Read("config.bin")[16], '\1');
}

TEST_F(ClientControlTest, ShortOrMissingConfigIsReportedAndNothingWritten) {
    AddExe("SETI@home.exe");
    client_.FindClient();
    EXPECT_FALSE(client_.SetConfigFlag(0));
    EXPECT_FALSE(dir_.Exists("config.bin"));
    dir_.Write("config.bin", std::string(100, 'y'));
    EXPECT_FALSE(client_.SetConfigFlag(0));
    EXPECT_EQ(dir_.Read("config.bin"), std::string(100, 'y'));
    EXPECT_EQ(dialogs_.errors.size(), 2u);
}

// ------------------------------------------------------------- the repair

TEST_F(ClientControlTest, RepairPointsTheClientBackFromTheScratchDirectoryInAnyCase) {
    AddExe("SETI@home.exe");
    dir_.Write("config.bin", std::string(680, '\0'));
    client_.FindClient();
    WriteClientDir(RegRoot::LocalMachine, dir_.Path("TeMp123"));
    client_.RepairInterruptedConnect();
    const std::string real = dir_.Path().substr(0, dir_.Path().size() - 1);
    EXPECT_EQ(ReadClientDir(RegRoot::LocalMachine), real);
    EXPECT_EQ(ReadClientDir(RegRoot::CurrentUser), real);
    EXPECT_EQ(dir_.Read("config.bin")[16], '\1');
    EXPECT_TRUE(dialogs_.errors.empty());
}

TEST_F(ClientControlTest, RepairLeavesAnyOtherDirectoryAlone) {
    AddExe("SETI@home.exe");
    dir_.Write("config.bin", std::string(680, '\0'));
    client_.FindClient();
    WriteClientDir(RegRoot::LocalMachine, dir_.Path("temp1234"));
    client_.RepairInterruptedConnect();
    EXPECT_EQ(ReadClientDir(RegRoot::LocalMachine), dir_.Path("temp1234"));
    EXPECT_EQ(ReadClientDir(RegRoot::CurrentUser), "<no key>");
}

TEST_F(ClientControlTest, RepairWithoutTheClientsKeyReportsIt) {
    AddExe(kTextExe);
    client_.FindClient();
    client_.RepairInterruptedConnect();
    EXPECT_EQ(dialogs_.errors, std::vector<std::string>{"Error accessing the registry."});
}

// ------------------------------------------------------ start-up registration

class StartupRegistrationTest : public ClientControlTest {
protected:
    client::StartupRegistration registration_{startup_, native_.services().environment, client_};
    std::string Value(std::string_view subkey, std::string_view name) {
        return startup_.Read(subkey, name).value_or("<none>");
    }
};

TEST_F(StartupRegistrationTest, RecoveryValuesComeAndGoTogether) {
    AddExe(kTextExe);
    client_.FindClient();
    const std::string self = native_.services().environment.ExecutablePath();
    registration_.RegisterRecovery(true);
    EXPECT_EQ(Value("RunServicesOnce", "SkyvaneBak"), self + " failure");
    EXPECT_EQ(Value("RunServicesOnce", "SAHBak"), self + " runclient");
    registration_.RegisterRecovery(false);
    EXPECT_TRUE(startup_.values.empty());
}

TEST_F(StartupRegistrationTest, RepairWordKeepsTheClientFromStartingByItself) {
    AddExe("SETI@home.exe");
    client_.FindClient();
    const std::string self = native_.services().environment.ExecutablePath();
    registration_.RegisterRecovery(true);
    EXPECT_EQ(Value("RunServicesOnce", "SAHBak"), dir_.Path("SETI@home.exe") + " -min");
    registration_.RegisterRecovery(true, "fixconnect");
    EXPECT_EQ(Value("RunServicesOnce", "SkyvaneBak"), self + " failure fixconnect");
    EXPECT_EQ(Value("RunServicesOnce", "SAHBak"), "<none>");
    registration_.RegisterRecovery(true, "fixpath");
    EXPECT_EQ(Value("RunServicesOnce", "SkyvaneBak"), self + " failure fixpath");
    registration_.RegisterRecovery(true);
    EXPECT_EQ(Value("RunServicesOnce", "SAHBak"), dir_.Path("SETI@home.exe") + " -min");
}

TEST_F(StartupRegistrationTest, WithoutAClientOnlySkyvaneComesBack) {
    client_.FindClient();
    registration_.RegisterRecovery(true);
    EXPECT_NE(Value("RunServicesOnce", "SkyvaneBak"), "<none>");
    EXPECT_EQ(Value("RunServicesOnce", "SAHBak"), "<none>");
}

TEST_F(StartupRegistrationTest, SetRunValueTestsWithoutChangingTheFlagWhenItCannotTell) {
    bool exists = true;
    client::SetRunValue(startup_, client::RunAction::Test, "Skyvane", {}, "Run", exists);
    EXPECT_FALSE(exists);
    client::SetRunValue(startup_, client::RunAction::Write, "Skyvane", "x", "Run", exists);
    client::SetRunValue(startup_, client::RunAction::Test, "SKYVANE", {}, "Run", exists);
    EXPECT_TRUE(exists);
    startup_.broken = true;
    exists = false;
    client::SetRunValue(startup_, client::RunAction::Test, "Skyvane", {}, "Run", exists);
    EXPECT_FALSE(exists);
    client::SetRunValue(startup_, client::RunAction::Delete, "Skyvane", {}, "Run", exists);
}

}  // namespace
