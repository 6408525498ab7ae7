#pragma once
// Loading and saving "Skyvane.set" in the program directory.

#include <string>

#include "history/SettingsRecord.h"

namespace platform {
class Files;
}
namespace views {
class Dialogs;
}
namespace signals {
class GraphMenus;
}

namespace monitor {

class SettingsStore {
public:
    SettingsStore(platform::Files& files, views::Dialogs& dialogs, signals::GraphMenus& menus)
        : files_(files), dialogs_(dialogs), menus_(menus) {}

    enum class LoadOutcome {
        Current,     // a record of this version was loaded
        Unreadable,  // the file exists but could not be opened: defaults stay
        Install,     // first run or an older record: the install dialog is due
        Written,     // "first": the file was written from the values in memory
    };

    // Reads the record of `programDir` (with trailing separator). `first`
    // writes the file instead of asking for installation.
    LoadOutcome LoadSettings(const std::string& programDir, bool first);
    // Writes the whole record, with the graph menus when the user asked for
    // that. On failure the user is told and the values in memory stay as
    // they were; returns false.
    bool SaveSettings();

    history::TSettingsRec& Values() { return values_; }
    const history::TSettingsRec& Values() const { return values_; }

private:
    platform::Files& files_;
    views::Dialogs& dialogs_;
    signals::GraphMenus& menus_;
    std::string path_;
    history::TSettingsRec values_;
};

}  // namespace monitor
