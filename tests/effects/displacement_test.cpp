#include "effects/displacement.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "brush/tip_file.h"
#include "effects/script_tile.h"
#include "imaging/geometry/resample.h"
#include "ipl/blur_buffer.h"
#include "support/canvas_fixture.h"

namespace cvl {
namespace {

constexpr int W = 24, H = 16;

class Displacement : public test::CanvasTest {
 protected:
  void SetUp() override {
    make_canvas_on_clear_layer(W, H);
    uint16_t* p = e().slot(2).data();
    for (int i = 0; i < W * H; ++i, p += 4) {  // opaque stripes, so that a move shows
      p[0] = static_cast<uint16_t>(((i % W) * 10) << 8);
      p[1] = p[2] = 0;
      p[3] = 65280;
    }
    CVL_IPLAllocSrcBuffer32();
    CVL_IPLAllocDstBuffer32();
    path_ = test::temp_path("relief") + ".isl";
  }
  void TearDown() override {
    std::remove(path_.c_str());
    test::CanvasTest::TearDown();
  }
  std::vector<uint16_t> words() {
    const Layer& l = e().slot(2);
    return std::vector<uint16_t>(l.data(), l.data() + e().canvas_pixels() * 4);
  }
  std::string path_;
};

TEST_F(Displacement, AFlatReliefOrAMissingScriptLeavesTheLayer) {
  const std::vector<uint16_t> before = words();
  CVL_IPLDisplacementBummp("/nonexistent/relief.isl", 10.0, 0);
  EXPECT_EQ(words(), before);
  ASSERT_TRUE(test::write_script(path_, "imagescript 1\nsize 5 3\nfill 128 128 128 255\n"));
  CVL_IPLDisplacementBummp(path_.c_str(), 10.0, 0xFF);
  EXPECT_EQ(words(), before);
}

TEST_F(Displacement, ASlopeMovesPixelsAndTheFillShowsPastTheEdge) {
  ASSERT_TRUE(test::write_script(path_, "imagescript 1\nsize 24 16\nlinear 0 0 24 0 0 0 0 255 255 255 255 255\n"));
  CVL_IPLDisplacementBummp(path_.c_str(), 60.0, 0xFF0000);  // blue fill: r | g << 8 | b << 16
  const test::Pixel mid = test::read_pixel(e().slot(2), 10, 8);
  EXPECT_GT(mid[0], 100 << 8);  // fetched from further right
  const test::Pixel edge = test::read_pixel(e().slot(2), W - 1, 8);
  EXPECT_EQ(edge[2] >> 8, 255);
}

TEST_F(Displacement, TheGreyReliefIsTheGreyOfTheRepeatedPicture) {
  // Tiles that divide the canvas, that do not, and one larger than it.
  const char* scripts[] = {
      "imagescript 1\nsize 7 5\nlinear 0 0 7 5 255 0 0 255 0 90 255 255\n",
      "imagescript 1\nsize 8 4\nlinear 0 4 8 0 10 250 30 255 200 0 100 255\n",
      "imagescript 1\nsize 40 33\nlinear 0 0 40 0 0 0 0 255 255 255 255 255\n",
  };
  const int32_t sizes[][2] = {{W, H}, {1, 1}, {13, 29}};
  for (const char* script : scripts) {
    ASSERT_TRUE(test::write_script(path_, script));
    for (const auto& size : sizes) {
      const int32_t w = size[0], h = size[1];
      imaging::Image repeated;
      ASSERT_TRUE(tiled_script(path_.c_str(), w, h, repeated));
      std::vector<uint8_t> want(size_t(w) * h), got;
      imaging::to_grey8(repeated.view(), imaging::ImageView{want.data(), w, h, 1, w});
      ASSERT_TRUE(grey_relief(path_.c_str(), w, h, got));
      EXPECT_EQ(got, want) << script << " over " << w << "x" << h;
    }
  }
  std::vector<uint8_t> none;
  EXPECT_FALSE(grey_relief("/nonexistent/relief.isl", W, H, none));
  EXPECT_FALSE(grey_relief(path_.c_str(), 0, H, none));
}

TEST(BlurMoreBuffer, MixesABlurInByStrength) {
  constexpr int w = 20, h = 4;
  std::vector<uint8_t> step(w * h * 3);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      for (int c = 0; c < 3; ++c) step[(y * w + x) * 3 + c] = x < w / 2 ? 0 : 200;
  for (int strength : {0, 50, 100}) {
    std::vector<uint8_t> img = step;
    CVL_BlurMoreBufferRGB24(img.data(), w, h, 10, strength);  // radius 2
    const uint8_t left = img[(w + w / 2 - 1) * 3], right = img[(w + w / 2) * 3];
    if (strength == 0) {
      EXPECT_EQ(img, step);
    } else {
      EXPECT_GT(left, 0);
      EXPECT_LT(right, 200);
    }
    EXPECT_EQ(img[w * 3], 0) << strength;  // far from the step
  }
  std::vector<uint8_t> small = step;
  CVL_BlurMoreBufferRGB24(small.data(), w, h, 4, 100);  // radius 0: nothing to do
  EXPECT_EQ(small, step);
  CVL_BlurMoreBufferRGB24(nullptr, w, h, 10, 100);
}

}  // namespace
}  // namespace cvl
