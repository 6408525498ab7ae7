// The skyvane program: the wx application object. It builds the platform
// services, creates the main window and lets it run the start-up sequence.

#include <wx/app.h>
#include <wx/frame.h>
#include <wx/utils.h>

#include <CLI/CLI.hpp>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "history/SettingsRecord.h"
#include "monitor/Monitor.h"
#include "monitor/TMainForm.h"
#include "platform/Platform.h"
#include "wxcommon/WxAssert.h"

namespace {

// GTK opens OpenGL together with the display, to choose the visuals of GL
// windows, and no window of Skyvane's draws with GL. Where no graphics card
// stands behind the X server (Xvfb, many virtual machines and remote
// desktops) that loads Mesa's software renderer and LLVM with it: half the
// program's resident memory and about 200 ms of its start. GDK_GL=disable
// asks GTK not to. A value the user set is left alone; ours is taken back
// as soon as GTK has read it, so that the programs Skyvane starts (the
// client, a browser) never see it. Other toolkits ignore the variable.
bool gdkGlSetHere = false;

void KeepGtkFromOpenGl() {
    if (wxGetEnv("GDK_GL", nullptr)) return;
    gdkGlSetHere = wxSetEnv("GDK_GL", "disable");
}

void RestoreGtkOpenGlVariable() {
    if (std::exchange(gdkGlSetHere, false)) wxUnsetEnv("GDK_GL");
}

class SkyvaneApp : public wxApp {
public:
    bool OnInit() override {
        // GTK has opened the display by now.
        RestoreGtkOpenGlVariable();
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
                exitCode_ = form->ExitCode();
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

    int OnRun() override { return quitAtOnce_ ? exitCode_ : wxApp::OnRun(); }

private:
    bool quitAtOnce_ = false;
    int exitCode_ = 0;
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

namespace {

// --help and --version, answered before wx opens a display, so that they
// work on a terminal without one. Every other word, known or not, goes to
// the program as it always has: any argument switches off the
// single-instance test, and unknown words must not stop a start at logon.
// Returns the exit status when the command line asked only for information.
std::optional<int> AnswerInformationRequest(int argc, char** argv) {
    CLI::App app{
        "Skyvane follows the SETI@home client in its directory: the work unit's\n"
        "progress, the signals it finds on a drift-rate graph, the archive of finished\n"
        "work units and their totals. It starts and stops the client and lives in the\n"
        "notification area.\n",
        "skyvane"};
    app.set_version_flag("--version", "skyvane " + std::string(history::kSettingsVersion),
                         "print the version and exit");
    app.set_help_flag("-h,--help", "print this help and exit");
    app.get_formatter()->label("Usage", "usage");
    app.allow_extras();
    std::vector<std::string> words;
    app.add_option("WORD", words, "one of the words below")->type_name("");
    app.footer(
        "Words:\n"
        "  first       write the settings file with the defaults instead of asking\n"
        "  runclient   start the client and quit without a window\n"
        "  fixconnect, fixpath\n"
        "              repair an interrupted exchange with the server\n"
        "  uninstall   run the uninstaller\n"
        "Any word lets a second Skyvane start beside a running one.\n"
        "\n"
        "Environment:\n"
        "  SKYVANE_PROGRAM_DIR   settings and archive (default: the program's directory;\n"
        "                        ~/.local/share/skyvane when it is a bin directory)\n"
        "  SKYVANE_REGISTRY_DIR  the stand-in registry (default: ~/.config/skyvane/registry)\n"
        "  XDG_CONFIG_HOME       its autostart/ holds the start-at-logon entries\n"
        "\n"
        "See also skyvane-cli(1).");
    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& e) {
        return app.exit(e);
    } catch (const CLI::ParseError&) {
        // Not ours to judge: the program reads its words itself.
    }
    return std::nullopt;
}

}  // namespace

wxIMPLEMENT_APP_NO_MAIN(SkyvaneApp);

int main(int argc, char** argv) {
    if (const auto status = AnswerInformationRequest(argc, argv)) return *status;
    KeepGtkFromOpenGl();
    return wxEntry(argc, argv);
}
