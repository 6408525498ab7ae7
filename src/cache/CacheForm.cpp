#include "cache/CacheForm.h"

#include <algorithm>

namespace cache {

using views::CacheFormControl;

std::string CutUtf8(std::string_view text, std::size_t limit) {
    if (text.size() <= limit) return std::string(text);
    std::size_t end = limit;
    // Back to the start of the character the cut would split.
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end;
    return std::string(text.substr(0, end));
}

void CacheForm::FormCreate(views::CacheFormView& view) {
    auto& cache = c_.cache;
    const auto& s = c_.settings;
    cache.CountCache();
    const auto& n = cache.Counters();
    view.SetText(CacheFormControl::Label5, std::to_string(n.CacheTotal));
    view.SetText(CacheFormControl::Label6, std::to_string(n.CachedResults));
    view.SetText(CacheFormControl::Label7, std::to_string(n.CacheTotal - n.CachedResults));

    const bool useCache = s.CacheSize > 0;
    view.SetChecked(CacheFormControl::CheckBox1, useCache);
    view.SetSpinValue(useCache ? std::clamp<int>(s.CacheSize, kMinCacheSize, kMaxCacheSize)
                               : kDefaultCacheSize);

    const bool text = c_.client.Kind() == client::ClientKind::Text;
    const bool params = text && !s.ClientParams.empty();
    view.SetChecked(CacheFormControl::CheckBox2, params);
    view.SetText(CacheFormControl::Edit1, text ? s.ClientParams : std::string());
    view.SetVisible(CacheFormControl::CheckBox2, text);
    view.SetVisible(CacheFormControl::Edit1, params);
    view.LayOutBottom();

    view.SetRadioIndex(s.AutoConnect ? 1 : 0);
    view.SetEnabled(CacheFormControl::SpinEdit1, useCache);
    view.SetEnabled(CacheFormControl::RadioGroup1, useCache);
}

void CacheForm::CheckBox1Click(views::CacheFormView& view) {
    const bool on = view.Checked(CacheFormControl::CheckBox1);
    for (auto c : {CacheFormControl::SpinEdit1, CacheFormControl::RadioGroup1,
                   CacheFormControl::CheckBox2, CacheFormControl::Edit1})
        view.SetEnabled(c, on);
}

void CacheForm::CheckBox2Click(views::CacheFormView& view) {
    view.SetVisible(CacheFormControl::Edit1, view.Checked(CacheFormControl::CheckBox2));
    view.LayOutBottom();
}

ClientShortcut CacheForm::Shortcut() const {
    const std::string& dir = c_.client.ClientPath();
    std::string arguments =
        " " + std::string(client::kStopAfterProcess) + " " + c_.settings.ClientParams;
    return {"SETI@home", dir + c_.client.ClientExeName(), dir, CutUtf8(arguments, 121)};
}

void CacheForm::BitBtn1Click(views::CacheFormView& view) {
    auto& s = c_.settings;
    const bool text = c_.client.Kind() == client::ClientKind::Text;
    s.ClientParams = text && view.Checked(CacheFormControl::CheckBox2)
                         ? CutUtf8(view.Text(CacheFormControl::Edit1), kMaxClientParams)
                         : std::string();
    s.CacheSize =
        view.Checked(CacheFormControl::CheckBox1)
            ? static_cast<std::int16_t>(std::clamp(view.SpinValue(), kMinCacheSize, kMaxCacheSize))
            : 0;
    s.AutoConnect = view.RadioIndex() == 1;
    c_.saveSettings();

    const auto& n = c_.cache.Counters();
    c_.mainView.SetVisible(views::Control::ConnectMenu,
                           n.CachedResults > 0 || n.CacheTotal < s.CacheSize);
    if (text && s.CacheSize > 0 && c_.createShortcut && c_.createShortcut(Shortcut()))
        c_.dialogs.ShowInformation(msg::kShortcutCreated);
    view.Close();
}

}  // namespace cache
