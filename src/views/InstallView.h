#pragma once
// The install/upgrade dialog (TInstallForm) as its logic sees it.

#include <string>
#include <string_view>

namespace views {

enum class InstallControl { Label1, Edit1, CheckBox1, CheckBox2, CheckBox3 };

class InstallView {
public:
    virtual ~InstallView() = default;
    virtual void SetText(InstallControl c, std::string_view text) = 0;
    // Edit1's text as typed (paths in the platform's 8-bit encoding).
    virtual std::string Text(InstallControl c) const = 0;
    virtual bool Checked(InstallControl c) const = 0;
    // Ends the dialog; ShowInstallForm returns.
    virtual void CloseDialog() = 0;
};

// The dialog's events, which its logic handles.
class InstallEvents {
public:
    virtual ~InstallEvents() = default;
    // Before the dialog shows. False: it must not show at all (the logic has
    // already decided how start-up ends).
    virtual bool FormCreate(InstallView& view) = 0;
    virtual void BitBtn1Click() = 0;  // OK
    virtual void BitBtn2Click() = 0;  // Cancel
    // The close box or Escape.
    virtual void FormClose() = 0;
};

}  // namespace views
