#pragma once
// How far the client has come with the live work unit, as the progress
// panel words it: percentage, bar, CPU time and the two estimates.

#include <string>

#include "clientfiles/Readers.h"

namespace views {
class MainView;
}

namespace monitor {

// The completed percentage of fraction f: f × 10000 rounded (halves to even),
// divided by 100, in shortest form, then "%". 0.45678 gives "45.68%".
std::string PercentageText(double fraction, char decimalSeparator);

inline constexpr int kProgressBarMax = 150;

class ProgressDisplay {
public:
    explicit ProgressDisplay(views::MainView& view) : view_(view) {}

    // What the window's state asks of the figures.
    struct Situation {
        bool minimized = false;
        bool liveMode = true;
        bool currentView = true;  // the selector shows "current"
        char decimalSeparator = '.';
    };

    // Percentage, bar and (minimised and live) the application title when
    // the percentage text changed; then the estimates. False when Progress
    // is 0: the estimates keep their text.
    bool ShowProgress(const clientfiles::ClientFigures& figures, const Situation& situation);
    // The panel's empty state.
    void ResetProgress();

    const std::string& PercentageShown() const { return percentage_; }

private:
    views::MainView& view_;
    std::string percentage_ = "0%";
};

}  // namespace monitor
