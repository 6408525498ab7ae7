#pragma once
// A Dialogs fake: records every message and answers questions from a script.

#include <array>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "views/Dialogs.h"
#include "views/InstallView.h"

namespace testsupport {

// The settings dialog's state as its logic left it.
class RecordingSetFormView : public views::SetFormView {
public:
    void SetRadioItems(const std::vector<std::string>& items) override { radioItems = items; }
    void SetRadioIndex(int index) override { radioIndex = index; }
    int RadioIndex() const override { return radioIndex; }
    void SetRadioEnabled(bool enabled) override { radioEnabled = enabled; }
    void SetChecked(views::SetCheck box, bool checked) override {
        checks[static_cast<std::size_t>(box)] = checked;
    }
    bool Checked(views::SetCheck box) const override {
        return checks[static_cast<std::size_t>(box)];
    }
    void SetPathText(std::string_view text) override { path = text; }
    std::string PathText() const override { return path; }
    void Close() override { closed = true; }

    // What a user may change while it is open.
    void Choose(int index) {
        if (radioEnabled) radioIndex = index;
    }

    std::vector<std::string> radioItems;
    int radioIndex = -1;
    bool radioEnabled = true;
    std::array<bool, 5> checks{};
    std::string path;
    bool closed = false;
};

// The install/upgrade dialog's controls as a test fills them.
class RecordingInstallView : public views::InstallView {
public:
    void SetText(views::InstallControl c, std::string_view text) override {
        texts[static_cast<int>(c)] = text;
    }
    std::string Text(views::InstallControl c) const override { return texts[static_cast<int>(c)]; }
    bool Checked(views::InstallControl c) const override { return checked[static_cast<int>(c)]; }
    void CloseDialog() override { closed = true; }

    std::string texts[5];
    // CheckBox1..3 are checked by design.
    bool checked[5]{false, false, true, true, true};
    bool closed = false;
};

// The cache dialog's controls as its logic left them.
class RecordingCacheFormView : public views::CacheFormView {
public:
    void SetText(views::CacheFormControl c, std::string_view t) override { texts[c] = t; }
    std::string Text(views::CacheFormControl c) const override {
        auto it = texts.find(c);
        return it == texts.end() ? "" : it->second;
    }
    void SetChecked(views::CacheFormControl c, bool v) override { checked[c] = v; }
    bool Checked(views::CacheFormControl c) const override {
        auto it = checked.find(c);
        return it != checked.end() && it->second;
    }
    void SetVisible(views::CacheFormControl c, bool v) override { visible[c] = v; }
    void SetEnabled(views::CacheFormControl c, bool v) override { enabled[c] = v; }
    void SetSpinValue(int v) override { spin = v; }
    int SpinValue() const override { return spin; }
    void SetRadioIndex(int i) override { radio = i; }
    int RadioIndex() const override { return radio; }
    void LayOutBottom() override { ++layouts; }
    void Close() override { closed = true; }

    std::map<views::CacheFormControl, std::string> texts;
    std::map<views::CacheFormControl, bool> checked, visible, enabled;
    int spin = 0, radio = -1, layouts = 0;
    bool closed = false;
};

class ScriptedDialogs : public views::Dialogs {
public:
    void ShowError(std::string_view text) override;
    void ShowWarning(std::string_view text) override;
    void ShowInformation(std::string_view text) override;
    bool AskYesNo(std::string_view text) override;
    bool AskYesNoWarning(std::string_view text) override;
    std::optional<std::string> AskClientPath() override;
    void ShowAbout() override { ++aboutShown; }
    void ShowSetForm(views::SetFormEvents& events) override;
    bool AskOkCancel(std::string_view text) override;
    bool AskAbortRetry(std::string_view text) override;
    void ShowCacheForm(views::CacheFormEvents& events) override;
    void ShowCacheInfoForm(views::CacheInfoEvents& events) override;
    void ShowInstallForm(views::InstallEvents& events) override;

    // Every box shown, by kind, in order.
    std::vector<std::string> errors;
    std::vector<std::string> warnings;
    std::vector<std::string> informations;
    std::vector<std::string> questions;
    // Answers for AskYesNo, from the front; an empty script answers No.
    std::deque<bool> yesNoAnswers;
    // Answers for AskClientPath, taken from the front; an empty script
    // answers Cancel.
    std::deque<std::optional<std::string>> clientPathAnswers;
    int clientPathAsked = 0;
    int aboutShown = 0;
    // The settings dialog: opened with a RecordingSetFormView, FormCreate
    // run, then `setFormScript` plays the user (nothing: the dialog is
    // cancelled). `setForm` keeps the last dialog's state.
    std::function<void(views::SetFormView&, views::SetFormEvents&)> setFormScript;
    std::unique_ptr<RecordingSetFormView> setForm;
    int setFormsShown = 0;

    // OK/Cancel and Abort/Retry questions, in `questions` too. Empty
    // scripts answer Cancel and Abort.
    std::deque<bool> okCancelAnswers;
    std::deque<bool> abortRetryAnswers;
    // The cache's progress windows: with a clock, each runs headless on it
    // (a tick every 500 ms of that clock; `cancelTransfer` presses Cancel
    // when it returns true); without one, each is cancelled at once. Their
    // titles in order.
    platform::Clock* clock = nullptr;
    std::function<bool()> cancelTransfer;
    std::vector<std::string> transferTitles;
    // Their labels OldWULabel, ToReceiveWULabel, ReceivedWULabel.
    std::vector<std::array<std::string, 3>> transferLabels;
    // The cache dialog: FormCreate is run on `cacheForm`, then the script.
    std::function<void(views::CacheFormView&, views::CacheFormEvents&)> cacheFormScript;
    views::CacheFormView* cacheForm = nullptr;
    int cacheFormsShown = 0;

    // Questions with a warning sign; answered from yesNoAnswers too.
    std::vector<std::string> warningQuestions;
    // The install dialog: how often it was asked for, and what the user does
    // in it once it is up (nothing: it stays open while start-up goes on, as
    // if it had not been asked for).
    int installShown = 0;
    std::function<void(views::InstallEvents&, RecordingInstallView&)> inInstallForm;
    // Runs while a box is "open", to simulate a timer tick arriving then.
    std::function<void()> whileOpen;
};

}  // namespace testsupport
