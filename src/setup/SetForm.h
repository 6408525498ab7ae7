#pragma once
// The settings dialog's logic ("Skyvane Settings"): how the client and
// Skyvane start at logon, the client's directory and a few preferences. It
// changes nothing before OK; OK writes the start-up values at once and saves
// the settings. No wx here: TSetForm shows it.

#include <functional>
#include <string>

#include "client/ClientControl.h"
#include "client/StartupRegistration.h"
#include "history/SettingsRecord.h"
#include "platform/Platform.h"
#include "views/Dialogs.h"
#include "views/SetFormView.h"

namespace setup {

// RadioGroup1's items, in order; the last exists only for a text client.
inline constexpr int kNever = 0;
inline constexpr int kAfterPowerFailures = 1;
inline constexpr int kAlways = 2;
inline constexpr int kAlwaysHidden = 3;

class SetForm : public views::SetFormEvents {
public:
    struct Context {
        history::TSettingsRec& settings;
        client::ClientControl& client;
        client::StartupRegistration& registration;
        platform::Files& files;
        views::Dialogs& dialogs;
        // The user chose another client directory (with its separator).
        std::function<void(const std::string& path)> changeClientPath;
        // Writes the settings file.
        std::function<void()> saveSettings;
    };

    explicit SetForm(Context context) : c_(std::move(context)) {}

    void FormCreate(views::SetFormView& view) override;
    void BitBtn1Click(views::SetFormView& view) override;

private:
    Context c_;
    // What the start-up values were when the dialog opened.
    bool skyvaneRuns_ = false;
    bool clientRuns_ = false;
};

}  // namespace setup
