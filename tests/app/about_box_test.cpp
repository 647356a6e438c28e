// The About box on the running frame: opened by the command or the Help
// menu, centred over the frame with the focus on OK, and closed by Enter,
// Escape, the OK button or its close box.
#include "app/about_box.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/app/gui_driver.h"
#include "tests/app/running_frame.h"
#include "tests/framework/input_script.h"

namespace brx::testing {
namespace {

HWND AboutBox() {
  for (HWND dialog : ThreadWindows("#32770"))
    if (WindowText(dialog) == "About") return dialog;
  return nullptr;
}

TEST(AboutBox, OpensCentredWithFocusOnOkAndClosesEveryWay) {
  auto by_command = [](HWND frame) -> Script::Step {
    return [frame] {
      PostMessageA(frame, WM_COMMAND, MAKEWPARAM(ID_APP_ABOUT, 0), 0);
      return true;
    };
  };
  const std::vector<Script::Step> by_menu{Keys({VK_MENU, 'H'}), Keys({'A'})};
  const struct {
    const char* name;
    bool from_menu;
    std::vector<Script::Step> close;
  } ways[] = {
      {"Enter", false, {Keys({VK_RETURN})}},
      {"Escape", false, {Keys({VK_ESCAPE})}},
      {"the OK button", false, {[] {
         Click(CentreOf(GetDlgItem(AboutBox(), IDOK)));
         return true;
       }}},
      {"the close box", false, {[] {
         POINT box{};
         EXPECT_TRUE(FindCloseBox(AboutBox(), box));
         Click(box);
         return true;
       }}},
      {"Escape, opened from the Help menu", true, {Keys({VK_ESCAPE})}},
  };
  for (const auto& way : ways) {
    RunningFrame running;
    HWND frame = running.hwnd();
    std::vector<Script::Step> steps;
    if (way.from_menu) {
      steps = by_menu;
    } else {
      steps.push_back(by_command(frame));
    }
    steps.push_back(Until([] { return GetFocus() == GetDlgItem(AboutBox(), IDOK); }));
    steps.push_back([&] {
      HWND box = AboutBox();
      EXPECT_EQ(GetWindow(box, GW_OWNER), frame) << way.name;
      EXPECT_FALSE(IsWindowEnabled(frame)) << way.name;  // modal
      const POINT box_centre = CentreOf(box), frame_centre = CentreOf(frame);
      EXPECT_LE(std::abs(box_centre.x - frame_centre.x), 1) << way.name;
      EXPECT_LE(std::abs(box_centre.y - frame_centre.y), 1) << way.name;
      EXPECT_EQ(GetFocus(), GetDlgItem(box, IDOK)) << way.name;
      return true;
    });
    steps.insert(steps.end(), way.close.begin(), way.close.end());
    steps.push_back([] { return AboutBox() == nullptr; });
    EXPECT_EQ(running.Run(steps, 10000), RunningFrame::kStepsDone) << way.name;
    EXPECT_TRUE(IsWindowEnabled(frame)) << way.name;
    EXPECT_TRUE(IsWindow(frame)) << way.name;
    // The keys are let go before the next frame.
    EXPECT_TRUE(running.RunUntil(gui_test::QueueDrained)) << way.name;
  }
}

TEST(AboutBox, ShowsTheProgramNameAndIcon) {
  RunningFrame running;
  std::string text;
  HWND icon = nullptr;
  running.Run({[&] {
                 PostMessageA(running.hwnd(), WM_COMMAND, MAKEWPARAM(ID_APP_ABOUT, 0), 0);
                 return true;
               },
               [] { return AboutBox() != nullptr; },
               [&] {
                 for (HWND child = GetWindow(AboutBox(), GW_CHILD); child;
                      child = GetWindow(child, GW_HWNDNEXT)) {
                   if (WindowText(child) == "BRXEDIT Application v1.0") text = WindowText(child);
                   if ((GetWindowLongPtrA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
                       SendMessageA(child, STM_GETICON, 0, 0))
                     icon = child;
                 }
                 EndDialog(AboutBox(), IDOK);
                 return true;
               },
               [] { return AboutBox() == nullptr; }});
  EXPECT_EQ(text, "BRXEDIT Application v1.0");
  EXPECT_NE(icon, nullptr);
}

}  // namespace
}  // namespace brx::testing
