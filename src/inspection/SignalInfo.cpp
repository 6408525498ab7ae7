#include "inspection/SignalInfo.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string_view>
#include <system_error>
#include <utility>

#include "clientfiles/Format.h"
#include "signals/ResultFile.h"

namespace inspection {

using views::SignalInfoControl;

// ------------------------------------------------------------------ texts

std::string SignalNumber(double value, char decimalSeparator) {
    if (std::isnan(value)) return "NaN";
    if (std::isinf(value)) return value > 0 ? "Inf" : "-Inf";
    if (value == 0) return "0";  // also -0, as rounding leaves it

    // The 15 significant digits and the decimal exponent after rounding to
    // them: "-1.23456789012340e-06".
    std::array<char, 64> buffer{};
    const auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                         std::chars_format::scientific, 14);
    if (ec != std::errc{}) return "0";  // cannot happen with 64 characters
    std::string_view raw(buffer.data(), static_cast<std::size_t>(end - buffer.data()));
    std::string text;
    if (raw.front() == '-') {
        text += '-';
        raw.remove_prefix(1);
    }
    const std::size_t e = raw.find('e');
    std::string digits;
    for (char c : raw.substr(0, e))
        if (c != '.') digits += c;
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    std::string_view exponentText = raw.substr(e + 1);
    if (exponentText.front() == '+') exponentText.remove_prefix(1);
    int exponent = 0;
    std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), exponent);

    if (exponent < -5 || exponent >= 15) {
        text += digits.front();
        if (digits.size() > 1) {
            text += decimalSeparator;
            text.append(digits, 1);
        }
        text += 'E';
        text += std::to_string(exponent);
        return text;
    }
    if (exponent < 0) {
        text += '0';
        text += decimalSeparator;
        text.append(static_cast<std::size_t>(-exponent - 1), '0');
        text += digits;
        return text;
    }
    const auto integerDigits = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= integerDigits) {
        text += digits;
        text.append(integerDigits - digits.size(), '0');
    } else {
        text.append(digits, 0, integerDigits);
        text += decimalSeparator;
        text.append(digits, integerDigits);
    }
    return text;
}

std::string SignalDecimals(double value, int decimals, char decimalSeparator) {
    return SignalNumber(clientfiles::RoundTo(value, decimals), decimalSeparator);
}

double SignalSeconds(double time, double timeRecorded) {
    // A recording lasts minutes, far less than 0.01 days; a Julian date is
    // millions of days.
    if (time <= 0.01) return time * 86400;
    return (time - timeRecorded) * 86400;
}

std::string PeakInterpretation(double power, double frequency, double driftRate) {
    if (power < 30) return "Skyvane will try to identify peaks with relative power above 30.";

    const auto near = [frequency](double low, double high) {
        return low < frequency && frequency < high;
    };
    std::string text;
    if (near(1418999998, 1419000002)) text = "This is a test signal at 1.1419GHz";
    if (near(1420999998, 1421000002)) text = "This is a test signal at 1.1421GHz";
    if (near(1419999998, 1420000002))
        text = "This is probably an interference at 1.142GHz caused in the filtering process";
    if (near(1418749998, 1418750002)) text = "This is a well known interference at 1.41875GHz";
    if (!text.empty()) return text;

    if (power > 100000) {
        if (std::fabs(driftRate) <= 0.1)
            return "This signal is too strong. It is probably either an error or Arecibo was "
                   "transmitting.";
        return "This signal is too strong and is found at an unlikely drift rate. It can only be "
               "a computer error.";
    }

    text = "Strong signal from unknown source.";
    const int run = signals::RepeatedDigitRun(0, frequency);
    if (run < 3) return text + "This signal is not close to a round frequency.";
    return text + "This signal is " + (run >= 4 ? "very " : "") +
           "close to a round frequency, which is a clear sign of an Earth based interference.";
}

// ------------------------------------------------------------------ window

SignalInfo::SignalInfo(OpenWindow openWindow, signals::SignalLists& lists,
                       std::array<std::int32_t, 4>& selected,
                       const clientfiles::ClientFigures& figures,
                       const clientfiles::ReaderEnvironment& env,
                       std::function<void()> listsReordered)
    : openWindow_(std::move(openWindow)),
      lists_(lists),
      selected_(selected),
      figures_(figures),
      env_(env),
      listsReordered_(std::move(listsReordered)) {}

// The window must not outlive the logic it reports to.
SignalInfo::~SignalInfo() {
    CloseSignalInfo();
}

void SignalInfo::ShowSignalInfo() {
    const bool created = view_ == nullptr;
    if (created) view_ = &openWindow_(*this);
    Initialise(created);
}

