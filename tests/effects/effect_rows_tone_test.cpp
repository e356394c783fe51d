#include <gtest/gtest.h>

#include <algorithm>

#include "support/canvas_fixture.h"

namespace cvl {
namespace {

class ToneRows : public test::CanvasTest {
 protected:
  // An opaque 16 x 12 layer of varied colours with exact 8-bit values.
  void SetUp() override {
    test::CanvasTest::SetUp();
    test::give_slot_pixels(2, 0, 0, 0, 0xFF00);
    Layer& layer = e().slot(2);
    for (int y = 0; y < layer.height; ++y)
      for (int x = 0; x < layer.width; ++x) {
        uint16_t* p = test::pixel_at(layer, x, y);
        p[0] = uint16_t((40 + x * 10) << 8);
        p[1] = uint16_t((30 + y * 15) << 8);
        p[2] = uint16_t((90 + (x * y) % 100) << 8);
      }
    CVL_SetLayer(2);
    ASSERT_NE(CVL_IPLAllocSrcBuffer32(), nullptr);
    ASSERT_NE(CVL_IPLAllocDstBuffer32(), nullptr);
  }
  void run(const char* name, int32_t s1 = 500, int32_t s2 = 500, int32_t f1 = 0) {
    CVL_IPLImageProcess(0, name, 0, s1, s2, 500, 500, 500, 500, 0, 0, f1, 0, 0, 0, 0, 0, 0, 0, 0, "");
  }
  std::vector<test::Pixel> pixels() {
    std::vector<test::Pixel> out;
    for (int y = 0; y < 12; ++y)
      for (int x = 0; x < 16; ++x) out.push_back(test::read_pixel(e().slot(2), x, y));
    return out;
  }
};

TEST_F(ToneRows, NegativeInvertsColourKeepsAlphaAndTwiceRestores) {
  test::give_slot_pixels(2, 0x1200, 0x8000, 0xF000, 0xFF00);
  run("Negative");
  EXPECT_EQ(test::read_pixel(e().slot(2), 3, 4), (test::Pixel{0xED00, 0x7F00, 0x0F00, 0xFF00}));
  run("Negative");
  EXPECT_EQ(test::read_pixel(e().slot(2), 3, 4), (test::Pixel{0x1200, 0x8000, 0xF000, 0xFF00}));
}

TEST_F(ToneRows, NeutralSlidersLeaveTheLayer) {
  struct Case {
    const char* name;
    int32_t s1, s2;
  };
  const Case cases[] = {{"Brightness and Contrast", 500, 500}, {"Gamma", 500, 0}, {"Tint", 500, 0},
                        {"Threshold", 0, 1000},           {"Duotone", 500, 500}};
  const std::vector<test::Pixel> before = pixels();
  for (const Case& c : cases) {
    // Duotone at strength 0 keeps the picture.
    CVL_IPLImageProcess(0, c.name, 0, c.s1, c.s2, 0, 500, 500, 500, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "");
    EXPECT_EQ(pixels(), before) << c.name;
  }
}

TEST_F(ToneRows, HistogramStretchesReachBlackAndWhiteAndKeepAlpha) {
  for (const char* name : {"Histogram Stretch", "Histogram Stretch PHASED OUT", "Brightness Histogram Stretch HSL",
                           "Histogram Equalize", "Histogram Equalize PHASED OUT"}) {
    SetUp();
    run(name, 0, 1000);
    int lo = 0xFFFF, hi = 0;
    for (const test::Pixel& p : pixels()) {
      lo = std::min<int>(lo, *std::min_element(p.begin(), p.begin() + 3));
      hi = std::max<int>(hi, *std::max_element(p.begin(), p.begin() + 3));
      ASSERT_EQ(p[3], 0xFF00) << name;
    }
    EXPECT_EQ(lo, 0) << name;
    EXPECT_EQ(hi, 0xFF00) << name;
    TearDown();
  }
}

TEST_F(ToneRows, GrayscaleUsesTheSourceAsTheHostLeftIt) {
  // The host changed the source after it was filled; the row must not refresh it.
  uint8_t* src = CVL_IPLUpdateSrcBuffer32();
  for (int i = 0; i < 16 * 12; ++i) {
    src[i * 4] = 200;
    src[i * 4 + 1] = 100;
    src[i * 4 + 2] = 50;
  }
  run("Grayscale");
  const uint16_t grey = uint16_t(((200 * 77 + 100 * 151 + 50 * 28) >> 8) << 8);
  for (const test::Pixel& p : pixels()) ASSERT_EQ(p, (test::Pixel{grey, grey, grey, 0xFF00}));
}

TEST_F(ToneRows, DeinterlaceRepeatsOrInterpolatesTheOddRows) {
  run("Deinterlace", 500, 500, 1);
  EXPECT_EQ(test::read_pixel(e().slot(2), 5, 3), test::read_pixel(e().slot(2), 5, 2));
  SetUp();
  run("Deinterlace");
  // Green rises 15 a row, so the mean of the rows around an odd row is its own value.
  EXPECT_EQ(test::read_pixel(e().slot(2), 5, 3)[1], (30 + 3 * 15) << 8);
  EXPECT_EQ(test::read_pixel(e().slot(2), 5, 11), test::read_pixel(e().slot(2), 5, 10)) << "last row has no row below";
}

TEST_F(ToneRows, PosterizeLeavesFourLevelsPerChannel) {
  run("Posterize");
  for (const test::Pixel& p : pixels())
    for (int c = 0; c < 3; ++c) ASSERT_EQ(p[c] % (85 << 8), 0) << "four levels: 0, 85, 170, 255";
}

}  // namespace
}  // namespace cvl
