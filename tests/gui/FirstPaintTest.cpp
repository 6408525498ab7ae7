// The start-up measurement's hook: the first paint of a window writes the
// wall-clock time into the file SKYVANE_FIRST_PAINT_FILE names, once, and
// nothing happens when the variable is unset.

#include <gtest/gtest.h>

#include <wx/frame.h>
#include <wx/stattext.h>
#include <wx/utils.h>

#include <chrono>
#include <cstdint>
#include <string>

#include "gui/GuiTestSupport.h"
#include "support/TempDir.h"
#include "wxcommon/WxFirstPaint.h"

namespace {

std::int64_t NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// A frame with one label, its hook bound while the variable names `path`
// (or is unset when `path` is empty).
wxFrame* FrameWithHook(const std::string& path) {
    if (path.empty())
        wxUnsetEnv("SKYVANE_FIRST_PAINT_FILE");
    else
        wxSetEnv("SKYVANE_FIRST_PAINT_FILE", wxString::FromUTF8(path));
    auto* frame = new wxFrame(nullptr, wxID_ANY, "First paint");
    new wxStaticText(frame, wxID_ANY, "A label");
    wxcommon::NoteFirstPaint(*frame);
    wxUnsetEnv("SKYVANE_FIRST_PAINT_FILE");
    return frame;
}

}  // namespace

TEST(FirstPaint, WritesTheTimeOfTheFirstPaintOnlyWhenAsked) {
    testsupport::TempDir dir;

    // GIVEN a window whose hook was asked for, WHEN it is shown and painted
    const std::int64_t before = NowNs();
    wxFrame* asked = FrameWithHook(dir.Path("painted"));
    asked->Show();
    ASSERT_TRUE(guitest::PumpUntil([&] { return !dir.Read("painted").empty(); }));
    const std::int64_t after = NowNs();
    // THEN the file holds the time of the paint on the clock scripts read
    const std::string text = dir.Read("painted");
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\n');
    const std::int64_t painted = std::stoll(text);
    EXPECT_GE(painted, before);
    EXPECT_LE(painted, after);

    // AND a later paint leaves it alone
    dir.Write("painted", "kept\n");
    asked->Refresh();
    asked->Update();
    guitest::Pump(200);
    EXPECT_EQ(dir.Read("painted"), "kept\n");

    // GIVEN a window whose hook was bound while the variable was unset, WHEN
    // it is painted after the variable names a file, THEN nothing is written
    wxFrame* unasked = FrameWithHook("");
    wxSetEnv("SKYVANE_FIRST_PAINT_FILE", wxString::FromUTF8(dir.Path("unasked")));
    unasked->Show();
    unasked->Refresh();
    unasked->Update();
    guitest::Pump(300);
    wxUnsetEnv("SKYVANE_FIRST_PAINT_FILE");
    EXPECT_FALSE(dir.Exists("unasked"));

    asked->Destroy();
    unasked->Destroy();
    guitest::Pump(50);
}
