// The signal info window on a real display (run under xvfb-run): opened by
// a click on the main window's graph, stepped, sorted, switched between
// pages and closed, with screenshots of its pages.

#include <gtest/gtest.h>

#include <wx/choice.h>
#include <wx/notebook.h>
#include <wx/scrolbar.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "gui/GuiTestSupport.h"
#include "history/SettingsRecord.h"
#include "inspection/TSignalInfoForm.h"
#include "monitor/TMainForm.h"
#include "platform/Platform.h"
#include "sample/SampleClientFiles.h"
#include "support/TempDir.h"
#include "wxcommon/WxText.h"

namespace {

using guitest::Pump;
using inspection::TSignalInfoForm;
using monitor::TMainForm;

// A bump of samples around `centre` (of 64).
std::vector<std::uint8_t> Bump(double centre, double width, double height) {
    std::vector<std::uint8_t> samples(64);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const double d = (static_cast<double>(i) - centre) / width;
        samples[i] = static_cast<std::uint8_t>(20 + height * std::exp(-d * d));
    }
    return samples;
}

// Signals of every kind: two gaussians on the far left of the graph, where
// a click from the left meets them first, the rest to the right.
std::string SignalLines() {
    std::string lines;
    for (const auto& [power, chirp, freq] : {std::tuple{48.116882, 2.0, 1418745210.227335},
                                             {400.5, 4.0, 1419500000.0},
                                             {75.25, 3.0, 1419000001.0}}) {
        sample::SpikeSignal spike;
        spike.power = power;
        spike.chirpRate = chirp;
        spike.freq = freq;
        lines += sample::SpikeLine(spike);
    }
    sample::GaussianSignal weak;
    weak.chirpRate = -6;
    weak.peak = 2.1;
    weak.chisqr = 1.9;
    weak.pot = Bump(40, 8, 120);
    sample::GaussianSignal strong;
    strong.chirpRate = -6;
    strong.peak = 3.4;
    strong.chisqr = 1.2;
    strong.time = 2451981.3567;
    strong.pot = Bump(20, 6, 210);
    sample::GaussianSignal old;
    old.chirpRate = 1.5;
    old.withPot = false;
    lines += sample::GaussianLine(weak) + sample::GaussianLine(strong) + sample::GaussianLine(old);
    sample::TripletSignal triplet;
    triplet.chirpRate = 5;
    lines += sample::TripletLine(triplet);
    sample::PulseSignal pulse;
    pulse.chirpRate = 7;
    for (int i = 0; i < 40; ++i)
        pulse.prof.push_back(static_cast<std::uint8_t>(110 + 90 * std::sin(i / 3.0)));
    lines += sample::PulseLine(pulse);
    return lines;
}

class SignalInfoForm : public ::testing::Test {
protected:
    SignalInfoForm()
        : programEnv_("SKYVANE_PROGRAM_DIR", dir_.Path("program/")),
          registryEnv_("SKYVANE_REGISTRY_DIR", dir_.Path("registry")),
          runtimeEnv_("SKYVANE_RUNTIME_DIR", dir_.Path("runtime")) {
        dir_.MakeDir("program");
        dir_.MakeDir("registry");
        dir_.MakeDir("runtime");
        // An installed Skyvane: its settings are there, so no install dialog.
        dir_.Write("program/" + std::string(history::kSettingsFileName),
                   history::EncodeSettingsRecord({}));
        native_ = std::make_unique<platform::NativePlatform>();
        const std::string clientDir = dir_.Path("client/");
        sample::WriteSampleClientDir(clientDir);
        dir_.Write("client/outfile.sah", SignalLines());
        auto key = native_->services().registry.OpenKey(
            platform::RegRoot::CurrentUser, "Software\\SETI@home\\", platform::RegAccess::Write);
        if (key) key->WriteString("ClientDir", clientDir);
    }

    ~SignalInfoForm() override {
        // The main window takes the signal info window with it.
        if (form_ != nullptr) {
            form_->Destroy();
            Pump(50);
        }
    }

