#include "io/copy_paste.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "io/new_rgba.h"
#include "platform/clipboard.h"
#include "support/canvas_fixture.h"

namespace cvl {
namespace {

class Clipboard : public test::CanvasTest {
 protected:
  void SetUp() override {
    make_canvas(64, 48, 32);
    platform::clipboard_clear();
    CVL_SetHostCallbacks(nullptr);
  }
  void TearDown() override {
    platform::clipboard_clear();
    CVL_SetHostCallbacks(nullptr);
    test::CanvasTest::TearDown();
  }
  // A layer whose every pixel differs, with low bytes zero so 8-bit round trips are exact.
  void paint_pattern(int slot) {
    test::give_slot_pixels(slot, 0, 0, 0, 0);
    Layer& l = e().slot(slot);
    for (int y = 0; y < l.height; ++y)
      for (int x = 0; x < l.width; ++x) {
        uint16_t* p = test::pixel_at(l, x, y);
        p[0] = uint16_t((x * 4) << 8), p[1] = uint16_t((y * 5) << 8), p[2] = uint16_t(((x ^ y) & 255) << 8);
        p[3] = uint16_t((128 + (x + y) % 128) << 8);
      }
  }
  std::vector<uint8_t> clipboard_picture(int& w, int& h) {
    if (!CVL_FromClipboard()) return {};
    w = CVL_GetNewRGBAWidth(), h = CVL_GetNewRGBAHeight();
    std::vector<uint8_t> px(size_t(w) * h * 4);
    CVL_GetNewRGBA32(px.data());
    return px;
  }
  // Paste a w x h opaque picture of one colour through a caller copy.
  void put_solid(int w, int h, uint8_t r, uint8_t g, uint8_t b) {
    std::vector<uint8_t> img(size_t(w) * h * 4);
    for (size_t i = 0; i < img.size(); i += 4) img[i] = r, img[i + 1] = g, img[i + 2] = b, img[i + 3] = 255;
    CVL_EnableMask(0);
    CVL_RGBA32ToClipboardRect(img.data(), 0, 0, w, h);
  }
  int painted_columns(int slot, int y) {
    int n = 0;
    for (int x = 0; x < e().slot(slot).width; ++x) n += test::read_pixel(e().slot(slot), x, y)[3] != 0;
    return n;
  }
};

TEST_F(Clipboard, CopyingALayerAndPastingItIntoAnotherGivesTheSamePixels) {
  paint_pattern(2);
  test::give_slot_pixels(3, 0, 0, 0, 0);
  CVL_SetLayer(2);
  CVL_ToClipboard();
  EXPECT_FALSE(e().ipl.src32) << "the copy frees the source it made";
  CVL_SetLayer(3);
  ASSERT_EQ(CVL_FromClipboardInto(0, 0, 0), 1);
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x)
      ASSERT_EQ(test::read_pixel(e().slot(3), x, y), test::read_pixel(e().slot(2), x, y)) << x << "," << y;
  EXPECT_FALSE(new_rgba().pixels) << "a paste ends by deleting the new-RGBA picture";
}

TEST_F(Clipboard, UnselectedPixelsGoOutTransparentWhileTheMaskIsEnabled) {
  paint_pattern(2);
  CVL_SetLayer(2);
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 32; ++x) e().mask[size_t(y) * 64 + x] = 0;
  CVL_EnableMask(1);
  CVL_ToClipboard();
  int w = 0, h = 0;
  const std::vector<uint8_t> px = clipboard_picture(w, h);
  ASSERT_EQ(w, 64);
  ASSERT_EQ(h, 48);
  EXPECT_EQ(px[(10 * 64 + 5) * 4 + 3], 0);
  EXPECT_EQ(px[(10 * 64 + 40) * 4 + 3], test::read_pixel(e().slot(2), 40, 10)[3] >> 8);
  EXPECT_EQ(px[(10 * 64 + 40) * 4 + 0], 160);
}

