#include "layers/ipl_images.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "core/engine.h"
#include "support/canvas_fixture.h"

namespace cvl {
namespace {

using IplBuffers = test::CanvasTest;

TEST_F(IplBuffers, SourcesAreFilledFromTheCurrentLayerAndDestinationsAreNot) {
  test::give_slot_pixels(2, 0x1234, 0x56FF, 0x9A00, 0xFF01);
  CVL_SetLayer(2);
  const uint8_t* s32 = CVL_IPLAllocSrcBuffer32();
  const uint8_t* s24 = CVL_IPLAllocSrcBuffer24();
  ASSERT_TRUE(s32 && s24);
  for (size_t i = 0; i < e().canvas_pixels(); ++i) {
    ASSERT_EQ(s32[i * 4 + 0], 0x12);
    ASSERT_EQ(s32[i * 4 + 1], 0x56);
    ASSERT_EQ(s32[i * 4 + 2], 0x9A);
    ASSERT_EQ(s32[i * 4 + 3], 0xFF);
    ASSERT_EQ(s24[i * 3 + 1], 0x56);
  }
  EXPECT_EQ(e().ipl.dst32.get(), nullptr);
  EXPECT_NE(CVL_IPLAllocDstBuffer32(), nullptr);
  EXPECT_EQ(e().ipl.dst32.size(), e().canvas_pixels() * 4);
  EXPECT_NE(CVL_IPLAllocDstBuffer24(), nullptr);
  EXPECT_EQ(e().ipl.dst24.size(), e().canvas_pixels() * 3);
}

TEST_F(IplBuffers, SourcesWithoutACurrentLayerAreTransparentBlack) {
  const uint8_t* s32 = CVL_IPLAllocSrcBuffer32();
  const uint8_t* s24 = CVL_IPLAllocSrcBuffer24();
  ASSERT_TRUE(s32 && s24);
  EXPECT_EQ(std::count(s32, s32 + e().canvas_pixels() * 4, 0), ptrdiff_t(e().canvas_pixels() * 4));
  EXPECT_EQ(std::count(s24, s24 + e().canvas_pixels() * 3, 0), ptrdiff_t(e().canvas_pixels() * 3));
}

TEST_F(IplBuffers, UpdateAndSetOnlyTouchExistingBuffers) {
  test::give_slot_pixels(2, 0x1000, 0x2000, 0x3000, 0xFFFF);
  CVL_SetLayer(2);
  EXPECT_EQ(CVL_IPLUpdateSrcBuffer32(), nullptr);
  std::vector<uint8_t> caller(e().canvas_pixels() * 4, 7);
  CVL_IPLSetSrcBuffer32(caller.data());
  EXPECT_FALSE(e().ipl.src32);

  uint8_t* s = CVL_IPLAllocSrcBuffer32();
  CVL_IPLSetSrcBuffer32(caller.data());
  EXPECT_EQ(s[5], 7);
  EXPECT_EQ(CVL_IPLUpdateSrcBuffer32(), s);
  EXPECT_EQ(s[5], 0x20);
  CVL_IPLSetSrcBuffer32(nullptr);  // ignored
  EXPECT_EQ(s[5], 0x20);
}

TEST_F(IplBuffers, ResizingTheCanvasReleasesAllFour) {
  CVL_IPLAllocSrcBuffer32();
  CVL_IPLAllocDstBuffer32();
  CVL_IPLAllocSrcBuffer24();
  CVL_IPLAllocDstBuffer24();
  CVL_NewSize(nullptr, 20, 10, 32, 0);
  EXPECT_FALSE(e().ipl.src32 || e().ipl.dst32 || e().ipl.src24 || e().ipl.dst24);
  std::vector<uint8_t> caller(20 * 10 * 4, 1);
  CVL_IPLSetDstBuffer32(caller.data());
  EXPECT_FALSE(e().ipl.dst32);
}

TEST_F(IplBuffers, ABufferFromAnotherCanvasSizeIsNeverHandedOut) {
  CVL_IPLAllocSrcBuffer32();
  e().canvas_width = 20;  // as if the canvas grew behind the buffer's back
  EXPECT_EQ(ipl_buffer(engine(), IplBuffer::Src32), nullptr);
  e().canvas_width = 16;
  EXPECT_NE(ipl_buffer(engine(), IplBuffer::Src32), nullptr);
}

TEST_F(IplBuffers, TheImagesAreThoseOfTheCanvasPassedIn) {
  auto other = std::make_unique<Engine>();
  other->canvas_width = 3;
  other->canvas_height = 2;
  uint8_t* s = ipl_alloc(*other, IplBuffer::Src32);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(other->ipl.src32.size(), size_t(3 * 2 * 4));
  EXPECT_EQ(std::count(s, s + 24, 0), 24) << "no current layer: transparent black";
  EXPECT_FALSE(e().ipl.src32) << "the process-wide canvas is left alone";
  EXPECT_EQ(ipl_buffer(e(), IplBuffer::Src32), nullptr);

  const std::vector<uint8_t> caller(24, 9);
  ipl_set(*other, IplBuffer::Src32, caller.data());
  EXPECT_EQ(ipl_buffer(*other, IplBuffer::Src32)[23], 9);
  EXPECT_EQ(ipl_update_src32(*other), s);
  EXPECT_EQ(s[23], 0);
  ipl_free(*other, IplBuffer::Src32);
  EXPECT_FALSE(other->ipl.src32);
}

TEST_F(IplBuffers, MaskWeightsSourceAlphaOnlyWhileEnabled) {
  test::give_slot_pixels(2, 0, 0, 0, 0xFFFF);
  CVL_SetLayer(2);
  uint8_t* s = CVL_IPLAllocSrcBuffer32();
  for (size_t i = 0; i < e().canvas_pixels(); ++i) e().mask[i] = 0;
  CVL_EnableMask(0);
  CVL_ApplyMaskToAlpha_IPLSrcRGBA();
  EXPECT_EQ(s[3], 255);
  CVL_EnableMask(1);
  CVL_ApplyMaskToAlpha_IPLSrcRGBA();
  EXPECT_EQ(s[3], 0);
}

}  // namespace
}  // namespace cvl
