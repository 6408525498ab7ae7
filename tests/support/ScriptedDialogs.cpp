#include "ScriptedDialogs.h"

namespace testsupport {

void ScriptedDialogs::ShowError(std::string_view text) {
    errors.emplace_back(text);
    if (whileOpen) whileOpen();
}

std::optional<std::string> ScriptedDialogs::AskClientPath() {
    ++clientPathAsked;
    if (whileOpen) whileOpen();
    if (clientPathAnswers.empty()) return std::nullopt;
    auto answer = clientPathAnswers.front();
    clientPathAnswers.pop_front();
    return answer;
}

}  // namespace testsupport
