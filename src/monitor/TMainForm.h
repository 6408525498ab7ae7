#pragma once
// The main window. A passive view: Monitor decides everything and writes it
// through views::MainView; this class maps each views::Control to its widget
// or menu item and forwards the window's events (close, minimise, restore,
// menu commands, tray clicks, timer ticks) to Monitor.
//
// Every control sits at its place in the design, in pixels of a 575 x 458
// client area, and carries its component name (wxWindow::GetName), so tests
// and tools find widgets by the names the logic uses.

#include <wx/frame.h>
#include <wx/timer.h>
#include <wx/weakref.h>

#include <array>
#include <bitset>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "inspection/TSignalInfoForm.h"
#include "monitor/Monitor.h"
#include "platform/Platform.h"
#include "views/MainView.h"
#include "wxcommon/WxDialogs.h"

class wxCloseEvent;
class wxMouseEvent;
class wxIconizeEvent;
class wxMenu;
class wxMenuItem;
class wxPanel;
class wxStaticText;

namespace setup {
class WxTrayIcon;
}

namespace monitor {

class TMainForm : public wxFrame, public views::MainView {
public:
    // The services must outlive the window. The window starts hidden; Start()
    // runs the start-up sequence and says whether to show it.
    explicit TMainForm(platform::Services services);
    ~TMainForm() override;

    // Runs Monitor::FormCreate. On StartupResult::Terminate the caller
    // destroys the window (Destroy(); harmless when the logic's Terminate()
    // already did).
    StartupResult Start(const StartupOptions& options);
    // The process's exit code after Start ended with Terminate.
    int ExitCode() const { return monitor_->ExitCode(); }

    // views::MainView
    void SetText(views::Control c, std::string_view text) override;
    void SetHint(views::Control c, std::string_view hint) override;
    void SetVisible(views::Control c, bool visible) override;
    void SetEnabled(views::Control c, bool enabled) override;
    void SetChecked(views::Control c, bool checked) override;
    void SetFontColor(views::Control c, views::Rgb color) override;
    void SetUnderline(views::Control c, bool underlined) override;
    void AlignLabel(views::Control c, int right, int middle) override;
    void SetPicture(views::Control c, const canvas::Canvas& picture) override;
    void SetHandCursor(views::Control c, bool hand) override;
    void SetBounds(views::Control c, int left, int top, int width, int height) override;
    void SetGlyph(views::Control c, views::Glyph glyph) override;
    views::Rgb ButtonFaceColor() const override;
    void SetPosition(views::Control c, int position) override;
    void SetTimer(views::TimerId t, bool enabled) override;
    void AddSelectorItem(std::string_view item) override;
    void SelectSelectorItem(int index) override;
    void SetWindowTitle(std::string_view title) override;
    void SetApplicationTitle(std::string_view title) override;
    void ShowWindow(bool visible) override;
    void SetWindowEnabled(bool enabled) override { Enable(enabled); }
    void ShowTrayIcon(bool visible) override;
    void Terminate() override;
    views::SignalInfoView& OpenSignalInfo(views::SignalInfoEvents& events) override;

    // Tray-icon click and tray menu "Show".
    void Show1Click();
    // "E&xit" and tray menu "Exit".
    void Exit1Click();

    // The widget of a control (nullptr for menu items), and a menu item by
    // its component name ("Exit2", "ConnectMenu", "mx4"...), attached to its
    // menu or not (nullptr when there is no such item). For tests.
    wxWindow* ControlWindow(views::Control c) const;
    wxMenuItem* MenuItemByName(std::string_view name) const;
    // Whether a menu item is currently part of its menu (shown).
    bool MenuItemShown(std::string_view name) const;
    bool TimerRunning(views::TimerId t) const;
    bool TrayIconShown() const { return trayIconShown_; }
    setup::WxTrayIcon& TrayNotifyIcon() { return *TrayNotifyIcon_; }
    // The signal info window while it is open, else nullptr.
    inspection::TSignalInfoForm* SignalInfoForm() const { return signalInfoForm_; }

private:
    // A menu item and the menu it belongs in. wx cannot hide a menu item, so
    // a hidden one is removed from its menu and kept here until shown again.
    struct MenuEntry {
        std::string name;
        wxMenu* menu = nullptr;
        wxMenuItem* item = nullptr;
        bool attached = false;
    };
    struct ControlSlot {
        wxWindow* window = nullptr;
        int menuEntry = -1;
    };

