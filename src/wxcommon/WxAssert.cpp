#include "wxcommon/WxAssert.h"

#include <wx/debug.h>
#include <wx/string.h>

#include <cstdio>
#include <utility>

namespace wxcommon {

namespace {

// wx takes a plain function pointer, so the callback has to live somewhere
// the pointer can reach: one per process, like wx's own handler.
std::function<void(const WxAssertReport&)>& AssertCallback() {
    static std::function<void(const WxAssertReport&)> callback;
    return callback;
}

std::string Utf8(const wxString& text) {
    const wxScopedCharBuffer bytes = text.utf8_str();
    return std::string(bytes.data(), bytes.length());
}

void OnWxAssert(const wxString& file, int line, const wxString& function, const wxString& condition,
                const wxString& message) {
    const WxAssertReport report{Utf8(file), line, Utf8(function), Utf8(condition), Utf8(message)};
    if (AssertCallback()) AssertCallback()(report);
}

}  // namespace

std::string WxAssertReport::ToString() const {
    std::string text = file + ":" + std::to_string(line) + ": " + function + ": assert \"" +
                       condition + "\" failed";
    if (!message.empty()) text += ": " + message;
    return text;
}

void InstallWxAssertHandler(std::function<void(const WxAssertReport&)> onAssert) {
    AssertCallback() = std::move(onAssert);
    wxSetAssertHandler(&OnWxAssert);
}

void InstallStderrWxAssertHandler() {
    InstallWxAssertHandler([](const WxAssertReport& report) {
        std::fprintf(stderr, "wx: %s\n", report.ToString().c_str());
    });
}

}  // namespace wxcommon
