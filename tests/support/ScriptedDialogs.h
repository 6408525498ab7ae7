#pragma once
// A Dialogs fake: records every message and answers questions from a script.

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "views/Dialogs.h"

namespace testsupport {

class ScriptedDialogs : public views::Dialogs {
public:
    void ShowError(std::string_view text) override;
    void ShowWarning(std::string_view text) override;
    void ShowInformation(std::string_view text) override;
    bool AskYesNo(std::string_view text) override;
    std::optional<std::string> AskClientPath() override;
    void ShowAbout() override { ++aboutShown; }

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
    // Runs while a box is "open", to simulate a timer tick arriving then.
    std::function<void()> whileOpen;
};

}  // namespace testsupport
