#pragma once
// Modal boxes and dialogs the logic asks for. Every call returns only when
// the user has closed the box; while it is open, timers keep firing (the
// window's logic must expect a re-entrant tick during any of these calls).

#include <optional>
#include <string>
#include <string_view>

#include "views/CacheViews.h"
#include "views/SetFormView.h"

namespace views {

class InstallEvents;

class Dialogs {
public:
    virtual ~Dialogs() = default;
    // A modal error box with one OK button.
    virtual void ShowError(std::string_view text) = 0;
    // A modal warning box with one OK button.
    virtual void ShowWarning(std::string_view text) = 0;
    // A modal information box with one OK button.
    virtual void ShowInformation(std::string_view text) = 0;
    // A Yes/No question; true for Yes.
    virtual bool AskYesNo(std::string_view text) = 0;
    // A Yes/No question with a warning sign, for what cannot be undone.
    // Where no sign can be shown it is a plain question.
    virtual bool AskYesNoWarning(std::string_view text) { return AskYesNo(text); }
    // The client-path dialog ("SETI@home client not found"): the text the
    // user accepted with OK as typed, or nothing when the user chose Cancel
    // (which quits Skyvane).
    virtual std::optional<std::string> AskClientPath() = 0;
    // The about box ("About Skyvane").
    virtual void ShowAbout() = 0;
    // The settings dialog ("Skyvane Settings"), modal, driven by `events`.
    // Where no dialog can be shown (skyvane-cli) nothing happens.
    virtual void ShowSetForm(SetFormEvents& /*events*/) {}
    // An information box with OK and Cancel; true for OK. Where nobody can
    // be asked: Cancel.
    virtual bool AskOkCancel(std::string_view /*text*/) { return false; }
    // An error box with Abort and Retry; true for Retry. Where nobody can be
    // asked: Abort.
    virtual bool AskAbortRetry(std::string_view /*text*/) { return false; }
    // The cache dialog ("Work Unit Cache"), modal. Where no dialog can be
    // shown nothing happens.
    virtual void ShowCacheForm(CacheFormEvents& /*events*/) {}
    // The progress window of a cache transfer, modal: FormCreate, then
    // Timer1Timer every 500 ms until the logic closes it. Returns when it
    // is closed. Where no window can be shown, the transfer is cancelled at
    // once.
    virtual void ShowCacheInfoForm(CacheInfoEvents& events);
    // The install/upgrade dialog, driven by `events` until it closes. Where
    // no dialog can be shown (skyvane-cli) nothing happens.
    virtual void ShowInstallForm(InstallEvents& /*events*/) {}
};

}  // namespace views
