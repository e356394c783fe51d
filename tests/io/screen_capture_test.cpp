// Screen capture from a real X server: a private Xvfb started for the test.
#include <gtest/gtest.h>

#ifdef CORVEL_HAVE_X11
#include <X11/Xlib.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "support/canvas_fixture.h"

namespace cvl {
namespace {

class XvfbScreen : public test::CanvasTest {
 protected:
  void SetUp() override {
    test::CanvasTest::SetUp();
    if (std::system("command -v Xvfb >/dev/null 2>&1") != 0) GTEST_SKIP() << "Xvfb is not installed";
    const char* old = std::getenv("DISPLAY");
    if (old) saved_display_ = old;
    display_name_ = ":" + std::to_string(90 + getpid() % 9);
    server_ = fork();
    if (server_ == 0) {
      execlp("Xvfb", "Xvfb", display_name_.c_str(), "-screen", "0", "320x200x24", "-nolisten", "tcp",
             static_cast<char*>(nullptr));
      _exit(127);
    }
    setenv("DISPLAY", display_name_.c_str(), 1);
    for (int i = 0; i < 100 && !display_; ++i) {
      display_ = XOpenDisplay(display_name_.c_str());
      if (!display_) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (!display_) GTEST_SKIP() << "Xvfb did not start";
  }
  void TearDown() override {
    if (display_) XCloseDisplay(display_);
    if (server_ > 0) {
      kill(server_, SIGTERM);
      waitpid(server_, nullptr, 0);
    }
    if (saved_display_.empty())
      unsetenv("DISPLAY");
    else
      setenv("DISPLAY", saved_display_.c_str(), 1);
    test::CanvasTest::TearDown();
  }
  // Paints a rectangle straight onto the root window.
  void fill_root(int x, int y, int w, int h, unsigned long rgb) {
    const Window root = DefaultRootWindow(display_);
    GC gc = XCreateGC(display_, root, 0, nullptr);
    XSetForeground(display_, gc, rgb);
    XFillRectangle(display_, root, gc, x, y, unsigned(w), unsigned(h));
    XFreeGC(display_, gc);
    XSync(display_, False);
  }

  pid_t server_ = -1;
  Display* display_ = nullptr;
  std::string display_name_, saved_display_;
};

TEST_F(XvfbScreen, CaptureHasTheScreenSizeAndWhatWasDrawnThere) {
  fill_root(0, 0, 320, 200, 0x000000);
  fill_root(100, 50, 20, 10, 0xFF8000);
  ASSERT_EQ(CVL_ScreenCapture(), 1);
  ASSERT_EQ(CVL_GetNewRGBAWidth(), 320);
  ASSERT_EQ(CVL_GetNewRGBAHeight(), 200);
  std::vector<uint8_t> px(320 * 200 * 4);
  CVL_GetNewRGBA32(px.data());
  const uint8_t* inside = &px[(55 * 320 + 110) * 4];
  EXPECT_EQ(inside[0], 255);
  EXPECT_EQ(inside[1], 128);
  EXPECT_EQ(inside[2], 0);
  EXPECT_EQ(inside[3], 255);
  EXPECT_EQ(px[(45 * 320 + 110) * 4], 0);

  make_canvas(320, 200, 32);
  test::give_slot_pixels(2, 0, 0, 0, 0);
  CVL_SetLayer(2);
  CVL_EnableMask(0);
  ASSERT_EQ(CVL_ScreenCaptureInto(), 1);
  EXPECT_EQ(test::read_pixel(e().slot(2), 110, 55), (test::Pixel{65280, 32768, 0, 65280}));
}

}  // namespace
}  // namespace cvl
#endif