void SignalInfo::CloseSignalInfo() {
    if (view_ == nullptr) return;
    views::SignalInfoView* closing = std::exchange(view_, nullptr);
    ResetWindowState();
    closing->CloseWindow();
}

void SignalInfo::FormClose() {
    view_ = nullptr;
    ResetWindowState();
}

void SignalInfo::ResetWindowState() {
    sortKeys_.fill(kNoSortKey);
    lastGaussianNoPlot_ = false;
    lastPulseNoPlot_ = false;
}

std::uint8_t SignalInfo::SortKey(int kind) const {
    if (kind < 0 || kind > 3) return kNoSortKey;
    return sortKeys_[static_cast<std::size_t>(kind)];
}

int SignalInfo::NarrowWidth() const {
    return static_cast<int>(clientfiles::RoundHalfEven(designWidth_ / 1.6));
}

int SignalInfo::PageWidth(int kind) const {
    // The peaks and triplets pages hold short figures; the gaussians and
    // pulses pages hold long lines and a plot across the window.
    return kind == 1 || kind == 3 ? designWidth_ : NarrowWidth();
}

int SignalInfo::ListSize(int kind) const {
    switch (kind) {
        case 0:
            return static_cast<int>(lists_.SpikeList.size());
        case 1:
            return static_cast<int>(lists_.GaussianList.size());
        case 2:
            return static_cast<int>(lists_.TripletList.size());
        case 3:
            return static_cast<int>(lists_.PulseList.size());
        default:
            return 0;
    }
}

bool SignalInfo::PagePresent(int kind) const {
    // Clients that do not report triplets and pulses get no pages for them.
    if ((kind == 2 || kind == 3) && !figures_.PulsesEnabled) return false;
    return ListSize(kind) > 0;
}

void SignalInfo::Initialise(bool created) {
    if (designWidth_ == 0) {
        designWidth_ = view_->DesignClientWidth();
        graphWidth_ = view_->DesignGraphWidth();
    }
    if (created) {
        memoText_.clear();
        activePage_ = -1;
        for (int kind = 0; kind < 4; ++kind) {
            unsortedInBox_[static_cast<std::size_t>(kind)] = true;
            view_->SetSortItems(views::PageHead(kind).sortBox, SortBoxItems(kind));
            view_->SetSortSelection(views::PageHead(kind).sortBox, 0);
        }
    }

    const bool plotSelected = selected_[1] >= 0 || selected_[3] >= 0;
    view_->SetClientWidth(plotSelected ? designWidth_ : NarrowWidth());
    ReselectBestGaussian();

    int page = -1;
    for (int kind = 0; kind < 4; ++kind)
        if (selected_[static_cast<std::size_t>(kind)] >= 0) page = kind;

    for (int kind = 0; kind < 4; ++kind) {
        const auto k = static_cast<std::size_t>(kind);
        const bool present = PagePresent(kind);
        view_->SetPagePresent(kind, present);
        if (!present) continue;
        const views::SignalPageHead head = views::PageHead(kind);
        const int count = ListSize(kind);
        view_->SetVisible(head.scrollBar, count > 1);
        view_->SetVisible(head.sortBox, count > 1);
        if (sortKeys_[k] == kNoSortKey) view_->SetSortSelection(head.sortBox, 0);
        view_->SetScrollRange(head.scrollBar, count - 1);
        // An unset index shows the first entry, one past the end the last.
        const int position = std::clamp(selected_[k], 0, count - 1);
        view_->SetScrollPosition(head.scrollBar, position);
        positions_[k] = position;
        RefreshPage(kind, position);
    }

    // A click that selected nothing, or a kind without a page: the first
    // page there is, at its own width.
    if (page < 0 || !PagePresent(page)) {
        page = -1;
        for (int kind = 0; kind < 4 && page < 0; ++kind)
            if (PagePresent(kind)) page = kind;
        if (page >= 0) view_->SetClientWidth(PageWidth(page));
    }
    activePage_ = page;
    if (page >= 0) view_->SetActivePage(page);
    view_->ShowWindow();
}

// Of the gaussians at the clicked one's drift rate, the one with the best
// score is the one worth seeing; the first of equals wins.
void SignalInfo::ReselectBestGaussian() {
    auto& list = lists_.GaussianList;
    const std::int32_t clicked = selected_[1];
    if (clicked < 0 || static_cast<std::size_t>(clicked) >= list.size()) return;
    const double chirpRate = list[static_cast<std::size_t>(clicked)].ChirpRate;
    std::size_t best = static_cast<std::size_t>(clicked);
    for (std::size_t i = 0; i < list.size(); ++i)
        if (list[i].ChirpRate == chirpRate && list[i].Score > list[best].Score) best = i;
    selected_[1] = static_cast<std::int32_t>(best);
}

