#include "signals/GraphMenus.h"

#include <algorithm>

#include "views/MainView.h"

namespace signals {

namespace {

using views::Control;

struct ScaleItem {
    std::uint8_t code;
    Control item;
};
constexpr ScaleItem kScaleItems[] = {{1, Control::mHalf}, {2, Control::MNormal},
                                     {4, Control::mx2},   {8, Control::mx4},
                                     {16, Control::mx8},  {32, Control::mx16}};

constexpr Control kKindItems[] = {Control::ShowSpikesMenu, Control::ShowGaussiansMenu,
                                  Control::ShowTripletsMenu, Control::ShowPulsesMenu};
constexpr Control kKindCaptions[] = {Control::Label14, Control::Label15, Control::Label17,
                                     Control::Label18};
constexpr Control kTotalItems[] = {Control::MenuTotalAll, Control::MenuTotalBest,
                                   Control::MenuTotalLast};

bool IsValidPriority(const std::array<std::uint8_t, 4>& priority) {
    for (std::size_t i = 0; i < priority.size(); ++i) {
        if (priority[i] >= kKindCount) return false;
        for (std::size_t j = i + 1; j < priority.size(); ++j)
            if (priority[i] == priority[j]) return false;
    }
    return true;
}

}  // namespace

void GraphMenus::CaptureGraphSettings(history::TSettingsRec& settings) const {
    settings.GraphScale = scaleCode_;
    // The upper four bits are set as well; readers ignore them.
    std::uint8_t hidden = 0xFF;
    for (int kind = 0; kind < kKindCount; ++kind)
        if (shown_[static_cast<std::size_t>(kind)]) hidden &= static_cast<std::uint8_t>(~(1u << kind));
    settings.HiddenKinds = hidden;
    settings.DotPlot = dotPlot_ ? 1 : 0;
    settings.TotalMode = totalMode_;
    settings.IgnoreFast = ignoreFast_;
    settings.SignalPriority = priority_;
}

void GraphMenus::ApplyGraphSettings(history::TSettingsRec& settings) {
    bool known = false;
    for (const ScaleItem& s : kScaleItems) known = known || s.code == settings.GraphScale;
    if (!known) settings.GraphScale = 2;
    CheckScale(settings.GraphScale);

    for (int kind = 0; kind < kKindCount; ++kind) {
        shown_[static_cast<std::size_t>(kind)] = (settings.HiddenKinds & (1u << kind)) == 0;
        view_.SetChecked(kKindItems[kind], shown_[static_cast<std::size_t>(kind)]);
    }

    if (settings.DotPlot <= 1) CheckPlot(settings.DotPlot == 1);

    CheckTotalMode(settings.TotalMode);

    ignoreFast_ = settings.IgnoreFast;
    view_.SetChecked(Control::MenuTotalIgnore, ignoreFast_);

    // A kind named twice (or not a kind at all) would leave another kind
    // out of the drawing order.
    priority_ = IsValidPriority(settings.SignalPriority) ? settings.SignalPriority
                                                         : kDesignPriority;
    ShowAxisKind();
}

void GraphMenus::CheckScale(std::uint8_t code) {
    scaleCode_ = code;
    for (const ScaleItem& s : kScaleItems) view_.SetChecked(s.item, s.code == code);
}

void GraphMenus::CheckTotalMode(std::uint8_t mode) {
    // Other values leave the menu as it is.
    if (mode < 1 || mode > 3) return;
    totalMode_ = mode;
    for (std::uint8_t m = 1; m <= 3; ++m) view_.SetChecked(kTotalItems[m - 1], m == totalMode_);
}

void GraphMenus::ToggleIgnoreFast() {
    ignoreFast_ = !ignoreFast_;
    view_.SetChecked(Control::MenuTotalIgnore, ignoreFast_);
}

void GraphMenus::ToggleKind(int kind) {
    if (kind < 0 || kind >= kKindCount) return;
    auto& shown = shown_[static_cast<std::size_t>(kind)];
    shown = !shown;
    view_.SetChecked(kKindItems[kind], shown);
}

void GraphMenus::CheckPlot(bool dots) {
    dotPlot_ = dots;
    view_.SetChecked(Control::LinesMenu, !dotPlot_);
    view_.SetChecked(Control::DotsMenu, dotPlot_);
}

void GraphMenus::MoveToTop(int kind) {
    if (kind < 0 || kind >= kKindCount) return;
    // The other three keep their order.
    auto it = std::find(priority_.begin(), priority_.end(), static_cast<std::uint8_t>(kind));
    if (it != priority_.end()) std::rotate(it, it + 1, priority_.end());
    ShowAxisKind();
}

void GraphMenus::ShowAxisKind() {
    for (int kind = 0; kind < kKindCount; ++kind)
        view_.SetUnderline(kKindCaptions[kind], kind == AxisKind());
}

}  // namespace signals
