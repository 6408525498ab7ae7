#include "monitor/Progress.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "clientfiles/Format.h"
#include "views/MainView.h"

namespace monitor {

using views::Control;

std::string PercentageText(double fraction, char decimalSeparator) {
    const double hundredths = clientfiles::RoundHalfEven(fraction * 10000);
    return clientfiles::ShortestForm(hundredths / 100, decimalSeparator) + "%";
}

namespace {

// Whole seconds of a ratio, held to what the labels can show: a damaged
// state file may claim any CPU time or a tiny fraction done.
std::int64_t Seconds(double value) {
    constexpr double kLimit = std::numeric_limits<std::int32_t>::max();
    if (std::isnan(value)) return 0;
    return static_cast<std::int64_t>(clientfiles::RoundHalfEven(std::clamp(value, -kLimit, kLimit)));
}

}  // namespace

bool ProgressDisplay::ShowProgress(const clientfiles::ClientFigures& figures,
                                   const Situation& situation) {
    const std::string text = PercentageText(figures.Progress, situation.decimalSeparator);
    // Changes below a hundredth of a percent would only make the bar and
    // the taskbar flicker.
    if (text != percentage_) {
        percentage_ = text;
        view_.SetText(Control::PercentageLabel, text);
        const double bar = clientfiles::RoundHalfEven(kProgressBarMax * figures.Progress);
        view_.SetPosition(Control::ProgressBar,
                          static_cast<int>(std::clamp(bar, 0.0, double{kProgressBarMax})));
        if (situation.minimized && situation.liveMode)
            view_.SetApplicationTitle("Skyvane " + text);
    }

    if (figures.Progress == 0) return false;
    const std::int64_t total = Seconds(figures.CpuSeconds / figures.Progress);
    view_.SetText(Control::TotalTimeLabel, clientfiles::FormatHMS(total));
    if (situation.currentView)
        view_.SetText(Control::LeftTimeLabel, clientfiles::FormatHMS(total - figures.CpuSeconds));
    return true;
}

void ProgressDisplay::ResetProgress() {
    percentage_ = "0%";
    view_.SetText(Control::PercentageLabel, percentage_);
    // Two digits for the hours here, unlike a counted 0:00:00.
    view_.SetText(Control::CPUTimeLabel, "00:00:00");
    view_.SetText(Control::LeftTimeLabel, "unknown");
    view_.SetText(Control::TotalTimeLabel, "unknown");
    view_.SetPosition(Control::ProgressBar, 0);
}

}  // namespace monitor
