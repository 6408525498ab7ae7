#pragma once
// A signal info window without a screen: it remembers the last state the
// logic gave every control, so that skyvane-cli can print what the window
// would show and tests can check it. Sizes and colours are those of the
// window as designed, on the classic Windows colours.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "canvas/Canvas.h"
#include "views/SignalInfoView.h"

namespace inspection {

class HeadlessSignalInfoView : public views::SignalInfoView {
public:
    HeadlessSignalInfoView();

    void SetText(views::SignalInfoControl c, std::string_view text) override;
    void SetHint(views::SignalInfoControl c, std::string_view hint) override;
    void SetVisible(views::SignalInfoControl c, bool visible) override;
    void SetPagePresent(int kind, bool present) override;
    void SetActivePage(int kind) override;
    void FocusActivePage() override { ++focusMoves; }
    void SetScrollRange(views::SignalInfoControl c, int max) override;
    void SetScrollPosition(views::SignalInfoControl c, int position) override;
    void SetSortItems(views::SignalInfoControl c, const std::vector<std::string>& items) override;
    void SetSortSelection(views::SignalInfoControl c, int index) override;
    void SetClientWidth(int width) override { clientWidth = width; }
    void SetPicture(views::SignalInfoControl c, const canvas::Canvas& picture) override;
    int DesignClientWidth() const override { return designClientWidth; }
    int DesignGraphWidth() const override { return designGraphWidth; }
    int GraphHeight(views::SignalInfoControl) const override { return graphHeight; }
    views::Rgb ButtonFaceColor() const override { return face; }
    views::Rgb ButtonShadowColor() const override { return shadow; }
    views::Rgb ButtonHighlightColor() const override { return highlight; }
    void ShowWindow() override { shown = true; }
    void CloseWindow() override;

    struct ControlState {
        std::string text;
        std::string hint;
        bool visible = true;
        int textWrites = 0;
        int scrollMax = 0;
        int scrollPosition = 0;
        std::vector<std::string> items;
        int selection = -1;
        std::optional<canvas::Canvas> picture;
        int pictureWrites = 0;
    };
    const ControlState& State(views::SignalInfoControl c) const;
    const std::string& Text(views::SignalInfoControl c) const { return State(c).text; }
    const std::string& Hint(views::SignalInfoControl c) const { return State(c).hint; }
    bool Visible(views::SignalInfoControl c) const { return State(c).visible; }
    // The item a sort box shows ("" when none).
    std::string SortText(views::SignalInfoControl c) const;
    const canvas::Canvas* Picture(views::SignalInfoControl c) const;
    bool PagePresent(int kind) const;

    // The window as designed: client area and plot width, plot height.
    int designClientWidth = 469;
    int designGraphWidth = 461;
    int graphHeight = 129;
    views::Rgb face{212, 208, 200};
    views::Rgb shadow{128, 128, 128};
    views::Rgb highlight{255, 255, 255};

    int clientWidth = 469;
    int activePage = -1;
    int focusMoves = 0;
    bool shown = false;
    bool closed = false;

private:
    std::array<ControlState, static_cast<std::size_t>(views::SignalInfoControl::Count)> controls_;
    std::array<bool, 4> pages_{true, true, true, true};
};

}  // namespace inspection
