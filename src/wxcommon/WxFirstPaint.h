#pragma once
// A measuring hook: when the environment variable SKYVANE_FIRST_PAINT_FILE
// names a file, the first paint of a window writes the wall-clock time into
// it, once, as nanoseconds since 1970 (the clock `date +%s%N` reads). A
// script that notes the time just before it starts the program learns how
// long the program took to show something. Unset, nothing is bound.

class wxWindow;

namespace wxcommon {

// Binds the hook to `window`'s paint events, when the variable is set. Call
// it before the window is first shown.
void NoteFirstPaint(wxWindow& window);

}  // namespace wxcommon