    void StartMainWindow() {
        form_ = new TMainForm(native_->services());
        ASSERT_EQ(form_->Start({}), monitor::StartupResult::ShowWindow);
        form_->Show();
        Pump(300);
    }

    // Clicks along the graph from the left, near its base line, until a
    // click opens the signal info window.
    TSignalInfoForm* ClickFirstSignal() {
        wxWindow* image = form_->ControlWindow(views::Control::Image);
        for (int x = 0; x < image->GetSize().x && form_->SignalInfoForm() == nullptr; ++x) {
            wxMouseEvent up(wxEVT_LEFT_UP);
            up.m_x = x;
            up.m_y = 235;
            up.SetEventObject(image);
            image->GetEventHandler()->ProcessEvent(up);
        }
        Pump(300);
        return form_->SignalInfoForm();
    }

    template <typename T>
    T* Find(const char* name) const {
        wxWindow* window = wxWindow::FindWindowByName(name, form_->SignalInfoForm());
        EXPECT_NE(window, nullptr) << name;
        auto* typed = dynamic_cast<T*>(window);
        EXPECT_NE(typed, nullptr) << name << " has another type";
        return typed;
    }
    std::string Label(const char* name) const {
        auto* label = Find<wxStaticText>(name);
        return label != nullptr ? wxcommon::ToUtf8(label->GetLabelText()) : std::string();
    }

    void ScrollTo(const char* name, int position) {
        auto* bar = Find<wxScrollBar>(name);
        bar->SetThumbPosition(position);
        wxScrollEvent scroll(wxEVT_SCROLL_THUMBTRACK, bar->GetId(), position, wxHORIZONTAL);
        scroll.SetEventObject(bar);
        bar->GetEventHandler()->ProcessEvent(scroll);
    }

    void Choose(const char* name, int item) {
        auto* box = Find<wxChoice>(name);
        box->SetSelection(item);
        wxCommandEvent choice(wxEVT_CHOICE, box->GetId());
        choice.SetInt(item);
        choice.SetEventObject(box);
        box->GetEventHandler()->ProcessEvent(choice);
    }

    // The user clicks a page's tab.
    void ShowPage(const char* caption) {
        auto* pages = Find<wxNotebook>("PageControl1");
        for (std::size_t i = 0; i < pages->GetPageCount(); ++i)
            if (pages->GetPageText(i) == caption) pages->SetSelection(i);
        Pump(200);
    }

    testsupport::TempDir dir_;
    testsupport::ScopedEnv programEnv_, registryEnv_, runtimeEnv_;
    // Start-up values (autostart entries on Linux) stay inside the test.
    testsupport::ScopedEnv configEnv_{"XDG_CONFIG_HOME", dir_.Path("config")};
    std::unique_ptr<platform::NativePlatform> native_;
    TMainForm* form_ = nullptr;
};

TEST_F(SignalInfoForm, ClickOnTheGraphOpensTheBestGaussianAtItsDriftRate) {
    StartMainWindow();

    TSignalInfoForm* info = ClickFirstSignal();

    ASSERT_NE(info, nullptr);
    EXPECT_TRUE(info->IsShown());
    EXPECT_EQ(info->GetTitle(), "Skyvane - Signal Info");
    EXPECT_TRUE(info->HasFlag(wxSTAY_ON_TOP));
    EXPECT_FALSE(info->HasFlag(wxRESIZE_BORDER));
    EXPECT_EQ(info->ActiveKind(), 1);
    // of the two at -6 Hz/s the stronger one, the second in the list
    EXPECT_EQ(Label("GausNumLabel"), "Gaussian 2 out of 3");
    EXPECT_EQ(Label("GausLabel2").rfind("Drift Rate -6 Hz/s, Frequency ", 0), 0u);
    EXPECT_FALSE(Find<wxWindow>("PlotAvailLabel")->IsShown());
    EXPECT_EQ(wxcommon::ToUtf8(Find<wxWindow>("PulseGraph")->GetToolTipText()),
              "This pattern is repeated several times");
    EXPECT_EQ(wxcommon::ToUtf8(Find<wxWindow>("GausSortBox")->GetToolTipText()), "Sort by");
    // all four pages, in order
    auto* pages = Find<wxNotebook>("PageControl1");
    ASSERT_EQ(pages->GetPageCount(), 4u);
    EXPECT_EQ(pages->GetPageText(0), "Peaks");
    EXPECT_EQ(pages->GetPageText(3), "Pulses");
    // the plots at their design size, the window at least the design's
    EXPECT_EQ(Find<wxWindow>("GausGraph")->GetSize(), wxSize(461, 129));
    EXPECT_GE(info->GetClientSize().x, 469);
    EXPECT_GE(info->GetClientSize().y, 242);

    guitest::SaveWindowShot("signalinfo-gaussians", info->GetScreenRect());
}

