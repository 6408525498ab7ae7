#pragma once
// The about box's logic: the version text, the site link's colour that
// follows the mouse, and the link itself. TAboutForm forwards its events
// here. No wx here.

#include <string>

#include "platform/Platform.h"
#include "views/AboutView.h"

namespace setup {

// The link at rest, and while the mouse is over it.
inline constexpr views::Rgb kLinkColor{0, 0, 255};
inline constexpr views::Rgb kLinkHoverColor{0, 128, 0};

// "Version 3.42": the version this program writes into its settings.
std::string VersionText();

class AboutForm {
public:
    // Both must outlive the form.
    AboutForm(views::AboutView& view, platform::Shell& shell) : view_(view), shell_(shell) {}

    void FormCreate();
    // The mouse over the link, and over any other part of the window.
    void Label1MouseMove();
    void FormMouseMove();
    // Opens the product's site in the user's browser; a failure to start one
    // is not reported (there is nothing the user could do in this box).
    void Label1Click();

private:
    views::AboutView& view_;
    platform::Shell& shell_;
};

}  // namespace setup
