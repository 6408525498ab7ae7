#pragma once
// What the about box's logic may do to its window (TAboutForm).

#include <string_view>

#include "views/MainView.h"

namespace views {

enum class AboutControl { ProductName, Version, Comments, Label1, Label2 };

class AboutView {
public:
    virtual ~AboutView() = default;
    virtual void SetText(AboutControl c, std::string_view text) = 0;
    virtual void SetFontColor(AboutControl c, Rgb color) = 0;
};

}  // namespace views
