#pragma once
// The cache dialog's logic ("Work Unit Cache"): the state of the current
// batch, the batch size, what happens when the cache runs dry, and extra
// parameters for a text client. Nothing changes before OK. No wx here:
// TCacheForm shows it.

#include <functional>
#include <string>

#include "cache/WorkUnitCache.h"
#include "client/ClientControl.h"
#include "history/SettingsRecord.h"
#include "views/CacheViews.h"
#include "views/Dialogs.h"
#include "views/MainView.h"

namespace cache {

inline constexpr int kMinCacheSize = 2;
inline constexpr int kMaxCacheSize = 999;
inline constexpr int kDefaultCacheSize = 5;
inline constexpr std::size_t kMaxClientParams = 100;

// The desktop shortcut that starts a text client so that it stops after
// each work unit.
struct ClientShortcut {
    std::string name;              // "SETI@home"
    std::string target;            // the client's executable
    std::string workingDirectory;  // the client directory
    std::string arguments;         // " -stop_after_process " + extra parameters
};

class CacheForm : public views::CacheFormEvents {
public:
    struct Context {
        WorkUnitCache& cache;
        history::TSettingsRec& settings;
        client::ClientControl& client;
        views::Dialogs& dialogs;
        views::MainView& mainView;
        std::function<bool()> saveSettings;
        // Creates or replaces the shortcut; empty where there is no service
        // for shortcuts (nothing is created then and nothing said).
        std::function<bool(const ClientShortcut&)> createShortcut;
    };

    explicit CacheForm(Context context) : c_(std::move(context)) {}

    void FormCreate(views::CacheFormView& view) override;
    void CheckBox1Click(views::CacheFormView& view) override;
    void CheckBox2Click(views::CacheFormView& view) override;
    void BitBtn1Click(views::CacheFormView& view) override;

    // The shortcut OK asks for with these settings.
    ClientShortcut Shortcut() const;

private:
    Context c_;
};

// At most `limit` bytes of `text`, never ending inside a UTF-8 character.
std::string CutUtf8(std::string_view text, std::size_t limit);

}  // namespace cache
