#include "ScriptedDialogs.h"

#include "cache/CacheInfoForm.h"

namespace testsupport {

void ScriptedDialogs::ShowError(std::string_view text) {
    errors.emplace_back(text);
    if (whileOpen) whileOpen();
}

void ScriptedDialogs::ShowWarning(std::string_view text) {
    warnings.emplace_back(text);
    if (whileOpen) whileOpen();
}

void ScriptedDialogs::ShowInformation(std::string_view text) {
    informations.emplace_back(text);
    if (whileOpen) whileOpen();
}

bool ScriptedDialogs::AskYesNo(std::string_view text) {
    questions.emplace_back(text);
    if (whileOpen) whileOpen();
    if (yesNoAnswers.empty()) return false;
    const bool answer = yesNoAnswers.front();
    yesNoAnswers.pop_front();
    return answer;
}

bool ScriptedDialogs::AskYesNoWarning(std::string_view text) {
    warningQuestions.emplace_back(text);
    if (whileOpen) whileOpen();
    if (yesNoAnswers.empty()) return false;
    const bool answer = yesNoAnswers.front();
    yesNoAnswers.pop_front();
    return answer;
}

void ScriptedDialogs::ShowInstallForm(views::InstallEvents& events) {
    ++installShown;
    if (!inInstallForm) return;
    RecordingInstallView view;
    if (!events.FormCreate(view)) return;
    inInstallForm(events, view);
}

std::optional<std::string> ScriptedDialogs::AskClientPath() {
    ++clientPathAsked;
    if (whileOpen) whileOpen();
    if (clientPathAnswers.empty()) return std::nullopt;
    auto answer = clientPathAnswers.front();
    clientPathAnswers.pop_front();
    return answer;
}

void ScriptedDialogs::ShowSetForm(views::SetFormEvents& events) {
    ++setFormsShown;
    setForm = std::make_unique<RecordingSetFormView>();
    events.FormCreate(*setForm);
    if (whileOpen) whileOpen();
    if (setFormScript) setFormScript(*setForm, events);
}

bool ScriptedDialogs::AskOkCancel(std::string_view text) {
    questions.emplace_back(text);
    if (whileOpen) whileOpen();
    if (okCancelAnswers.empty()) return false;
    const bool answer = okCancelAnswers.front();
    okCancelAnswers.pop_front();
    return answer;
}

bool ScriptedDialogs::AskAbortRetry(std::string_view text) {
    questions.emplace_back(text);
    if (whileOpen) whileOpen();
    if (abortRetryAnswers.empty()) return false;
    const bool answer = abortRetryAnswers.front();
    abortRetryAnswers.pop_front();
    return answer;
}

void ScriptedDialogs::ShowCacheForm(views::CacheFormEvents& events) {
    ++cacheFormsShown;
    if (cacheForm == nullptr) return;
    events.FormCreate(*cacheForm);
    if (cacheFormScript) cacheFormScript(*cacheForm, events);
}

void ScriptedDialogs::ShowCacheInfoForm(views::CacheInfoEvents& events) {
    if (clock == nullptr) {
        views::Dialogs::ShowCacheInfoForm(events);
        return;
    }
    struct View : views::CacheInfoView {
        void SetTitle(std::string_view title) override {
            owner->transferTitles.emplace_back(title);
        }
        void SetText(views::CacheInfoLabel label, std::string_view text) override {
            owner->transferLabels.back()[static_cast<std::size_t>(label)] = text;
        }
        void Close() override { closed = true; }
        ScriptedDialogs* owner = nullptr;
        bool closed = false;
    } view;
    view.owner = this;
    transferLabels.emplace_back();
    events.FormCreate(view);
    while (!view.closed) {
        clock->Sleep(cache::kTransferTick);
        if (cancelTransfer && cancelTransfer())
            events.BitBtn1Click(view);
        else
            events.Timer1Timer(view);
    }
}

}  // namespace testsupport
