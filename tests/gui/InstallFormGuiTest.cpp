// The install/upgrade dialog on screen, driven by a scripted logic.

#include <gtest/gtest.h>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/timer.h>

#include <string>

#include "gui/GuiTestSupport.h"
#include "setup/TInstallForm.h"
#include "views/InstallView.h"
#include "wxcommon/WxText.h"

namespace {

// Fills the dialog as the real logic would and records the user's choice.
class ScriptedInstall : public views::InstallEvents {
public:
    bool FormCreate(views::InstallView& view) override {
        view_ = &view;
        view.SetText(views::InstallControl::Label1, "Install Skyvane 3.42 in");
        view.SetText(views::InstallControl::Edit1, "/home/ann/.local/opt/skyvane/");
        return wanted;
    }
    void BitBtn1Click() override {
        okEdit = view_->Text(views::InstallControl::Edit1);
        desktopChecked = view_->Checked(views::InstallControl::CheckBox2);
        view_->CloseDialog();
    }
    void BitBtn2Click() override { view_->CloseDialog(); }
    void FormClose() override {
        ++closes;
        view_->CloseDialog();
    }

    bool wanted = true;
    std::string okEdit;
    bool desktopChecked = false;
    int closes = 0;

private:
    views::InstallView* view_ = nullptr;
};

TEST(InstallFormWindow, ShowsTheChoicesAndHandsOkToTheLogic) {
    ScriptedInstall logic;
    setup::TInstallForm form(nullptr, logic);
    ASSERT_TRUE(form.Wanted());
    EXPECT_EQ(form.GetTitle(), "Skyvane install/upgrade");
    auto* Label1 = dynamic_cast<wxStaticText*>(wxWindow::FindWindowByName("Label1", &form));
    auto* Edit1 = dynamic_cast<wxTextCtrl*>(wxWindow::FindWindowByName("Edit1", &form));
    ASSERT_TRUE(Label1 && Edit1);
    EXPECT_EQ(Label1->GetLabel(), "Install Skyvane 3.42 in");
    EXPECT_EQ(Edit1->GetValue(), "/home/ann/.local/opt/skyvane/");
    const char* captions[] = {"Add Skyvane to programs menu", "Add Skyvane shortcut to desktop",
                              "Add Skyvane to favorites"};
    for (int i = 0; i < 3; ++i) {
        const std::string name = "CheckBox" + std::to_string(i + 1);
        auto* box = dynamic_cast<wxCheckBox*>(wxWindow::FindWindowByName(name, &form));
        ASSERT_NE(box, nullptr) << name;
        EXPECT_EQ(box->GetLabel(), captions[i]);
        EXPECT_TRUE(box->GetValue()) << name;
    }

    wxTimer user;
    user.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        guitest::SaveWindowShot("install-dialog", form.GetScreenRect());
        Edit1->ChangeValue("/opt/sky/");
        dynamic_cast<wxCheckBox*>(wxWindow::FindWindowByName("CheckBox2", &form))->SetValue(false);
        wxCommandEvent ok(wxEVT_BUTTON, wxID_OK);
        ok.SetEventObject(wxWindow::FindWindowByName("BitBtn1", &form));
        wxWindow::FindWindowByName("BitBtn1", &form)->GetEventHandler()->ProcessEvent(ok);
    });
    user.StartOnce(300);
    form.ShowModal();
    EXPECT_EQ(logic.okEdit, "/opt/sky/");
    EXPECT_FALSE(logic.desktopChecked);
}

TEST(InstallFormWindow, CloseBoxGoesToTheLogic) {
    ScriptedInstall logic;
    setup::TInstallForm form(nullptr, logic);
    wxTimer user;
    user.Bind(wxEVT_TIMER, [&](wxTimerEvent&) { form.Close(); });
    user.StartOnce(200);
    form.ShowModal();
    EXPECT_EQ(logic.closes, 1);
}

TEST(InstallFormWindow, NotShownWhenTheLogicSaysSo) {
    ScriptedInstall logic;
    logic.wanted = false;
    setup::TInstallForm form(nullptr, logic);
    EXPECT_FALSE(form.Wanted());
}

}  // namespace
