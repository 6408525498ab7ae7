#include "setup/SetForm.h"

#include "clientfiles/ClientDir.h"

namespace setup {

using client::ClientKind;
using views::SetCheck;

void SetForm::FormCreate(views::SetFormView& view) {
    const auto& s = c_.settings;
    const bool text = c_.client.Kind() == ClientKind::Text;
    std::vector<std::string> items{"never", "only after power failures", "always"};
    // Only a console client can be started hidden.
    if (text) items.emplace_back("always + hide client");
    view.SetRadioItems(items);
    view.SetPathText(c_.client.ClientPath());
    view.SetChecked(SetCheck::CheckBox2, s.StartInTray);

    skyvaneRuns_ = c_.registration.Exists(client::kRunKey, client::kSkyvaneValue);
    view.SetChecked(SetCheck::CheckBox1, skyvaneRuns_);
    clientRuns_ = c_.registration.Exists(client::kRunKey, client::kClientValue);

    view.SetRadioIndex(kNever);
    view.SetChecked(SetCheck::CheckBox3, s.SaveGraphSettings);
    view.SetChecked(SetCheck::CheckBox4, s.MultipleInstances);
    view.SetChecked(SetCheck::CheckBox5, !s.NoAlerts);
    if (clientRuns_)
        view.SetRadioIndex(s.HideClient && text ? kAlwaysHidden : kAlways);
    else if (s.PowerFailureOnly)
        view.SetRadioIndex(kAfterPowerFailures);
    view.SetRadioEnabled(c_.client.Kind() != ClientKind::None);
}

void SetForm::BitBtn1Click(views::SetFormView& view) {
    std::string path = view.PathText();
    if (!path.empty()) path = clientfiles::WithTrailingSeparator(path);
    if (path.empty() || !clientfiles::IsClientDirectory(c_.files, path)) {
        c_.dialogs.ShowError("SETI@home client was not found at specified path.");
        return;
    }
    // Exact comparison: another letter case is another directory to Linux,
    // and on Windows a fresh look costs nothing.
    if (path != c_.client.ClientPath()) c_.changeClientPath(path);

    auto& s = c_.settings;
    s.StartInTray = view.Checked(SetCheck::CheckBox2);
    s.MultipleInstances = view.Checked(SetCheck::CheckBox4);
    s.NoAlerts = !view.Checked(SetCheck::CheckBox5);

    auto& values = c_.registration;
    bool unused = false;
    auto& startup = values.Values();
    const bool runSkyvane = view.Checked(SetCheck::CheckBox1);
    if (runSkyvane != skyvaneRuns_)
        client::SetRunValue(
            startup, runSkyvane ? client::RunAction::Write : client::RunAction::Delete,
            client::kSkyvaneValue, values.SkyvaneCommand(), client::kRunKey, unused);

    const int choice = view.RadioIndex();
    const bool always = choice == kAlways || choice == kAlwaysHidden;
    if (always != clientRuns_) {
        const std::string command = values.ClientCommand();
        // Without a client there is no command to write.
        const bool write = always && !command.empty();
        client::SetRunValue(startup, write ? client::RunAction::Write : client::RunAction::Delete,
                            client::kClientValue, command, client::kRunKey, unused);
    }

    const bool afterFailures = choice == kAfterPowerFailures;
    if (afterFailures != s.PowerFailureOnly) {
        s.PowerFailureOnly = afterFailures;
        values.RegisterRecovery(afterFailures);
    }
    s.HideClient = choice == kAlwaysHidden;
    s.SaveGraphSettings = view.Checked(SetCheck::CheckBox3);
    c_.saveSettings();
    view.Close();
}

}  // namespace setup