void SignalInfo::PageControl1Change(int kind) {
    if (view_ == nullptr || kind < 0 || kind > 3) return;
    view_->FocusActivePage();
    activePage_ = kind;
    view_->SetClientWidth(PageWidth(kind));
}

void SignalInfo::ScrollBarChange(int kind, int position) {
    if (view_ == nullptr || kind < 0 || kind > 3) return;
    view_->FocusActivePage();
    positions_[static_cast<std::size_t>(kind)] = position;
    RefreshPage(kind, position);
}

void SignalInfo::SortBoxChange(int kind, int itemIndex) {
    if (view_ == nullptr || kind < 0 || kind > 3) return;
    const auto k = static_cast<std::size_t>(kind);
    view_->FocusActivePage();
    if (itemIndex == sortKeys_[k]) return;
    const SignalInfoControl box = views::PageHead(kind).sortBox;
    if (unsortedInBox_[k]) {
        // "Unsorted" only stands for the order as read: once the list is
        // sorted, no item can bring that order back.
        if (itemIndex == 0) return;
        unsortedInBox_[k] = false;
        std::vector<std::string> items = SortBoxItems(kind);
        items.erase(items.begin());
        --itemIndex;
        view_->SetSortItems(box, items);
        view_->SetSortSelection(box, itemIndex);
    }
    if (itemIndex < 0) return;
    sortKeys_[k] = static_cast<std::uint8_t>(itemIndex);
    SortSignalList(lists_, kind, sortKeys_[k]);
    RefreshPage(kind, positions_[k]);
    if (listsReordered_) listsReordered_();
}

// ------------------------------------------------------------------ pages

std::string SignalInfo::Decimals(double value, int decimals) const {
    return SignalDecimals(value, decimals, env_.decimalSeparator);
}

std::string SignalInfo::Full(double value) const {
    return SignalNumber(value, env_.decimalSeparator);
}

double SignalInfo::Resolution(std::int32_t fftLen) const {
    return figures_.SubbandSampleRate / fftLen;
}

double SignalInfo::Seconds(double time) const {
    return SignalSeconds(time, figures_.TimeRecorded);
}

PlotColors SignalInfo::Colors() const {
    const auto color = [](views::Rgb c) { return canvas::Color{c.r, c.g, c.b}; };
    return {color(view_->ButtonFaceColor()), color(view_->ButtonShadowColor()),
            color(view_->ButtonHighlightColor())};
}

void SignalInfo::RefreshPage(int kind, int position) {
    if (view_ == nullptr || position < 0 || position >= ListSize(kind)) return;
    const auto p = static_cast<std::size_t>(position);
    selected_[static_cast<std::size_t>(kind)] = position;
    switch (kind) {
        case 0:
            ShowNumber(kind, position, lists_.SpikeList[p].WorkUnit);
            FillPeakPage(lists_.SpikeList[p]);
            break;
        case 1:
            ShowNumber(kind, position, lists_.GaussianList[p].WorkUnit);
            FillGaussianPage(lists_.GaussianList[p]);
            break;
        case 2:
            ShowNumber(kind, position, lists_.TripletList[p].WorkUnit);
            FillTripletPage(lists_.TripletList[p]);
            break;
        default:
            ShowNumber(kind, position, lists_.PulseList[p].WorkUnit);
            FillPulsePage(lists_.PulseList[p]);
            break;
    }
}

void SignalInfo::ShowNumber(int kind, int position, std::int32_t workUnit) {
    static constexpr const char* kNames[] = {"Peak ", "Gaussian ", "Triplet ", "Pulse "};
    const SignalInfoControl label = views::PageHead(kind).numLabel;
    view_->SetText(label, kNames[kind] + std::to_string(position + 1) + " out of " +
                              std::to_string(ListSize(kind)));
    // Over all archived work units, the number tells which one it came from.
    const bool totals = env_.selector == clientfiles::SelectorView::Total;
    view_->SetHint(label, totals ? "Work Unit " + std::to_string(workUnit) : "");
}

void SignalInfo::FillPeakPage(const signals::TSpikeRec& spike) {
    view_->SetText(SignalInfoControl::PeakPowerLabel, Decimals(spike.Power, 3));
    view_->SetText(SignalInfoControl::PeakResLabel, Decimals(Resolution(spike.FftLen), 3) + " Hz");
    view_->SetText(SignalInfoControl::PowResLabel, Decimals(spike.Power * spike.FftLen / 16384, 3));
    view_->SetText(SignalInfoControl::PeakDriftLabel, Decimals(spike.ChirpRate, 4) + " Hz/s");
    view_->SetText(SignalInfoControl::PeakFreqLabel, Full(spike.Freq) + " Hz");
    view_->SetText(SignalInfoControl::PeakTimeLabel, Decimals(Seconds(spike.Time), 1) + " sec");

    // Rewritten only when it changes, so that stepping through peaks with
    // the same explanation neither flickers nor moves the caret.
    std::string explanation = PeakInterpretation(spike.Power, spike.Freq, spike.ChirpRate);
    if (explanation == memoText_) return;
    memoText_ = std::move(explanation);
    view_->SetText(SignalInfoControl::Memo1, memoText_);
}

