#include "RecordingView.h"

namespace testsupport {

namespace {
std::size_t Slot(views::Control c) { return static_cast<std::size_t>(c); }
}  // namespace

RecordingView::RecordingView() {
    // Panels and notices that the window hides at design time.
    for (auto c : {views::Control::UserPanel, views::Control::TotalInfoPanel,
                   views::Control::NoSignalsLabel, views::Control::ZoomBtn,
                   views::Control::ConnectMenu})
        controls_[Slot(c)].visible = false;
}

const RecordingView::ControlState& RecordingView::State(views::Control c) const {
    return controls_[Slot(c)];
}

void RecordingView::SetText(views::Control c, std::string_view text) {
    controls_[Slot(c)].text = text;
    ++controls_[Slot(c)].textWrites;
}
void RecordingView::SetHint(views::Control c, std::string_view hint) {
    controls_[Slot(c)].hint = hint;
}
void RecordingView::SetVisible(views::Control c, bool visible) {
    controls_[Slot(c)].visible = visible;
}
void RecordingView::SetEnabled(views::Control c, bool enabled) {
    controls_[Slot(c)].enabled = enabled;
}
void RecordingView::SetChecked(views::Control c, bool checked) {
    controls_[Slot(c)].checked = checked;
}
void RecordingView::SetFontColor(views::Control c, views::Rgb color) {
    controls_[Slot(c)].color = color;
}
void RecordingView::SetUnderline(views::Control c, bool underlined) {
    controls_[Slot(c)].underlined = underlined;
}
void RecordingView::SetPosition(views::Control c, int position) {
    controls_[Slot(c)].position = position;
}
void RecordingView::AlignLabel(views::Control c, int right, int middle) {
    controls_[Slot(c)].alignRight = right;
    controls_[Slot(c)].alignMiddle = middle;
}
void RecordingView::SetPicture(views::Control c, const canvas::Canvas& shown) {
    pictures.insert_or_assign(c, shown);
    ++controls_[Slot(c)].pictureWrites;
    if (c == views::Control::Image) ++pictureUpdates;
}
void RecordingView::SetBounds(views::Control c, int left, int top, int width, int height) {
    ControlState& state = controls_[Slot(c)];
    state.left = left;
    state.top = top;
    if (width >= 0) state.width = width;
    if (height >= 0) state.height = height;
}
void RecordingView::SetGlyph(views::Control c, views::Glyph glyph) {
    controls_[Slot(c)].glyph = glyph;
}
void RecordingView::SetHandCursor(views::Control c, bool hand) {
    controls_[Slot(c)].handCursor = hand;
}
void RecordingView::SetTimer(views::TimerId t, bool enabled) { timers_[t] = enabled; }
bool RecordingView::TimerOn(views::TimerId t) const {
    auto it = timers_.find(t);
    return it != timers_.end() && it->second;
}
void RecordingView::AddSelectorItem(std::string_view item) { selectorItems.emplace_back(item); }
void RecordingView::SelectSelectorItem(int index) { selectorIndex = index; }
void RecordingView::SetWindowTitle(std::string_view title) { windowTitle = title; }
void RecordingView::SetApplicationTitle(std::string_view title) { applicationTitle = title; }
void RecordingView::ShowWindow(bool visible) { windowShown = visible; }
void RecordingView::ShowTrayIcon(bool visible) { trayIconShown = visible; }
void RecordingView::Terminate() { terminated = true; }
views::SignalInfoView& RecordingView::OpenSignalInfo(views::SignalInfoEvents&) {
    signalInfoWindows.push_back(std::make_unique<inspection::HeadlessSignalInfoView>());
    return *signalInfoWindows.back();
}

}  // namespace testsupport
