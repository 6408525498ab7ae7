#pragma once
// The progress window of one cache transfer: three figures, Cancel, and a
// 500 ms timer that asks the logic (cache::CacheInfoForm) whether the
// client has done its part. No title-bar buttons: Cancel is the way out.

#include <wx/dialog.h>
#include <wx/timer.h>

#include "views/CacheViews.h"

class wxButton;
class wxStaticText;

namespace cache {

class TCacheInfoForm : public wxDialog, public views::CacheInfoView {
public:
    TCacheInfoForm(wxWindow* parent, views::CacheInfoEvents& events);
    ~TCacheInfoForm() override;

    // views::CacheInfoView
    void SetTitle(std::string_view title) override;
    void SetText(views::CacheInfoLabel label, std::string_view text) override;
    void Close() override;

    // Runs the window modally until the logic closes it.
    void Run();

private:
    views::CacheInfoEvents& events_;
    wxStaticText* OldWULabel_ = nullptr;
    wxStaticText* ToReceiveWULabel_ = nullptr;
    wxStaticText* ReceivedWULabel_ = nullptr;
    wxButton* BitBtn1_ = nullptr;
    wxTimer Timer1_;
    bool closed_ = false;
};

}  // namespace cache
