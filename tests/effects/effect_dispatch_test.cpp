#include "effects/effect_dispatch.h"

#include <gtest/gtest.h>

#include "effects/effect_table.h"
#include "support/canvas_fixture.h"

namespace cvl {
namespace {

using EffectDispatch = test::CanvasTest;

int32_t run(const char* name) {
  return CVL_IPLImageProcess(0, name, 0, 500, 500, 500, 500, 500, 500, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "");
}

TEST_F(EffectDispatch, WithoutBothRgba32BuffersNothingRunsAndNothingIsFreed) {
  test::give_slot_pixels(2, 0x1200, 0x3400, 0x5600, 0xFF00);
  CVL_SetLayer(2);
  for (bool with_src : {false, true}) {
    CVL_IPLFreeSrcBuffer32();
    CVL_IPLFreeDstBuffer32();
    if (with_src) ASSERT_NE(CVL_IPLAllocSrcBuffer32(), nullptr);
    else ASSERT_NE(CVL_IPLAllocDstBuffer32(), nullptr);
    ASSERT_NE(CVL_IPLAllocSrcBuffer24(), nullptr);
    ASSERT_NE(CVL_IPLAllocDstBuffer24(), nullptr);
    EXPECT_EQ(run("Horizontal Flip"), 0);
    EXPECT_TRUE(e().ipl.src24) << "the early return leaves every buffer alone";
    EXPECT_TRUE(e().ipl.dst24);
    EXPECT_EQ(test::read_pixel(e().slot(2), 0, 0), (test::Pixel{0x1200, 0x3400, 0x5600, 0xFF00}));
  }
}

TEST_F(EffectDispatch, TheRgb24BuffersAreFreedAfterEveryCall) {
  ASSERT_NE(CVL_IPLAllocSrcBuffer32(), nullptr);
  ASSERT_NE(CVL_IPLAllocDstBuffer32(), nullptr);
  for (const char* name : {"Horizontal Flip", "Levels", "blur", "Blur ", "", "No Such Effect", "Oil Paint"}) {
    ASSERT_NE(CVL_IPLAllocSrcBuffer24(), nullptr);
    ASSERT_NE(CVL_IPLAllocDstBuffer24(), nullptr);
    run(name);
    EXPECT_FALSE(e().ipl.src24) << name;
    EXPECT_FALSE(e().ipl.dst24) << name;
  }
}

TEST_F(EffectDispatch, ACallThatRunsNothingSaysWhy) {
  CVL_SetLastError(nullptr);
  EXPECT_EQ(run("Blur"), 0);
  EXPECT_STREQ(CVL_GetLastError(),
               "IPLImageProcess: no RGBA32 working buffers (CVL_IPLAllocSrcBuffer32 and CVL_IPLAllocDstBuffer32 "
               "come first)");
  ASSERT_NE(CVL_IPLAllocSrcBuffer32(), nullptr);
  ASSERT_NE(CVL_IPLAllocDstBuffer32(), nullptr);
  EXPECT_EQ(run("blur"), 0);
  EXPECT_STREQ(CVL_GetLastError(), "IPLImageProcess: no effect named \"blur\" (names are exact)");
  CVL_SetLastError(nullptr);
  run("Blur");
  EXPECT_STREQ(CVL_GetLastError(), "") << "an effect that ran leaves the text alone";
}

TEST_F(EffectDispatch, NamesMatchOnlyWholeAndExact) {
  EXPECT_NE(find_effect_row("Blur"), nullptr);
  EXPECT_NE(find_effect_row("Backgrounds Utility"), nullptr);
  for (const char* name : {"blur", "Blur ", " Blur", "BLUR", "Blu", "Blurr", "", "Backgrounds"})
    EXPECT_EQ(find_effect_row(name), nullptr) << '"' << name << '"';
  EXPECT_EQ(find_effect_row(nullptr), nullptr);
}

TEST_F(EffectDispatch, TheTableHoldsEveryNameOnceInTestingOrder) {
  const auto rows = effect_rows();
  ASSERT_EQ(rows.size(), 176u);
  EXPECT_STREQ(rows.front().name, "Charcoal");
  EXPECT_STREQ(rows.back().name, "Lua Filter");
  for (const EffectRow& row : rows) EXPECT_EQ(find_effect_row(row.name), &row) << row.name;
}

}  // namespace
}  // namespace cvl
