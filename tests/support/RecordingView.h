#pragma once
// A MainView that remembers the last state written to every control.

#include <array>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "canvas/Canvas.h"

#include "inspection/HeadlessSignalInfoView.h"
#include "views/MainView.h"

namespace testsupport {

class RecordingView : public views::MainView {
public:
    RecordingView();

    void SetText(views::Control c, std::string_view text) override;
    void SetHint(views::Control c, std::string_view hint) override;
    void SetVisible(views::Control c, bool visible) override;
    void SetEnabled(views::Control c, bool enabled) override;
    void SetChecked(views::Control c, bool checked) override;
    void SetFontColor(views::Control c, views::Rgb color) override;
    void SetUnderline(views::Control c, bool underlined) override;
    void SetPosition(views::Control c, int position) override;
    void AlignLabel(views::Control c, int right, int middle) override;
    void SetPicture(views::Control c, const canvas::Canvas& picture) override;
    void SetHandCursor(views::Control c, bool hand) override;
    void SetBounds(views::Control c, int left, int top, int width, int height) override;
    void SetGlyph(views::Control c, views::Glyph glyph) override;
    views::Rgb ButtonFaceColor() const override { return faceColor; }
    void SetTimer(views::TimerId t, bool enabled) override;
    void AddSelectorItem(std::string_view item) override;
    void SelectSelectorItem(int index) override;
    void SetWindowTitle(std::string_view title) override;
    void SetApplicationTitle(std::string_view title) override;
    void ShowWindow(bool visible) override;
    void ShowTrayIcon(bool visible) override;
    void SetWindowEnabled(bool enabled) override {
        windowEnabled = enabled;
        if (!enabled) ++windowDisabled;
    }
    void Terminate() override;
    views::SignalInfoView& OpenSignalInfo(views::SignalInfoEvents& events) override;

    struct ControlState {
        std::string text;
        std::string hint;
        bool visible = true;
        bool enabled = true;
        bool checked = false;
        views::Rgb color{};
        bool underlined = false;
        int position = 0;
        int textWrites = 0;
        int alignRight = 0, alignMiddle = 0;
        int pictureWrites = 0;
        int left = 0, top = 0, width = 0, height = 0;
        views::Glyph glyph = views::Glyph::ZoomOut;
        bool handCursor = false;
    };
    const ControlState& State(views::Control c) const;
    const std::string& Text(views::Control c) const { return State(c).text; }
    const std::string& Hint(views::Control c) const { return State(c).hint; }
    bool Visible(views::Control c) const { return State(c).visible; }
    bool Enabled(views::Control c) const { return State(c).enabled; }
    bool Checked(views::Control c) const { return State(c).checked; }
    bool TimerOn(views::TimerId t) const;

    // The last picture shown in each picture control, and how many times
    // Image got one.
    std::map<views::Control, canvas::Canvas> pictures;
    int pictureUpdates = 0;
    const canvas::Canvas* Picture(views::Control c = views::Control::Image) const {
        const auto it = pictures.find(c);
        return it == pictures.end() ? nullptr : &it->second;
    }
    views::Rgb faceColor{240, 240, 240};

    std::vector<std::string> selectorItems;
    int selectorIndex = -1;
    std::string windowTitle;
    std::string applicationTitle;
    bool windowShown = false;
    bool trayIconShown = false;
    bool terminated = false;
    bool windowEnabled = true;
    int windowDisabled = 0;  // how many times the window was disabled
    // Every signal info window opened, the last one open or closed.
    std::vector<std::unique_ptr<inspection::HeadlessSignalInfoView>> signalInfoWindows;
    inspection::HeadlessSignalInfoView* SignalInfoWindow() const {
        return signalInfoWindows.empty() ? nullptr : signalInfoWindows.back().get();
    }

private:
    std::array<ControlState, static_cast<std::size_t>(views::Control::Count)> controls_;
    std::map<views::TimerId, bool> timers_;
};

}  // namespace testsupport
