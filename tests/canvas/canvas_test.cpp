#include "canvas/canvas.h"

#include <gtest/gtest.h>

#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

#include "support/canvas_fixture.h"

namespace cvl {
namespace {

using Canvas = test::CanvasTest;

TEST_F(Canvas, SizesOutsideTheRangeBecomeOneHundred) {
  struct Case {
    int w, h, want_w, want_h;
  } cases[] = {{-5, 20000, 100, 100}, {0, 7, 0, 7}, {10000, 1, 10000, 1}, {10001, -1, 100, 100}};
  for (const Case& c : cases) {
    CVL_DeleteImage();
    CVL_CreateImage(nullptr, c.w, c.h, 4, 0);
    EXPECT_EQ(e().canvas_width, c.want_w) << c.w;
    EXPECT_EQ(e().canvas_height, c.want_h) << c.h;
    EXPECT_EQ(e().row_stride32, c.want_w * 4);
    CVL_NewSize(nullptr, c.w, c.h, 4, 0);
    EXPECT_EQ(e().canvas_width, c.want_w);
    EXPECT_EQ(e().canvas_height, c.want_h);
  }
}

TEST_F(Canvas, NewCanvasHasAnOpenEnabledMaskAndResetView) {
  CVL_SetScale(3, 2);
  CVL_SetOffset(5, 6);
  CVL_CreateImage(nullptr, 16, 12, 32, 9);
  for (size_t i = 0; i < e().canvas_pixels(); ++i) ASSERT_EQ(e().mask[i], 65535);
  EXPECT_EQ(e().mask_enabled, 1);
  EXPECT_EQ(e().tracing_mode, 0);
  EXPECT_EQ(e().mask_stride, 32);
  EXPECT_EQ(e().view_scale_x, 1);
  EXPECT_EQ(e().view_scale_y, 1);
  EXPECT_EQ(e().view_offset_x, 0);
  EXPECT_EQ(e().view_offset_y, 0);
  EXPECT_EQ(e().trace_layer, &e().slot(kTraceSlot));
  EXPECT_EQ(e().current_layer, nullptr);
  EXPECT_EQ(e().brush_capacity_stride, 128);
  EXPECT_EQ(e().blend_buffer.row_stride, 128);
  EXPECT_EQ(e().reserved_arg, 9);
  EXPECT_EQ(e().undo_memory, 16 * 12 * 10 / 1024);
  for (auto& grit : e().grit_buffers) EXPECT_EQ(grit.size(), size_t{57 * 57});
  EXPECT_EQ(e().brush_alpha.size(), size_t{32 * 32});
  // The first quarter of the blend buffer is cleared.
  for (size_t i = 0; i < 32 * 32; ++i) ASSERT_EQ(e().blend_buffer.pixels[i], 0);
}

TEST_F(Canvas, NewSizeMakesAFreshMaskAndKeepsLayers) {
  test::give_slot_pixels(2, 1, 2, 3, 4);
  e().mask[0] = 7;
  CVL_SetOffset(5, 6);
  CVL_NewSize(nullptr, 20, 10, 8, 0);
  EXPECT_EQ(e().mask[0], 65535);
  EXPECT_EQ(e().mask.size(), size_t{200});
  EXPECT_TRUE(e().slot(2).has_pixels());
  EXPECT_EQ(e().view_offset_x, 0);
  EXPECT_EQ(e().undo_memory, 200 * 10 / 1024);
}

TEST_F(Canvas, DeleteImageReleasesEverythingAndCanRunTwice) {
  test::give_slot_pixels(5, 1, 2, 3, 4);
  e().texture_map = Buffer<uint8_t>(e().canvas_pixels());
  CVL_DeleteImage();
  EXPECT_FALSE(e().mask);
  EXPECT_FALSE(e().texture_map);
  EXPECT_FALSE(e().under_layer.pixels);
  EXPECT_FALSE(e().brush_alpha);
  EXPECT_FALSE(e().slot(5).has_pixels());
  EXPECT_EQ(e().undo_memory, 0);
  CVL_DeleteImage();
  EXPECT_FALSE(e().mask);
}

TEST(LastError, KeepsAtMost511CharactersAndStaysTerminated) {
  const std::string longer(600, 'x');
  CVL_SetLastError(longer.c_str());
  EXPECT_EQ(std::string(CVL_GetLastError()), std::string(511, 'x'));
  CVL_SetLastError("short");
  EXPECT_STREQ(CVL_GetLastError(), "short");
  EXPECT_EQ(CVL_GetLastError()[6], '\0');  // padded, not left with the old text
  CVL_SetLastError(nullptr);
  EXPECT_STREQ(CVL_GetLastError(), "");
}

TEST(HostUtilities, StartDirIgnoresOverlongPathsAndNull) {
  CVL_SetStartDir("/srv/paint");
  CVL_SetStartDir(std::string(1024, 'a').c_str());
  CVL_SetStartDir(nullptr);
  EXPECT_STREQ(engine().start_dir, "/srv/paint");
  const std::string longest(1023, 'b');
  CVL_SetStartDir(longest.c_str());
  EXPECT_EQ(std::string(engine().start_dir), longest);
}

TEST(HostUtilities, DisplayChangeIsReportedOnce) {
  CVL_IsDisplayChanged();
  EXPECT_EQ(CVL_IsDisplayChanged(), 0);
  CVL_NotifyDisplayChanged();
  EXPECT_EQ(CVL_IsDisplayChanged(), 1);
  EXPECT_EQ(CVL_IsDisplayChanged(), 0);
}

TEST(HostUtilities, MemcpyIsOverlapSafeAndSkipsNull) {
  char buf[] = "abcdef";
  CVL_Memcpy(buf + 1, buf, 4);
  EXPECT_STREQ(buf, "aabcdf");
  CVL_Memcpy(nullptr, buf, 3);
  CVL_Memcpy(buf, nullptr, 3);
  EXPECT_STREQ(buf, "aabcdf");
  void* block = CVL_Alloc(16);
  ASSERT_NE(block, nullptr);
  CVL_Free(block);
  CVL_Free(nullptr);
  int x = 0;
  EXPECT_EQ(BankAdrs(&x), &x);
}

TEST(HostUtilities, UndoLevelsAreCappedAndFiguresAreSane) {
  EXPECT_EQ(CVL_SetUndoLevels(900), 500);
  EXPECT_EQ(CVL_SetUndoLevels(20), 20);
  EXPECT_GT(CVL_GetTotalPhyMemory(), 0);
  EXPECT_LE(CVL_GetAvailPhyMemory(), CVL_GetTotalPhyMemory());
  EXPECT_GE(CVL_GetTotalPgMemory(), CVL_GetTotalPhyMemory());
  EXPECT_GT(CVL_GetTotalVirMemory(), 0);
#ifdef _WIN32  // the desktop's own colours
  EXPECT_EQ(CVL_GetWindowBackgroundColor(), int32_t(GetSysColor(COLOR_BTNFACE)));
  EXPECT_EQ(CVL_GetWindowTextColor(), int32_t(GetSysColor(COLOR_BTNTEXT)));
#else
  EXPECT_EQ(CVL_GetWindowBackgroundColor(), 0x00C0C0C0);
  EXPECT_EQ(CVL_GetWindowTextColor(), 0);
#endif
}

}  // namespace
}  // namespace cvl
