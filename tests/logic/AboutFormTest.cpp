// The about box's logic and the main window's web links.

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "monitor/Monitor.h"
#include "platform/Platform.h"
#include "setup/AboutForm.h"
#include "setup/Sites.h"
#include "support/RecordingShell.h"
#include "support/RecordingView.h"
#include "support/ScriptedDialogs.h"

using setup::AboutForm;
using testsupport::RecordingShell;
using views::AboutControl;

namespace {

class RecordingAboutView : public views::AboutView {
public:
    void SetText(AboutControl c, std::string_view text) override { texts[c] = text; }
    void SetFontColor(AboutControl c, views::Rgb color) override { colors[c] = color; }
    std::map<AboutControl, std::string> texts;
    std::map<AboutControl, views::Rgb> colors;
};

TEST(AboutForm, ShowsNameVersionAndABlueLink) {
    RecordingAboutView view;
    RecordingShell shell;
    AboutForm form(view, shell);
    form.FormCreate();
    EXPECT_EQ(view.texts[AboutControl::ProductName], "Skyvane");
    EXPECT_EQ(view.texts[AboutControl::Version], "Version 3.42");
    EXPECT_EQ(view.texts[AboutControl::Comments], "Visit");
    EXPECT_EQ(view.texts[AboutControl::Label1], "Skyvane site");
    EXPECT_EQ(view.texts[AboutControl::Label2], "for the latest version and information.");
    EXPECT_EQ(view.colors[AboutControl::Label1], (views::Rgb{0, 0, 255}));
}

TEST(AboutForm, LinkIsGreenOnlyUnderTheMouse) {
    RecordingAboutView view;
    RecordingShell shell;
    AboutForm form(view, shell);
    form.FormCreate();
    form.Label1MouseMove();
    EXPECT_EQ(view.colors[AboutControl::Label1], (views::Rgb{0, 128, 0}));
    form.Label1MouseMove();
    EXPECT_EQ(view.colors[AboutControl::Label1], (views::Rgb{0, 128, 0}));
    // any other part of the window: the button, the panel, the icon...
    form.FormMouseMove();
    EXPECT_EQ(view.colors[AboutControl::Label1], (views::Rgb{0, 0, 255}));
}

TEST(AboutForm, LinkOpensTheProductSite) {
    RecordingAboutView view;
    RecordingShell shell;
    AboutForm form(view, shell);
    form.Label1Click();
    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_EQ(shell.opened[0], setup::kProductSite);
    // one plain address: no tracking parameters, no partner redirect
    EXPECT_EQ(std::string(setup::kProductSite).find('?'), std::string::npos);
}

TEST(MainWindowLinks, AboutAndInternetMenus) {
    platform::NativePlatform native;
    RecordingShell shell;
    const platform::Services real = native.services();
    const platform::Services services{real.registry,    real.files,     real.windows,
                                      shell,            real.environment, real.processes,
                                      real.startup,     real.clock};
    testsupport::RecordingView view;
    testsupport::ScriptedDialogs dialogs;
    monitor::Monitor monitor(view, dialogs, services);

    monitor.About1Click();
    EXPECT_EQ(dialogs.aboutShown, 1);
    monitor.Skyvanesite1Click();
    monitor.SETIhomesite1Click();
    ASSERT_EQ(shell.opened.size(), 2u);
    EXPECT_EQ(shell.opened[0], setup::kProductSite);
    EXPECT_EQ(shell.opened[1], setup::kSetiAtHomeSite);
}

}  // namespace
