#include "cache/TCacheInfoForm.h"

#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "cache/CacheInfoForm.h"
#include "wxcommon/WxText.h"

namespace cache {

// Fixed size, centred on the screen, a caption without buttons.
TCacheInfoForm::TCacheInfoForm(wxWindow* parent, views::CacheInfoEvents& events)
    : wxDialog(parent, wxID_ANY, "Refreshing Cache", wxDefaultPosition, wxDefaultSize, wxCAPTION,
               "TCacheInfoForm"),
      events_(events),
      Timer1_(this) {
    const int gap = FromDIP(8);
    auto* grid = new wxFlexGridSizer(2, gap / 2, gap * 3);
    const auto row = [&](const char* caption, const char* captionName, const char* valueName) {
        grid->Add(new wxStaticText(this, wxID_ANY, caption, wxDefaultPosition, wxDefaultSize, 0,
                                   captionName));
        auto* value = new wxStaticText(this, wxID_ANY, "0", wxDefaultPosition,
                                       wxSize(FromDIP(40), -1), wxALIGN_RIGHT, valueName);
        grid->Add(value, 0, wxALIGN_RIGHT);
        return value;
    };
    OldWULabel_ = row("Results to send", "Label1", "OldWULabel");
    ToReceiveWULabel_ = row("Work units to receive", "Label2", "ToReceiveWULabel");
    ReceivedWULabel_ = row("Work units received", "Label3", "ReceivedWULabel");
    BitBtn1_ = new wxButton(this, wxID_CANCEL, "Cancel", wxDefaultPosition, wxDefaultSize, 0,
                            wxDefaultValidator, "BitBtn1");
    BitBtn1_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { events_.BitBtn1Click(*this); });
    // Escape is Cancel too; the close box there is none of.
    SetEscapeId(wxID_NONE);
    Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
        if (event.GetKeyCode() == WXK_ESCAPE)
            events_.BitBtn1Click(*this);
        else
            event.Skip();
    });
    Bind(wxEVT_CLOSE_WINDOW, [](wxCloseEvent& event) {
        if (event.CanVeto()) event.Veto();
    });
    Bind(wxEVT_TIMER, [this](wxTimerEvent&) { events_.Timer1Timer(*this); });

    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(grid, 0, wxEXPAND);
    column->AddSpacer(gap * 2);
    column->Add(BitBtn1_, 0, wxALIGN_CENTER_HORIZONTAL);
    auto* outer = new wxBoxSizer(wxVERTICAL);
    outer->Add(column, 1, wxEXPAND | wxALL, gap * 2);
    SetSizer(outer);

    events_.FormCreate(*this);
    Fit();
    SetMinSize(wxSize(std::max(GetSize().x, FromDIP(260)), GetSize().y));
    SetSize(GetMinSize());
    SetMaxSize(GetSize());
    CentreOnScreen();
}

TCacheInfoForm::~TCacheInfoForm() {
    Timer1_.Stop();
}

void TCacheInfoForm::Run() {
    if (closed_) return;
    Timer1_.Start(static_cast<int>(kTransferTick.count()));
    ShowModal();
    Timer1_.Stop();
}

void TCacheInfoForm::SetTitle(std::string_view title) {
    wxDialog::SetTitle(wxcommon::FromUtf8(title));
}

void TCacheInfoForm::SetText(views::CacheInfoLabel label, std::string_view text) {
    wxStaticText* target = label == views::CacheInfoLabel::OldWULabel         ? OldWULabel_
                           : label == views::CacheInfoLabel::ToReceiveWULabel ? ToReceiveWULabel_
                                                                              : ReceivedWULabel_;
    target->SetLabel(wxcommon::FromUtf8(text));
}

void TCacheInfoForm::Close() {
    closed_ = true;
    Timer1_.Stop();
    if (IsModal()) EndModal(wxID_OK);
}

}  // namespace cache
