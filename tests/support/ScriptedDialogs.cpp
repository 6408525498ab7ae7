#include "ScriptedDialogs.h"

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

}  // namespace testsupport
