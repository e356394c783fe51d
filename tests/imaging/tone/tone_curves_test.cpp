#include "imaging/tone/tone_curves.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace cvl::imaging {
namespace {

// Every byte value 0..255 in each channel of a 4-channel 256 x 1 image.
std::vector<uint8_t> all_values() {
  std::vector<uint8_t> px(256 * 4);
  for (int v = 0; v < 256; ++v)
    for (int c = 0; c < 4; ++c) px[size_t(v) * 4 + c] = uint8_t(v);
  return px;
}
ImageView view_of(std::vector<uint8_t>& px) { return {px.data(), int32_t(px.size() / 4), 1, 4, int32_t(px.size())}; }

TEST(ToneCurves, NeutralSettingsLeaveEveryValue) {
  const std::vector<uint8_t> original = all_values();
  std::vector<uint8_t> px = original;
  ASSERT_TRUE(adjust_brightness_contrast(view_of(px), 0, 0, 15));
  EXPECT_EQ(px, original);
  ASSERT_TRUE(adjust_gamma(view_of(px), 1, 15));
  EXPECT_EQ(px, original);
  ASSERT_TRUE(threshold(view_of(px), 0, 255, 15));
  EXPECT_EQ(px, original);
  ASSERT_TRUE(solarize(view_of(px), 256, 15));
  EXPECT_EQ(px, original);
}

TEST(ToneCurves, CurvesMoveValuesTheWayTheirNamesSay) {
  struct Case {
    const char* name;
    bool (*apply)(const ImageView&);
    int in, out;
  };
  const Case cases[] = {
      {"brighter", [](const ImageView& v) { return adjust_brightness_contrast(v, 0.2, 0, 7); }, 100, 151},
      {"darker", [](const ImageView& v) { return adjust_brightness_contrast(v, -1, 0, 7); }, 200, 0},
      {"no contrast", [](const ImageView& v) { return adjust_brightness_contrast(v, 0, -1, 7); }, 10, 128},
      {"more contrast", [](const ImageView& v) { return adjust_brightness_contrast(v, 0, 0.5, 7); }, 100, 73},
      {"full contrast", [](const ImageView& v) { return adjust_brightness_contrast(v, 0, 1, 7); }, 120, 0},
      {"gamma 2 lightens", [](const ImageView& v) { return adjust_gamma(v, 2, 7); }, 64, 128},
      {"gamma 0.5 darkens", [](const ImageView& v) { return adjust_gamma(v, 0.5, 7); }, 128, 64},
      {"gamma 0 is clamped", [](const ImageView& v) { return adjust_gamma(v, 0, 7); }, 255, 255},
      {"solarize inverts highs", [](const ImageView& v) { return solarize(v, 128, 7); }, 200, 55},
      {"solarize keeps lows", [](const ImageView& v) { return solarize(v, 128, 7); }, 100, 100},
      {"threshold below", [](const ImageView& v) { return threshold(v, 100, 150, 7); }, 99, 0},
      {"threshold between", [](const ImageView& v) { return threshold(v, 150, 100, 7); }, 120, 120},
      {"threshold above", [](const ImageView& v) { return threshold(v, 100, 150, 7); }, 151, 255},
  };
  for (const Case& c : cases) {
    std::vector<uint8_t> px = all_values();
    ASSERT_TRUE(c.apply(view_of(px))) << c.name;
    EXPECT_EQ(px[size_t(c.in) * 4], c.out) << c.name;
    EXPECT_EQ(px[size_t(c.in) * 4 + 3], c.in) << c.name << ": alpha was not selected";
  }
}

TEST(ToneCurves, PosterizeGivesTheLevelCountFromBlackToWhite) {
  for (int levels : {2, 4, 7, 256}) {
    std::vector<uint8_t> px = all_values();
    ASSERT_TRUE(posterize(view_of(px), levels, 15));
    std::set<uint8_t> seen;
    for (size_t i = 0; i < px.size(); i += 4) seen.insert(px[i]);
    EXPECT_EQ(int(seen.size()), levels);
    EXPECT_EQ(*seen.begin(), 0);
    EXPECT_EQ(*seen.rbegin(), 255);
    for (size_t i = 4; i < px.size(); i += 4) ASSERT_GE(px[i], px[i - 4]) << "posterize must keep the order";
  }
}

TEST(ToneCurves, RefusesViewsItCannotWorkOn) {
  uint8_t px[8] = {};
  EXPECT_FALSE(adjust_gamma(ImageView{nullptr, 2, 1, 4, 8}, 1, 15));
  EXPECT_FALSE(posterize(ImageView{px, 2, 1, 4, 4}, 4, 15));
  EXPECT_FALSE(adjust_brightness_contrast(ImageView{px, 2, 1, 4, 8}, 0.0 / 0.0, 0, 15));
}

}  // namespace
}  // namespace cvl::imaging