TEST_F(SignalInfoForm, StepsSortsAndSwitchesPages) {
    StartMainWindow();
    TSignalInfoForm* info = ClickFirstSignal();
    ASSERT_NE(info, nullptr);
    const int wide = info->GetClientSize().x;

    // stepping to the gaussian without samples shows the notice
    ScrollTo("GausScrollBar", 2);
    EXPECT_EQ(Label("GausNumLabel"), "Gaussian 3 out of 3");
    EXPECT_TRUE(Find<wxWindow>("PlotAvailLabel")->IsShown());
    Pump(200);
    guitest::SaveWindowShot("signalinfo-noplot", info->GetScreenRect());

    // sorting by score takes "Unsorted" away and puts the best first
    auto* box = Find<wxChoice>("GausSortBox");
    ASSERT_EQ(box->GetCount(), 7u);
    Choose("GausSortBox", 3);
    EXPECT_EQ(box->GetCount(), 6u);
    EXPECT_EQ(box->GetStringSelection(), "Score");
    ScrollTo("GausScrollBar", 0);
    EXPECT_EQ(Label("GausNumLabel"), "Gaussian 1 out of 3");
    EXPECT_EQ(Label("GausLabel1").rfind("Power 3.365, Fit 1.2, Score 2.804,", 0), 0u)
        << Label("GausLabel1");

    // the Peaks page is narrower and explains the peak it shows
    ShowPage("Peaks");
    EXPECT_EQ(info->ActiveKind(), 0);
    EXPECT_EQ(info->GetClientSize().x, static_cast<int>(std::lround(wide / 1.6)));
    ScrollTo("PeakScrollBar", 1);
    EXPECT_EQ(Label("PeakNumLabel"), "Peak 2 out of 3");
    EXPECT_EQ(Label("PeakFreqLabel"), "1419500000 Hz");
    EXPECT_EQ(wxcommon::ToUtf8(Find<wxTextCtrl>("Memo1")->GetValue()),
              "Strong signal from unknown source.This signal is very close to a round "
              "frequency, which is a clear sign of an Earth based interference.");
    Pump(200);
    guitest::SaveWindowShot("signalinfo-peaks", info->GetScreenRect());

    ShowPage("Triplets");
    EXPECT_EQ(Label("TripletNumLabel"), "Triplet 1 out of 1");
    EXPECT_FALSE(Find<wxWindow>("TripletScrollBar")->IsShown());
    EXPECT_FALSE(Find<wxWindow>("TripletSortBox")->IsShown());
    guitest::SaveWindowShot("signalinfo-triplets", info->GetScreenRect());

    ShowPage("Pulses");
    EXPECT_EQ(info->GetClientSize().x, wide);
    EXPECT_EQ(Label("PulseNumLabel"), "Pulse 1 out of 1");
    EXPECT_FALSE(Find<wxWindow>("PulsePlotAvailLabel")->IsShown());
    guitest::SaveWindowShot("signalinfo-pulses", info->GetScreenRect());
}

