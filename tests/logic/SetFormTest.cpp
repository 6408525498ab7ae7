// The settings dialog's logic and the start-up words that drive the client,
// through the main window's logic on temp directories. Processes, windows
// and start-up values are the recording fakes; files, settings and the
// registry are real.

#include <gtest/gtest.h>

#include "history/SettingsRecord.h"
#include "monitor/Monitor.h"
#include "platform/Platform.h"
#include "sample/SampleClientFiles.h"
#include "setup/SetForm.h"
#include "support/ClientFakes.h"
#include "support/FakeClock.h"
#include "support/RecordingView.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

using testsupport::kTextExe;
using testsupport::TempDir;
using views::SetCheck;

namespace {

class SetFormTest : public ::testing::Test {
protected:
    SetFormTest() {
        sample::WriteSampleClientDir(client_.Path());
        history::TSettingsRec settings;
        settings.ClientPath = client_.Path();
        settings_ = settings;
    }

    void AddExe(const TempDir& dir, const std::string& name) {
        dir.Write(name, "program");
        processes_.launchable.insert(dir.Path(name));
    }

    monitor::StartupResult Start(std::vector<std::string> args = {}) {
        // The first start's settings; later starts read what was saved.
        if (!program_.Exists("Skyvane.set"))
            program_.Write("Skyvane.set", history::EncodeSettingsRecord(settings_));
        auto real = native_.services();
        monitor_ = std::make_unique<monitor::Monitor>(
            view_, dialogs_,
            platform::Services{real.registry, real.files, windows_, shell_, real.environment,
                               processes_, startup_, clock_});
        return monitor_->FormCreate({std::move(args), false});
    }

    history::TSettingsRec Saved() const {
        return history::DecodeSettingsRecord(program_.Read("Skyvane.set"));
    }

    std::string Value(std::string_view subkey, std::string_view name) {
        return startup_.Read(subkey, name).value_or("<none>");
    }

    // Opens the dialog, lets `user` change it, presses OK.
    void OkWith(const std::function<void(testsupport::RecordingSetFormView&)>& user) {
        dialogs_.setFormScript = [&](views::SetFormView&, views::SetFormEvents& events) {
            user(*dialogs_.setForm);
            events.BitBtn1Click(*dialogs_.setForm);
        };
        monitor_->Settings1Click();
    }