TEST_F(Clipboard, RectangleCopyTakesAbsoluteDifferencesOfCornersInAnyOrder) {
  paint_pattern(2);
  CVL_SetLayer(2);
  CVL_EnableMask(0);
  const struct {
    int x1, y1, x2, y2;
  } corners[] = {{30, 40, 10, 10}, {10, 10, 30, 40}, {30, 10, 10, 40}};
  for (const auto& c : corners) {
    CVL_ToClipboardRect(c.x1, c.y1, c.x2, c.y2);
    int w = 0, h = 0;
    const std::vector<uint8_t> px = clipboard_picture(w, h);
    ASSERT_EQ(w, 20);
    ASSERT_EQ(h, 30);
    EXPECT_EQ(px[0], 40) << "first pixel is canvas (10, 10)";
    EXPECT_EQ(px[1], 50);
  }
  // Running off the canvas copies transparency there, never past the layer.
  CVL_ToClipboardRect(50, 40, 80, 60);
  int w = 0, h = 0;
  const std::vector<uint8_t> px = clipboard_picture(w, h);
  ASSERT_EQ(w, 30);
  EXPECT_NE(px[3], 0);
  EXPECT_EQ(px[(5 * 30 + 20) * 4 + 3], 0);
}

TEST_F(Clipboard, CentredPasteOfAnOddWidthPutsTheLeftEdgeHalfAWidthLeft) {
  test::give_slot_pixels(3, 0, 0, 0, 0);
  make_canvas(200, 20, 32);
  test::give_slot_pixels(3, 0, 0, 0, 0);
  CVL_SetLayer(3);
  put_solid(101, 3, 255, 0, 0);
  ASSERT_EQ(CVL_FromClipboardInto(60, 5, 1), 1);
  EXPECT_EQ(test::read_pixel(e().slot(3), 9, 4)[3], 0);
  EXPECT_EQ(test::read_pixel(e().slot(3), 10, 4)[0], 65280);
  EXPECT_EQ(test::read_pixel(e().slot(3), 110, 4)[0], 65280);
  EXPECT_EQ(test::read_pixel(e().slot(3), 111, 4)[3], 0);
}

TEST_F(Clipboard, Ex2ScalesTheLongerSideToTheSizeGiven) {
  make_canvas(400, 100, 32);
  const struct {
    int size, want_w, want_h;
  } cases[] = {{200, 200, 50}, {1, 1, 1}, {400, 400, 100}};
  for (const auto& c : cases) {
    test::give_slot_pixels(3, 0, 0, 0, 0);
    CVL_SetLayer(3);
    put_solid(400, 100, 0, 255, 0);
    CVL_FromClipboardIntoEX2(0, 0, c.size, 0, 0, 0);
    int32_t l = 0, t = 0, r = 0, b = 0;
    CVL_FindDataExtentsLayer(3, &l, &t, &r, &b);
    EXPECT_EQ(r - l + 1, c.want_w) << c.size;
    EXPECT_EQ(b - t + 1, c.want_h) << c.size;
  }
}

TEST_F(Clipboard, Ex2CompositesOnlyThePartOnTheCanvas) {
  test::give_slot_pixels(3, 0, 0, 0, 0);
  CVL_SetLayer(3);
  std::vector<uint8_t> img(100 * 4 * 4);
  for (int x = 0; x < 100; ++x)
    for (int y = 0; y < 4; ++y) {
      uint8_t* p = &img[(size_t(y) * 100 + x) * 4];
      p[0] = uint8_t(x), p[1] = 0, p[2] = 0, p[3] = 255;
    }
  CVL_EnableMask(0);
  CVL_RGBA32ToClipboardRect(img.data(), 0, 0, 100, 4);
  CVL_FromClipboardIntoEX2(-50, 2, 100, 360, 0, 0);  // 360 means no turn here
  EXPECT_EQ(test::read_pixel(e().slot(3), 0, 2)[0], 50 << 8);
  EXPECT_EQ(test::read_pixel(e().slot(3), 13, 5)[0], 63 << 8);
  EXPECT_EQ(test::read_pixel(e().slot(3), 13, 1)[3], 0);
  EXPECT_EQ(painted_columns(3, 3), 50);
}

