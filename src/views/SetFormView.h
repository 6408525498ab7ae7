#pragma once
// What the settings dialog's logic (setup::SetForm) may do to the dialog
// ("Skyvane Settings"), and the events the dialog forwards to it.

#include <string>
#include <string_view>
#include <vector>

namespace views {

// The dialog's check boxes, by component name.
enum class SetCheck {
    CheckBox1,  // "Run Skyvane on startup"
    CheckBox2,  // "Start in tray"
    CheckBox3,  // "Save graph settings"
    CheckBox4,  // "Allow multiple instances"
    CheckBox5,  // "Alert on interesting signals && errors"
};

class SetFormView {
public:
    virtual ~SetFormView() = default;
    // RadioGroup1 "Run SETI@home on startup": its items, the selection (an
    // index into the items) and whether the user may change it.
    virtual void SetRadioItems(const std::vector<std::string>& items) = 0;
    virtual void SetRadioIndex(int index) = 0;
    virtual int RadioIndex() const = 0;
    virtual void SetRadioEnabled(bool enabled) = 0;
    virtual void SetChecked(SetCheck box, bool checked) = 0;
    virtual bool Checked(SetCheck box) const = 0;
    // Edit1, the client path.
    virtual void SetPathText(std::string_view text) = 0;
    virtual std::string PathText() const = 0;
    // Closes the dialog after OK was applied.
    virtual void Close() = 0;
};

class SetFormEvents {
public:
    virtual ~SetFormEvents() = default;
    // Fills the dialog when it opens.
    virtual void FormCreate(SetFormView& view) = 0;
    // OK: applies and saves, then closes the dialog, or tells the user why
    // not and leaves it open.
    virtual void BitBtn1Click(SetFormView& view) = 0;
};

}  // namespace views
