#pragma once
// Texts between the logic (8-bit strings) and wx (wxString). Window files
// only.

#include <wx/platinfo.h>
#include <wx/string.h>

#include <string>
#include <string_view>

namespace wxcommon {

// The logic's screen texts are UTF-8.
inline wxString FromUtf8(std::string_view text) {
    return wxString::FromUTF8(text.data(), text.size());
}

inline std::string ToUtf8(const wxString& text) {
    const wxScopedCharBuffer bytes = text.utf8_str();
    return std::string(bytes.data(), bytes.length());
}

// Paths are 8-bit in the platform's own encoding: the ANSI code page on
// Windows, UTF-8 elsewhere (whatever the locale says, so that a C locale
// under CI does not lose characters).
inline bool PathsAreAnsi() {
    return (wxPlatformInfo::Get().GetOperatingSystemId() & wxOS_WINDOWS) != 0;
}

inline std::string PathFromWx(const wxString& path) {
    if (!PathsAreAnsi()) return ToUtf8(path);
    const wxScopedCharBuffer bytes = path.mb_str(wxConvLibc);
    return std::string(bytes.data(), bytes.length());
}

inline wxString PathToWx(std::string_view path) {
    if (!PathsAreAnsi()) return FromUtf8(path);
    return wxString(path.data(), wxConvLibc, path.size());
}

}  // namespace wxcommon