TEST_F(Clipboard, ExScalesByTheFactorAndTurnsByTheAngle) {
  test::give_slot_pixels(3, 0, 0, 0, 0);
  CVL_SetLayer(3);
  put_solid(10, 4, 0, 0, 255);
  CVL_FromClipboardIntoEX(0, 0, 2.0f, 0, 0, 0);
  int32_t l = 0, t = 0, r = 0, b = 0;
  CVL_FindDataExtentsLayer(3, &l, &t, &r, &b);
  EXPECT_EQ(r - l + 1, 20);
  EXPECT_EQ(b - t + 1, 8);
  test::give_slot_pixels(3, 0, 0, 0, 0);
  put_solid(10, 4, 0, 0, 255);
  CVL_FromClipboardIntoEX(0, 0, 1.0f, 90, 0, 0);
  CVL_FindDataExtentsLayer(3, &l, &t, &r, &b);
  EXPECT_EQ(r - l + 1, 4);
  EXPECT_EQ(b - t + 1, 10);
}

TEST_F(Clipboard, PastingWithoutAPictureChangesNothing) {
  test::give_slot_pixels(3, 100, 200, 300, 65535);
  CVL_SetLayer(3);
  EXPECT_EQ(CVL_FromClipboard(), 0);
  EXPECT_EQ(CVL_FromClipboardInto(0, 0, 0), 0);
  CVL_FromClipboardIntoEX(0, 0, 1.0f, 0, 0, 1);
  CVL_FromClipboardIntoEX2(0, 0, 10, 0, 0, 1);
  EXPECT_EQ(test::read_pixel(e().slot(3), 3, 3), (test::Pixel{100, 200, 300, 65535}));
}

TEST_F(Clipboard, DamagedClipboardBlockLeavesTheEarlierPicture) {
  put_solid(8, 8, 1, 2, 3);
  ASSERT_EQ(CVL_FromClipboard(), 1);
  std::vector<uint8_t> truncated(60, 0);
  truncated[0] = 40, truncated[4] = 200, truncated[8] = 200, truncated[12] = 1, truncated[14] = 32;
  platform::clipboard_put_dib(truncated);
  EXPECT_EQ(CVL_FromClipboard(), 0);
  EXPECT_EQ(CVL_GetNewRGBAWidth(), 8);
}

struct Bridge {
  std::vector<uint8_t> published;
  std::vector<uint8_t> desktop;
};

TEST_F(Clipboard, AHostBridgesTheDesktopClipboardIncludingTwentyFourBitPictures) {
  Bridge bridge;
  // A 2 x 1 bottom-up 24-bit DIB as desktop programs put it there: blue then white.
  bridge.desktop.assign(40 + 8, 0);
  bridge.desktop[0] = 40, bridge.desktop[4] = 2, bridge.desktop[8] = 1, bridge.desktop[12] = 1;
  bridge.desktop[14] = 24;
  const uint8_t bits[8] = {255, 0, 0, 255, 255, 255, 0, 0};
  std::memcpy(bridge.desktop.data() + 40, bits, 8);
  CVL_HostCallbacks table{};
  table.size = sizeof table;
  table.user_data = &bridge;
  table.clipboard_set_dib = [](void* u, const uint8_t* dib, uint32_t size) {
    static_cast<Bridge*>(u)->published.assign(dib, dib + size);
  };
  table.clipboard_get_dib = [](void* u, uint32_t* size) -> const uint8_t* {
    auto* b = static_cast<Bridge*>(u);
    *size = uint32_t(b->desktop.size());
    return b->desktop.data();
  };
  CVL_SetHostCallbacks(&table);
  put_solid(3, 2, 9, 9, 9);
  ASSERT_EQ(bridge.published.size(), 40u + 3 * 2 * 4);
  EXPECT_EQ(bridge.published[14], 32);
  int w = 0, h = 0;
  const std::vector<uint8_t> px = clipboard_picture(w, h);
  ASSERT_EQ(w, 2);
  ASSERT_EQ(h, 1);
  EXPECT_EQ((std::vector<uint8_t>(px.begin(), px.end())), (std::vector<uint8_t>{0, 0, 255, 255, 255, 255, 255, 255}));
}

TEST_F(Clipboard, ScreenCaptureWithoutADisplayFails) {
  const char* display = std::getenv("DISPLAY");
  if (display && *display) GTEST_SKIP() << "a display is open";
  EXPECT_EQ(CVL_ScreenCapture(), 0);
  EXPECT_EQ(CVL_ScreenCaptureInto(), 0);
}

}  // namespace
}  // namespace cvl
