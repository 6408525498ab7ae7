#pragma once
// wx's assertion handler, replaced so that a failed wx assertion never opens
// its dialog: under CI or in a test nobody would close it and the run would
// hang.

#include <functional>
#include <string>

namespace wxcommon {

// One failed wx assertion. Texts are UTF-8.
struct WxAssertReport {
    std::string file;
    int line = 0;
    std::string function;
    std::string condition;
    std::string message;

    // "file:line: function: assert "condition" failed: message"
    std::string ToString() const;
};

// From now on every failed wx assertion calls `onAssert` (on the thread that
// failed) instead of showing a dialog; the program goes on after it returns.
// Replaces any handler installed before.
void InstallWxAssertHandler(std::function<void(const WxAssertReport&)> onAssert);

// The application's handler: prints the report to stderr and goes on.
void InstallStderrWxAssertHandler();

}  // namespace wxcommon