void SignalInfo::FillGaussianPage(signals::TGaussianRec& gaussian) {
    // From here on the record keeps its time relative to the recording,
    // which the plot needs too.
    if (gaussian.Time > 0.01) gaussian.Time -= figures_.TimeRecorded;
    view_->SetText(SignalInfoControl::GausLabel1,
                   "Power " + Decimals(gaussian.Power, 3) + ", Fit " +
                       Decimals(gaussian.ChiSqr, 3) + ", Score " +
                       Decimals(gaussian.Power / gaussian.ChiSqr, 3) + ", Sigma " +
                       Decimals(gaussian.Sigma, 3) + " sec" + ", Resolution " +
                       Decimals(Resolution(gaussian.FftLen), 3) + " Hz");
    view_->SetText(SignalInfoControl::GausLabel2, "Drift Rate " + Decimals(gaussian.ChirpRate, 4) +
                                                      " Hz/s, Frequency " + Full(gaussian.Freq) +
                                                      " Hz, Time " +
                                                      Decimals(Seconds(gaussian.Time), 1) + " sec");
    DrawGaussianPlot(gaussian);
}

void SignalInfo::FillTripletPage(const signals::TTripletRec& triplet) {
    view_->SetText(SignalInfoControl::TripletPowerLabel, Decimals(triplet.Power, 3));
    view_->SetText(SignalInfoControl::TripletPeriodLabel, Decimals(triplet.Period, 3) + " sec");
    view_->SetText(SignalInfoControl::TripletResLabel,
                   Decimals(Resolution(triplet.FftLen), 3) + " Hz");
    view_->SetText(SignalInfoControl::TripletDriftLabel, Decimals(triplet.ChirpRate, 4) + " Hz/s");
    view_->SetText(SignalInfoControl::TripletFreqLabel, Full(triplet.Freq) + " Hz");
    view_->SetText(SignalInfoControl::TripletTimeLabel,
                   Decimals(Seconds(triplet.Time), 1) + " sec");
}

void SignalInfo::FillPulsePage(signals::TPulseRec& pulse) {
    if (pulse.Time > 0.01) pulse.Time -= figures_.TimeRecorded;
    view_->SetText(SignalInfoControl::PulseLabel1,
                   "Score " + Decimals(pulse.Score, 3) + ", Power " + Decimals(pulse.Power, 3) +
                       ", Period " + Decimals(pulse.Period, 5) + " sec, Resolution " +
                       Decimals(Resolution(pulse.FftLen), 3) + " Hz");
    view_->SetText(SignalInfoControl::PulseLabel2,
                   "Drift Rate " + Decimals(pulse.ChirpRate, 4) + " Hz/s, Frequency " +
                       Full(pulse.Freq) + " Hz, Time " + Decimals(Seconds(pulse.Time), 1) + " sec");
    DrawPulsePlot(pulse);
}

// Stepping from one gaussian without samples to the next leaves the notice
// and the empty frame alone: nothing on screen would change.
void SignalInfo::DrawGaussianPlot(const signals::TGaussianRec& gaussian) {
    if (lastGaussianNoPlot_ && !gaussian.HasPot) return;
    view_->SetVisible(SignalInfoControl::PlotAvailLabel, !gaussian.HasPot);
    view_->SetPicture(SignalInfoControl::GausGraph,
                      GaussianPlot(gaussian, figures_.WorkUnitSeconds, graphWidth_,
                                   view_->GraphHeight(SignalInfoControl::GausGraph), Colors()));
    lastGaussianNoPlot_ = !gaussian.HasPot;
}

void SignalInfo::DrawPulsePlot(const signals::TPulseRec& pulse) {
    const bool empty = pulse.Prof.empty();
    if (lastPulseNoPlot_ && empty) return;
    view_->SetVisible(SignalInfoControl::PulsePlotAvailLabel, empty);
    view_->SetPicture(
        SignalInfoControl::PulseGraph,
        PulsePlot(pulse, graphWidth_, view_->GraphHeight(SignalInfoControl::PulseGraph), Colors()));
    lastPulseNoPlot_ = empty;
}

}  // namespace inspection
