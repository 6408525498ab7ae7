// The skyvane program: the wx application object. It builds the platform
// services, creates the main window and lets it run the start-up sequence.

#include <wx/app.h>
#include <wx/frame.h>

#include <memory>

#include "monitor/Monitor.h"
#include "monitor/TMainForm.h"
#include "platform/Platform.h"
#include "wxcommon/WxAssert.h"

namespace {

class SkyvaneApp : public wxApp {
public:
    bool OnInit() override {
        // A failed wx assertion is reported on stderr; a dialog could hang a
        // run nobody watches.
        wxcommon::InstallStderrWxAssertHandler();
        SetAppName("Skyvane");
        SetAppDisplayName("Skyvane");
        // No wxApp::OnInit: its command-line parser would reject the
        // program's own words.
        platform_ = std::make_unique<platform::NativePlatform>();

        monitor::StartupOptions options;
        for (int i = 1; i < argc; ++i) {
            // The words as the command line gave them, 8-bit.
            const wxScopedCharBuffer word = argv[i].mb_str();
            options.args.emplace_back(word.data(), word.length());
        }

        auto* form = new monitor::TMainForm(platform_->services());
        SetTopWindow(form);
        switch (form->Start(options)) {
            case monitor::StartupResult::Terminate:
                // A second instance or a cancelled client dialog ends
                // quietly and successfully, without a window.
                form->Destroy();
                quitAtOnce_ = true;
                return true;
            case monitor::StartupResult::Hidden:
                break;
            case monitor::StartupResult::ShowWindow:
                form->Show();
                break;
        }
        return true;
    }

    int OnRun() override { return quitAtOnce_ ? 0 : wxApp::OnRun(); }

private:
    bool quitAtOnce_ = false;
    // Outlives the main window: wx destroys the application object last.
    std::unique_ptr<platform::NativePlatform> platform_;
};

}  // namespace

// Leaks inside the desktop's own libraries (font configuration, D-Bus, GLib
// caches held until exit) are not ours to fix; the leak checker of sanitized
// builds skips them.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n"
           "leak:libdbus-1.so\n"
           "leak:libglib-2.0.so\n"
           "leak:libgobject-2.0.so\n"
           "leak:libgtk-3.so\n"
           "leak:libgdk-3.so\n"
           "leak:libpango-1.0.so\n"
           "leak:libpangoft2-1.0.so\n"
           "leak:libcairo.so\n"
           "leak:libfreetype.so\n";
}

wxIMPLEMENT_APP(SkyvaneApp);
