#include "monitor/SettingsStore.h"

#include "platform/Platform.h"
#include "signals/GraphMenus.h"
#include "views/Dialogs.h"

namespace monitor {

SettingsStore::LoadOutcome SettingsStore::LoadSettings(const std::string& programDir, bool first) {
    path_ = programDir + history::kSettingsFileName;

    if (!files_.FileExists(path_)) {
        if (first) {
            SaveSettings();
            return LoadOutcome::Written;
        }
        return LoadOutcome::Install;
    }

    const auto bytes = files_.ReadFile(path_, history::kSettingsRecordSize);
    if (!bytes) return LoadOutcome::Unreadable;
    // A short record gives no values; its version test then fails, which
    // asks for a reinstallation.
    if (bytes->size() == history::kSettingsRecordSize)
        values_ = history::DecodeSettingsRecord(*bytes);

    if (first) {
        SaveSettings();
        return LoadOutcome::Written;
    }
    menus_.ApplyGraphSettings(values_);
    if (history::HasCurrentSettingsVersion(*bytes)) return LoadOutcome::Current;

    // Versions before this one kept the cache size in one signed byte.
    if (values_.CacheSize == 0 && values_.OldCacheSize > 0) {
        values_.CacheSize = values_.OldCacheSize;
        values_.OldCacheSize = 0;
        SaveSettings();
    }
    return LoadOutcome::Install;
}

bool SettingsStore::SaveSettings() {
    history::TSettingsRec record = values_;
    if (record.SaveGraphSettings) menus_.CaptureGraphSettings(record);
    if (!files_.WriteFile(path_, history::EncodeSettingsRecord(record))) {
        dialogs_.ShowError("Cannot save the settings to \"" + path_ + "\".");
        return false;
    }
    values_ = record;
    return true;
}

}  // namespace monitor
