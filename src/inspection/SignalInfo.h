#pragma once
// The logic of the signal info window: one signal at a time with all its
// figures, stepping through the signals of a kind, sorting the shared lists,
// a plain-language explanation of peaks, and the gaussian and pulse plots.
// It decides everything and writes the outcome to a views::SignalInfoView;
// TSignalInfoForm only forwards its events here.

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "clientfiles/Readers.h"
#include "inspection/Plots.h"
#include "inspection/SignalSort.h"
#include "signals/SignalRecords.h"
#include "views/SignalInfoView.h"

namespace inspection {

// ------------------------------------------------------------------ texts

// A number as the window shows it "full": at most 15 significant digits, no
// trailing zeros, `decimalSeparator` as the decimal point; exponent form
// ("1.5E-6", "1E15") below 0.00001 and from 10^15 on.
std::string SignalNumber(double value, char decimalSeparator);
// `value` with `decimals` decimals (halves to even), shown as above: 2.50
// with 2 decimals is "2.5".
std::string SignalDecimals(double value, int decimals, char decimalSeparator);

// Seconds since the recording began of a signal whose Time (days) is
// `time`: a Time of at most 0.01 is already relative to the recording, a
// larger one is a Julian date and counts from `timeRecorded`.
double SignalSeconds(double time, double timeRecorded);

// What a peak of relative power `power` at `frequency` Hz and `driftRate`
// Hz/s is likely to be: a test signal, known interference, an error, or a
// signal whose frequency is or is not suspiciously round.
std::string PeakInterpretation(double power, double frequency, double driftRate);

// ------------------------------------------------------------------ window

class SignalInfo : public views::SignalInfoEvents {
public:
    // Creates the signal info window when it is not open and returns its
    // view; the window's events go to `events`.
    using OpenWindow = std::function<views::SignalInfoView&(views::SignalInfoEvents& events)>;

    // The lists, the selected indices (-1: none), the figures and the
    // readers' environment are the main window's and outlive this object.
    // `listsReordered` runs after a sort: the graph renews its hit table
    // without drawing.
    SignalInfo(OpenWindow openWindow, signals::SignalLists& lists,
               std::array<std::int32_t, 4>& selected, const clientfiles::ClientFigures& figures,
               const clientfiles::ReaderEnvironment& env, std::function<void()> listsReordered);
    ~SignalInfo() override;
    SignalInfo(const SignalInfo&) = delete;
    SignalInfo& operator=(const SignalInfo&) = delete;

    // After a click on the graph has set the selected indices: opens the
    // window on the selection, or shows the open one anew.
    void ShowSignalInfo();
    // Closes the window if it is open; the main window does so before it
    // frees or trims the lists.
    void CloseSignalInfo();
    bool IsOpen() const { return view_ != nullptr; }

    // views::SignalInfoEvents
    void PageControl1Change(int kind) override;
    void ScrollBarChange(int kind, int position) override;
    void SortBoxChange(int kind, int itemIndex) override;
    void FormClose() override;

    // The pages for scroll position `position` (0-based). A position outside
    // the list (the lists changed under the window) changes nothing.
    void RefreshPeakPage(int position) { RefreshPage(0, position); }
    void RefreshGaussianPage(int position) { RefreshPage(1, position); }
    void RefreshTripletPage(int position) { RefreshPage(2, position); }
    void RefreshPulsePage(int position) { RefreshPage(3, position); }

    // The sort key last applied to a kind's list in this window's life
    // (kNoSortKey: none).
    std::uint8_t SortKey(int kind) const;
    // The window's width as designed and the plots' width, remembered when
    // the window was first created (0 before).
    int DesignWidth() const { return designWidth_; }
    int GraphWidth() const { return graphWidth_; }
    // The width of the narrow pages, Peaks and Triplets.
    int NarrowWidth() const;
    // The page shown (a kind), -1 when there is none.
    int ActivePage() const { return activePage_; }

private:
    void Initialise(bool created);
    bool PagePresent(int kind) const;
    int ListSize(int kind) const;
    int PageWidth(int kind) const;
    void ReselectBestGaussian();
    void RefreshPage(int kind, int position);
    void ShowNumber(int kind, int position, std::int32_t workUnit);
    void FillPeakPage(const signals::TSpikeRec& spike);
    void FillGaussianPage(signals::TGaussianRec& gaussian);
    void FillTripletPage(const signals::TTripletRec& triplet);
    void FillPulsePage(signals::TPulseRec& pulse);
    void DrawGaussianPlot(const signals::TGaussianRec& gaussian);
    void DrawPulsePlot(const signals::TPulseRec& pulse);
    PlotColors Colors() const;
    std::string Decimals(double value, int decimals) const;
    std::string Full(double value) const;
    double Resolution(std::int32_t fftLen) const;
    double Seconds(double time) const;
    // What closing the window resets.
    void ResetWindowState();

    OpenWindow openWindow_;
    signals::SignalLists& lists_;
    std::array<std::int32_t, 4>& selected_;
    const clientfiles::ClientFigures& figures_;
    const clientfiles::ReaderEnvironment& env_;
    std::function<void()> listsReordered_;

    // The open window, or none.
    views::SignalInfoView* view_ = nullptr;

    // For the program's run.
    int designWidth_ = 0;
    int graphWidth_ = 0;
    // For the window's life.
    std::array<std::uint8_t, 4> sortKeys_{kNoSortKey, kNoSortKey, kNoSortKey, kNoSortKey};
    bool lastGaussianNoPlot_ = false;
    bool lastPulseNoPlot_ = false;
    // For one window: what it shows.
    std::string memoText_;
    std::array<bool, 4> unsortedInBox_{};
    std::array<int, 4> positions_{};
    int activePage_ = -1;
};

}  // namespace inspection
