#include "platform/hidden_window.h"

#include <gtest/gtest.h>
#include <windows.h>

#include "corvel/corvel.h"
#include "core/engine.h"

namespace cvl::platform {
namespace {

class HiddenWindow : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(start_hidden_window(GetModuleHandleA(nullptr), &engine().display_changed));
    CVL_IsDisplayChanged();  // whatever the desktop said while the window was made
  }
  void TearDown() override { stop_hidden_window(); }
  HWND window() const { return static_cast<HWND>(hidden_window()); }

  static void pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  }
};

TEST_F(HiddenWindow, IsFoundByItsClassAndTitleAndNeverShown) {
  EXPECT_EQ(FindWindowA("Velmont DLL window", "VM Internal WND"), window());
  EXPECT_FALSE(IsWindowVisible(window()));
}

TEST_F(HiddenWindow, APostedDisplayChangeSetsTheFlagOnce) {
  ASSERT_TRUE(PostMessageA(window(), WM_DISPLAYCHANGE, 32, MAKELPARAM(800, 600)));
  EXPECT_EQ(CVL_IsDisplayChanged(), 0);  // not yet dispatched
  pump();
  EXPECT_EQ(CVL_IsDisplayChanged(), 1);
  EXPECT_EQ(CVL_IsDisplayChanged(), 0);
}

TEST_F(HiddenWindow, OnlySettingsDisplayUserAndResumeMessagesCountAsChanges) {
  struct Case {
    UINT message;
    WPARAM wparam;
    int changed;
  };
  const Case cases[] = {
      {WM_WININICHANGE, 0, 1},   {WM_USERCHANGED, 0, 1},   {WM_DISPLAYCHANGE, 24, 1},
      {WM_ACTIVATEAPP, 1, 1},    {WM_ACTIVATEAPP, 7, 1},   {WM_ACTIVATEAPP, 0, 0},
      {WM_ACTIVATEAPP, 2, 0},    {WM_POWERBROADCAST, 7, 1}, {WM_POWERBROADCAST, 4, 0},
      {WM_POWERBROADCAST, 18, 0}, {WM_NULL, 0, 0},         {WM_TIMECHANGE, 0, 0},
  };
  for (const Case& c : cases) {
    SendMessageA(window(), c.message, c.wparam, 0);
    EXPECT_EQ(CVL_IsDisplayChanged(), c.changed) << "message " << c.message << " wparam " << c.wparam;
  }
}

TEST_F(HiddenWindow, StartingTwiceKeepsOneWindow) {
  HWND first = window();
  EXPECT_TRUE(start_hidden_window(GetModuleHandleA(nullptr), &engine().display_changed));
  EXPECT_EQ(window(), first);
}

}  // namespace
}  // namespace cvl::platform
