#include "inspection/HeadlessSignalInfoView.h"

namespace inspection {

using views::SignalInfoControl;

namespace {
std::size_t Slot(SignalInfoControl c) {
    return static_cast<std::size_t>(c);
}
}  // namespace

HeadlessSignalInfoView::HeadlessSignalInfoView() {
    // The notices show only when a plot has nothing to show.
    controls_[Slot(SignalInfoControl::PlotAvailLabel)].visible = false;
    controls_[Slot(SignalInfoControl::PulsePlotAvailLabel)].visible = false;
}

const HeadlessSignalInfoView::ControlState& HeadlessSignalInfoView::State(
    SignalInfoControl c) const {
    return controls_[Slot(c)];
}

void HeadlessSignalInfoView::SetText(SignalInfoControl c, std::string_view text) {
    controls_[Slot(c)].text = text;
    ++controls_[Slot(c)].textWrites;
}

void HeadlessSignalInfoView::SetHint(SignalInfoControl c, std::string_view hint) {
    controls_[Slot(c)].hint = hint;
}

void HeadlessSignalInfoView::SetVisible(SignalInfoControl c, bool visible) {
    controls_[Slot(c)].visible = visible;
}

void HeadlessSignalInfoView::SetPagePresent(int kind, bool present) {
    if (kind >= 0 && kind < 4) pages_[static_cast<std::size_t>(kind)] = present;
}

bool HeadlessSignalInfoView::PagePresent(int kind) const {
    return kind >= 0 && kind < 4 && pages_[static_cast<std::size_t>(kind)];
}

void HeadlessSignalInfoView::SetActivePage(int kind) {
    activePage = kind;
}

void HeadlessSignalInfoView::SetScrollRange(SignalInfoControl c, int max) {
    controls_[Slot(c)].scrollMax = max;
}

void HeadlessSignalInfoView::SetScrollPosition(SignalInfoControl c, int position) {
    controls_[Slot(c)].scrollPosition = position;
}

void HeadlessSignalInfoView::SetSortItems(SignalInfoControl c,
                                          const std::vector<std::string>& items) {
    controls_[Slot(c)].items = items;
    controls_[Slot(c)].selection = -1;
}

void HeadlessSignalInfoView::SetSortSelection(SignalInfoControl c, int index) {
    controls_[Slot(c)].selection = index;
}

std::string HeadlessSignalInfoView::SortText(SignalInfoControl c) const {
    const ControlState& box = State(c);
    if (box.selection < 0 || static_cast<std::size_t>(box.selection) >= box.items.size()) return "";
    return box.items[static_cast<std::size_t>(box.selection)];
}

void HeadlessSignalInfoView::SetPicture(SignalInfoControl c, const canvas::Canvas& picture) {
    controls_[Slot(c)].picture = picture;
    ++controls_[Slot(c)].pictureWrites;
}

const canvas::Canvas* HeadlessSignalInfoView::Picture(SignalInfoControl c) const {
    const auto& picture = State(c).picture;
    return picture ? &*picture : nullptr;
}

void HeadlessSignalInfoView::CloseWindow() {
    closed = true;
    shown = false;
}

}  // namespace inspection
