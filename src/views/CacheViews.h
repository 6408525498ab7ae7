#pragma once
// What the logic of the two cache windows may do to them, and the events
// the windows forward: the cache dialog ("Work Unit Cache", TCacheForm) and
// the progress window of a transfer (TCacheInfoForm).

#include <string>
#include <string_view>

namespace views {

// ------------------------------------------------------- progress window

enum class CacheInfoLabel {
    OldWULabel,        // "Results to send"
    ToReceiveWULabel,  // "Work units to receive"
    ReceivedWULabel,   // "Work units received"
};

class CacheInfoView {
public:
    virtual ~CacheInfoView() = default;
    virtual void SetTitle(std::string_view title) = 0;
    virtual void SetText(CacheInfoLabel label, std::string_view text) = 0;
    // Ends the modal loop; the window is destroyed.
    virtual void Close() = 0;
};

class CacheInfoEvents {
public:
    virtual ~CacheInfoEvents() = default;
    virtual void FormCreate(CacheInfoView& view) = 0;
    // Every 500 ms while the window is open.
    virtual void Timer1Timer(CacheInfoView& view) = 0;
    // "Cancel".
    virtual void BitBtn1Click(CacheInfoView& view) = 0;
};

// --------------------------------------------------------- cache dialog

enum class CacheFormControl {
    CheckBox1,    // "Use cache"
    SpinEdit1,    // future cache size
    RadioGroup1,  // "If the cache is empty"
    CheckBox2,    // "Use additional parameters for text client"
    Edit1,        // additional parameters
    Label5,       // current cache size
    Label6,       // processed work units
    Label7,       // remaining work units
};

class CacheFormView {
public:
    virtual ~CacheFormView() = default;
    virtual void SetText(CacheFormControl c, std::string_view text) = 0;
    virtual std::string Text(CacheFormControl c) const = 0;
    virtual void SetChecked(CacheFormControl c, bool checked) = 0;
    virtual bool Checked(CacheFormControl c) const = 0;
    virtual void SetVisible(CacheFormControl c, bool visible) = 0;
    virtual void SetEnabled(CacheFormControl c, bool enabled) = 0;
    // SpinEdit1's value and RadioGroup1's selection.
    virtual void SetSpinValue(int value) = 0;
    virtual int SpinValue() const = 0;
    virtual void SetRadioIndex(int index) = 0;
    virtual int RadioIndex() const = 0;
    // Moves the OK and Cancel buttons below the lowest visible input and
    // fits the window's height to them.
    virtual void LayOutBottom() = 0;
    virtual void Close() = 0;
};

class CacheFormEvents {
public:
    virtual ~CacheFormEvents() = default;
    virtual void FormCreate(CacheFormView& view) = 0;
    virtual void CheckBox1Click(CacheFormView& view) = 0;
    virtual void CheckBox2Click(CacheFormView& view) = 0;
    // OK: saves and closes.
    virtual void BitBtn1Click(CacheFormView& view) = 0;
};

}  // namespace views
