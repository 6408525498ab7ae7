#pragma once
// The state of the graph's menus (scale, signal kinds, lines or dots,
// totals) and the signal priority, kept by the logic and shown as check
// marks, and their exchange with the settings record.

#include <array>
#include <cstdint>

#include "history/SettingsRecord.h"

namespace views {
class MainView;
}

namespace signals {

// Signal kind codes, wherever a kind is stored or passed.
enum SignalKind : std::uint8_t { kSpike = 0, kGaussian = 1, kTriplet = 2, kPulse = 3 };
inline constexpr int kKindCount = 4;

// Gaussians on top, then pulses, triplets, spikes.
inline constexpr std::array<std::uint8_t, 4> kDesignPriority{kSpike, kTriplet, kPulse, kGaussian};

class GraphMenus {
public:
    explicit GraphMenus(views::MainView& view) : view_(view) {}

    // Copies the menus into the record's graph fields.
    void CaptureGraphSettings(history::TSettingsRec& settings) const;
    // Puts the record's graph fields into the menus. An unknown scale code
    // becomes 2 (in the record too); a priority that repeats a kind, or names
    // no kind, gives the design's drawing order.
    void ApplyGraphSettings(history::TSettingsRec& settings);

    // The user's choices in the menus and on the best-signal captions.
    void CheckScale(std::uint8_t code);
    void ToggleKind(int kind);
    void CheckPlot(bool dots);
    // `kind` becomes the axis kind and is drawn on top of the others.
    void MoveToTop(int kind);
    // Which signals the totals collect: 1 all, 2 best five, 3 last twenty.
    void CheckTotalMode(std::uint8_t mode);
    void ToggleIgnoreFast();

    std::uint8_t ScaleCode() const { return scaleCode_; }
    // Vertical scale factor of the scale code: 0.5 to 16.
    double ScaleFactor() const { return scaleCode_ / 2.0; }
    bool KindShown(int kind) const { return shown_[static_cast<std::size_t>(kind)]; }
    bool DotPlot() const { return dotPlot_; }
    std::uint8_t TotalMode() const { return totalMode_; }
    bool IgnoreFast() const { return ignoreFast_; }
    const std::array<std::uint8_t, 4>& SignalPriority() const { return priority_; }
    // The kind whose scale the vertical axis shows: the highest priority.
    int AxisKind() const { return priority_.back(); }

    // Underlines the caption of the axis kind, and only it.
    void ShowAxisKind();

private:

    views::MainView& view_;
    std::uint8_t scaleCode_ = 2;
    std::array<bool, 4> shown_{true, true, true, true};
    bool dotPlot_ = false;
    std::uint8_t totalMode_ = 1;
    bool ignoreFast_ = false;
    std::array<std::uint8_t, 4> priority_ = kDesignPriority;
};

}  // namespace signals