TEST_F(SignalInfoForm, ClosingDestroysTheWindowAndANewClickOpensAFreshOne) {
    StartMainWindow();
    TSignalInfoForm* info = ClickFirstSignal();
    ASSERT_NE(info, nullptr);
    Choose("GausSortBox", 1);
    ASSERT_EQ(Find<wxChoice>("GausSortBox")->GetCount(), 6u);

    info->Close();
    Pump(200);
    EXPECT_EQ(form_->SignalInfoForm(), nullptr);

    info = ClickFirstSignal();
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(Find<wxChoice>("GausSortBox")->GetCount(), 7u);
    EXPECT_EQ(Find<wxChoice>("GausSortBox")->GetStringSelection(), "Unsorted");
}

// The scroll bar steps through the signals one at a time: it takes the
// focus, its keys step by one, ten and to the ends, the wheel by one a
// notch, and stepping leaves the focus where it is.
TEST_F(SignalInfoForm, ScrollBarStepsOneSignalAtATime) {
    StartMainWindow();
    TSignalInfoForm* info = ClickFirstSignal();
    ASSERT_NE(info, nullptr);
    ShowPage("Peaks");
    auto* bar = Find<wxScrollBar>("PeakScrollBar");
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->AcceptsFocusFromKeyboard());
    EXPECT_TRUE(bar->CanAcceptFocus());
    ASSERT_EQ(Label("PeakNumLabel"), "Peak 1 out of 3");

    const auto key = [bar](int code) {
        wxKeyEvent press(wxEVT_KEY_DOWN);
        press.m_keyCode = code;
        press.SetEventObject(bar);
        bar->GetEventHandler()->ProcessEvent(press);
    };
    key(WXK_DOWN);
    EXPECT_EQ(Label("PeakNumLabel"), "Peak 2 out of 3");
    key(WXK_DOWN);
    key(WXK_DOWN);
    EXPECT_EQ(Label("PeakNumLabel"), "Peak 3 out of 3") << "the last one stays";
    key(WXK_UP);
    EXPECT_EQ(Label("PeakNumLabel"), "Peak 2 out of 3");
    key(WXK_HOME);
    EXPECT_EQ(Label("PeakNumLabel"), "Peak 1 out of 3");
    key(WXK_END);
    EXPECT_EQ(Label("PeakNumLabel"), "Peak 3 out of 3");
    key(WXK_PAGEUP);
    EXPECT_EQ(Label("PeakNumLabel"), "Peak 1 out of 3");
    key(WXK_PAGEDOWN);
    EXPECT_EQ(Label("PeakNumLabel"), "Peak 3 out of 3");

    const auto wheel = [bar](int rotation) {
        wxMouseEvent turn(wxEVT_MOUSEWHEEL);
        turn.m_wheelRotation = rotation;
        turn.m_wheelDelta = 120;
        turn.SetEventObject(bar);
        bar->GetEventHandler()->ProcessEvent(turn);
    };
    wheel(120);
    EXPECT_EQ(Label("PeakNumLabel"), "Peak 2 out of 3");
    wheel(60);
    EXPECT_EQ(Label("PeakNumLabel"), "Peak 2 out of 3") << "half a notch";
    wheel(60);
    EXPECT_EQ(Label("PeakNumLabel"), "Peak 1 out of 3");
    wheel(-120);
    EXPECT_EQ(Label("PeakNumLabel"), "Peak 2 out of 3");

    // With the focus on the scroll bar, a step keeps it there.
    bar->SetFocus();
    Pump(100);
    ASSERT_EQ(wxWindow::FindFocus(), bar);
    key(WXK_DOWN);
    Pump(50);
    EXPECT_EQ(Label("PeakNumLabel"), "Peak 3 out of 3");
    EXPECT_EQ(wxWindow::FindFocus(), bar);
    guitest::SaveWindowShot("signalinfo-scrollbar", info->GetScreenRect());
}

}  // namespace