    void CreateControls();
    void CreateMenus();
    void CreateTimers();
    wxPanel* AddPanel(views::Control c, int left, int top, int width, int height);
    wxStaticText* NewLabel(wxWindow* parent, const char* name, const wxString& text,
                           wxPoint position, int width = -1, long style = 0);
    wxStaticText* AddCaption(wxWindow* parent, const char* name, const wxString& text, int left,
                             int top);
    wxStaticText* AddValue(wxWindow* parent, views::Control c, const wxString& text, int left,
                           int top, int width, long style = 0);
    wxPoint At(wxWindow* parent, int left, int top) const;
    void Register(views::Control c, wxWindow* window);
    int AddMenuEntry(wxMenu* menu, std::string_view name, wxMenuItem* item, bool visible);
    wxMenuItem* AddMenuItem(wxMenu* menu, std::string_view name, const wxString& caption,
                            wxItemKind kind = wxITEM_NORMAL, bool visible = true,
                            int id = wxID_ANY);
    wxMenuItem* AddSubMenu(wxMenu* menu, std::string_view name, const wxString& caption,
                           wxMenu* subMenu);
    void AddSeparator(wxMenu* menu, bool visible = true);
    void ShowMenuEntry(int entry, bool visible);
    void EnableMenuEntry(int entry, bool enabled);
    void CheckMenuEntry(int entry, bool checked);
    wxMenuItem* MenuItemOf(views::Control c) const;
    const MenuEntry* FindMenuEntry(std::string_view name) const;
    wxTimer& TimerOf(views::TimerId t);

    // A command with a behaviour: a menu item, a clicked label or a button.
    void BindCommand(views::Control c, std::function<void()> handler, bool enabled = true);
    void BindGraphCommands();

    // Events.
    void ImageMouseMove(wxMouseEvent& event);
    void ImageMouseUp(wxMouseEvent& event);
    void FormClose(wxCloseEvent& event);
    void FormIconize(wxIconizeEvent& event);
    void Timer1Timer(wxTimerEvent& event);
    void Timer2Timer(wxTimerEvent& event);
    void Timer3Timer(wxTimerEvent& event);
    void Timer4Timer(wxTimerEvent& event);

    platform::Services services_;
    wxPanel* root_ = nullptr;
    std::array<ControlSlot, static_cast<std::size_t>(views::Control::Count)> controls_{};
    std::vector<MenuEntry> menuEntries_;
    // Commands whose handler exists; a command without one stays disabled
    // whatever the logic asks, so nothing offers an action that does nothing.
    std::bitset<static_cast<std::size_t>(views::Control::Count)> hasAction_;

    wxTimer Timer1_;
    wxTimer Timer2_;
    wxTimer Timer3_;
    wxTimer Timer4_;
    std::unique_ptr<setup::WxTrayIcon> TrayNotifyIcon_;
    bool trayIconShown_ = false;

    wxString windowTitle_;
    wxString applicationTitle_;
    bool minimized_ = false;
    // Set while the window stands minimised in for the tray (see ShowWindow).
    bool minimizedForTray_ = false;
    bool terminating_ = false;

    std::unique_ptr<wxcommon::WxDialogs> dialogs_;
    std::unique_ptr<Monitor> monitor_;
    // Gone (null) as soon as the window is destroyed, whoever closed it.
    wxWeakRef<inspection::TSignalInfoForm> signalInfoForm_;
};

}  // namespace monitor
