#include "setup/AboutForm.h"

#include "history/SettingsRecord.h"
#include "setup/Sites.h"

namespace setup {

using views::AboutControl;

std::string VersionText() {
    return "Version " + std::string(history::kSettingsVersion);
}

void AboutForm::FormCreate() {
    view_.SetText(AboutControl::ProductName, "Skyvane");
    view_.SetText(AboutControl::Version, VersionText());
    view_.SetText(AboutControl::Comments, "Visit");
    view_.SetText(AboutControl::Label1, "Skyvane site");
    view_.SetText(AboutControl::Label2, "for the latest version and information.");
    view_.SetFontColor(AboutControl::Label1, kLinkColor);
}

void AboutForm::Label1MouseMove() {
    view_.SetFontColor(AboutControl::Label1, kLinkHoverColor);
}

void AboutForm::FormMouseMove() {
    view_.SetFontColor(AboutControl::Label1, kLinkColor);
}

void AboutForm::Label1Click() {
    shell_.OpenUrl(std::string(kProductSite));
}

}  // namespace setup