    TempDir program_, client_;
    testsupport::ScopedEnv programEnv_{"SKYVANE_PROGRAM_DIR", program_.Path()};
    testsupport::ScopedEnv registryEnv_{"SKYVANE_REGISTRY_DIR", program_.Path("registry")};
    testsupport::ScopedEnv runtimeEnv_{"SKYVANE_RUNTIME_DIR", program_.Path("runtime")};
    platform::NativePlatform native_;
    testsupport::FakeProcesses processes_;
    testsupport::FakeWindows windows_;
    testsupport::FakeShell shell_;
    testsupport::FakeStartupValues startup_;
    testsupport::FakeClock clock_;
    testsupport::RecordingView view_;
    testsupport::ScriptedDialogs dialogs_;
    history::TSettingsRec settings_;
    std::unique_ptr<monitor::Monitor> monitor_;
    const std::string self_ = native_.services().environment.ExecutablePath();
};

TEST_F(SetFormTest, TextClientOffersHiddenStartsAndDialogShowsTheSettings) {
    AddExe(client_, kTextExe);
    settings_.StartInTray = true;
    settings_.NoAlerts = true;
    settings_.PowerFailureOnly = true;
    ASSERT_EQ(Start(), monitor::StartupResult::Hidden);
    monitor_->Settings1Click();
    const auto& form = *dialogs_.setForm;
    EXPECT_EQ(form.radioItems, (std::vector<std::string>{"never", "only after power failures",
                                                         "always", "always + hide client"}));
    EXPECT_EQ(form.radioIndex, setup::kAfterPowerFailures);
    EXPECT_TRUE(form.radioEnabled);
    EXPECT_EQ(form.path, client_.Path());
    EXPECT_TRUE(form.Checked(SetCheck::CheckBox2));
    EXPECT_FALSE(form.Checked(SetCheck::CheckBox1));
    EXPECT_FALSE(form.Checked(SetCheck::CheckBox5));
    // Cancelled: nothing changed.
    EXPECT_FALSE(form.closed);
}

TEST_F(SetFormTest, AlwaysAndRunSkyvaneWriteTheRunValues) {
    AddExe(client_, kTextExe);
    Start();
    OkWith([](auto& form) {
        form.Choose(setup::kAlwaysHidden);
        form.SetChecked(SetCheck::CheckBox1, true);
    });
    EXPECT_TRUE(dialogs_.setForm->closed);
    EXPECT_EQ(Value("Run", "Skyvane"), self_);
    EXPECT_EQ(Value("Run", "seticlient"), self_ + " runclient");
    EXPECT_TRUE(Saved().HideClient);

    // Opened again, the dialog reads the state back.
    OkWith([](auto& form) {
        EXPECT_EQ(form.radioIndex, setup::kAlwaysHidden);
        EXPECT_TRUE(form.Checked(SetCheck::CheckBox1));
        form.Choose(setup::kNever);
        form.SetChecked(SetCheck::CheckBox1, false);
    });
    EXPECT_EQ(Value("Run", "Skyvane"), "<none>");
    EXPECT_EQ(Value("Run", "seticlient"), "<none>");
    EXPECT_FALSE(Saved().HideClient);
}

TEST_F(SetFormTest, PowerFailureChoiceWritesAndRemovesBothRecoveryValues) {
    AddExe(client_, "SETI@home.exe");
    Start();
    OkWith([](auto& form) { form.Choose(setup::kAfterPowerFailures); });
    EXPECT_EQ(Value("RunServicesOnce", "SkyvaneBak"), self_ + " failure");
    EXPECT_EQ(Value("RunServicesOnce", "SAHBak"), client_.Path("SETI@home.exe") + " -min");
    EXPECT_TRUE(Saved().PowerFailureOnly);

    // "E&xit" leaves no recovery values behind.
    monitor_->Exit1Click();
    EXPECT_TRUE(startup_.values.empty());

    // The next start arms them again; "never" removes them.
    Start();
    EXPECT_EQ(Value("RunServicesOnce", "SkyvaneBak"), self_ + " failure");
    OkWith([](auto& form) { form.Choose(setup::kNever); });
    EXPECT_TRUE(startup_.values.empty());
    EXPECT_FALSE(Saved().PowerFailureOnly);
}

TEST_F(SetFormTest, WindowedClientShowsAlwaysEvenWithHideClientLeftSet) {
    AddExe(client_, "SETI@home.exe");
    settings_.HideClient = true;
    startup_.Write("Run", "seticlient", "x");
    Start();
    monitor_->Settings1Click();
    EXPECT_EQ(dialogs_.setForm->radioItems.size(), 3u);
    EXPECT_EQ(dialogs_.setForm->radioIndex, setup::kAlways);
}

TEST_F(SetFormTest, WithoutAClientTheChoiceIsFrozenAndTheValuesStay) {
    startup_.Write("Run", "seticlient", "kept");
    Start();
    OkWith([](auto& form) {
        EXPECT_FALSE(form.radioEnabled);
        form.Choose(setup::kNever);
    });
    EXPECT_EQ(Value("Run", "seticlient"), "kept");
}

TEST_F(SetFormTest, BadPathIsRefusedAndNothingChanges) {
    AddExe(client_, kTextExe);
    Start();
    TempDir empty;
    OkWith([&](auto& form) {
        form.path = empty.Path();
        form.Choose(setup::kAlways);
    });
    EXPECT_EQ(dialogs_.errors,
              std::vector<std::string>{"SETI@home client was not found at specified path."});
    EXPECT_FALSE(dialogs_.setForm->closed);
    EXPECT_EQ(Value("Run", "seticlient"), "<none>");
    OkWith([&](auto& form) { form.path = ""; });
    EXPECT_EQ(dialogs_.errors.size(), 2u);
}

TEST_F(SetFormTest, NewPathWithoutSeparatorIsStoredWithOneAndTheClientLookedForThere) {
    AddExe(client_, kTextExe);
    Start();
    TempDir other;
    sample::WriteSampleClientDir(other.Path());
    AddExe(other, "SETI@home.exe");
    std::string typed = other.Path();
    typed.pop_back();
    OkWith([&](auto& form) { form.path = typed; });
    EXPECT_EQ(monitor_->ClientPath(), other.Path());
    EXPECT_EQ(Saved().ClientPath, other.Path());
    EXPECT_EQ(monitor_->Client().Kind(), client::ClientKind::Graphical);
    EXPECT_EQ(monitor_->Client().ClientPath(), other.Path());
}

// ------------------------------------------------------- start-up words

TEST_F(SetFormTest, RunclientStartsTheClientAndEndsWithoutAWindow) {
    AddExe(client_, kTextExe);
    settings_.ClientParams = "-proxy p:1";
    settings_.HideClient = true;
    EXPECT_EQ(Start({"runclient"}), monitor::StartupResult::Terminate);
    ASSERT_EQ(processes_.launches.size(), 1u);
    EXPECT_EQ(processes_.launches[0].commandLine,
              client_.Path(kTextExe) + " -stop_after_process -proxy p:1");
    EXPECT_EQ(processes_.launches[0].show, platform::ShowMode::Hidden);
    EXPECT_FALSE(program_.Exists("lastnum.mon"));
}

class RepairTest : public SetFormTest {
protected:
    void SetUp() override {
        AddExe(client_, "SETI@home.exe");
        client_.Write("config.bin", std::string(680, '\0'));
        client_.MakeDir("temp123");
        auto key = native_.services().registry.OpenKey(
            platform::RegRoot::LocalMachine, "Software\\SETI@home\\", platform::RegAccess::Write);
        key->WriteString("ClientDir", client_.Path("TEMP123"));
    }
    std::string ClientDir(platform::RegRoot root) {
        auto key = native_.services().registry.OpenKey(root, "Software\\SETI@home\\",
                                                       platform::RegAccess::Read);
        return key ? key->ReadString("ClientDir").value_or("") : "";
    }
    std::string Real() const { return client_.Path().substr(0, client_.Path().size() - 1); }
};

TEST_F(RepairTest, PendingConnectIsRepairedAtStartUp) {
    settings_.ConnectPending = true;
    Start();
    EXPECT_EQ(ClientDir(platform::RegRoot::LocalMachine), Real());
    EXPECT_EQ(ClientDir(platform::RegRoot::CurrentUser), Real());
    EXPECT_EQ(client_.Read("config.bin")[16], '\1');
    EXPECT_TRUE(Saved().ConnectPending);  // stays until a refresh completes
    EXPECT_EQ(monitor_->ClientPath(), client_.Path());
}

TEST_F(RepairTest, RepairWordsRepairFirstOrAfterFailure) {
    Start({"fixpath"});
    EXPECT_EQ(ClientDir(platform::RegRoot::LocalMachine), Real());
    monitor_.reset();
    SetUp();
    Start({"failure", "fixconnect"});
    EXPECT_EQ(ClientDir(platform::RegRoot::LocalMachine), Real());
}

TEST_F(RepairTest, NothingIsRepairedWithoutAReason) {
    Start({"failure"});
    EXPECT_EQ(ClientDir(platform::RegRoot::LocalMachine), client_.Path("TEMP123"));
    EXPECT_EQ(client_.Read("config.bin")[16], '\0');
}

}  // namespace
