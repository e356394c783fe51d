#include "mask/magic_wand.h"

#include <gtest/gtest.h>

#include "layers/ipl_images.h"
#include "mask/tool_picture.h"

namespace cvl {
namespace {

using test::Rows;

class MagicWand : public test::ToolPicture {};

const test::Rows kPatches = {
    "AABAAB",
    "AABAAB",
    "BBBBAB",
    "AABBBB",
};

TEST_F(MagicWand, ConnectedTakesTheTouchingPatchNonConnectedEveryPixelOfTheColour) {
  struct Case {
    const char* mode;
    int x, y;
    Rows want;
  } cases[] = {
      {"Connected", 0, 0, {"##....", "##....", "......", "......"}},
      {"Connected", 4, 2, {"...##.", "...##.", "....#.", "......"}},
      {"Connected", 2, 0, {"..#..#", "..#..#", "####.#", "..####"}},  // edges connect, corners do not
      {"Non-connected", 0, 0, {"##.##.", "##.##.", "....#.", "##...."}},
  };
  for (const Case& c : cases) {
    draw(kPatches);
    CVL_IPLMaskWand(c.x, c.y, 0, 100, c.mode);
    EXPECT_EQ(mask_rows(), c.want) << c.mode << " at " << c.x << "," << c.y;
  }
}

TEST_F(MagicWand, ToleranceIsAShareOfTheLargestSquaredDistance) {
  // One percent (t = 500) is a squared distance of 1950 from the seed (100, 100, 100).
  palette['n'] = {143, 110, 101, 255};  // 43^2 + 10^2 + 1^2 = 1950
  palette['f'] = {144, 104, 100, 255};  // 44^2 + 4^2 = 1952
  palette['s'] = {100, 100, 100, 255};
  for (const char* mode : {"Connected", "Non-connected"}) {
    draw({"snfn", "ssss"});
    CVL_IPLMaskWand(0, 0, 500, 100, mode);
    EXPECT_EQ(mask_rows(), (Rows{"##.#", "####"})) << mode;
    // Strength is trunc(percent * 2.559): 50 % gives level 127.
    CVL_ClearMask(0, 0, 0);
    CVL_IPLMaskWand(0, 0, 0, 50, mode);
    EXPECT_EQ(e().mask[0], 65280 - 127 * 256);
  }
}

TEST_F(MagicWand, RangeModesCompareWithTheSeedColour) {
  palette['d'] = {12, 24, 36, 255};  // within 3 % of A on every test
  for (const char* mode : {"Color Range", "Luminance Range", "Hue Range", "HSL Range"}) {
    draw({"AdB", "WAt"});
    CVL_IPLMaskWand(0, 0, 3 * 500, 100, mode);
    const Rows got = mask_rows();
    EXPECT_EQ(got[0].substr(0, 2), "##") << mode;
    EXPECT_EQ(got[0][2], '.') << mode;
    EXPECT_EQ(got[1][1], '#') << mode;
    EXPECT_EQ(got[1][0], '.') << mode;
  }
}

TEST_F(MagicWand, AlphaModesFollowTheLayersAlpha) {
  const Rows picture = {"hhBt", "tttt", "hhhh"};
  draw(picture);
  CVL_IPLMaskWand(0, 0, 0, 100, "Alpha Connected");  // alpha 128: B (255) stops it
  EXPECT_EQ(mask_rows(), (Rows{"##..", "....", "...."}));
  CVL_ClearMask(0, 0, 0);
  CVL_IPLMaskWand(3, 0, 0, 100, "Alpha Connected");  // transparent pixels, whatever their colour
  EXPECT_EQ(mask_rows(), (Rows{"...#", "####", "...."}));
  CVL_ClearMask(0, 0, 0);
  CVL_IPLMaskWand(0, 0, 0, 100, "Alpha Non-connected");
  EXPECT_EQ(mask_rows(), (Rows{"##..", "....", "####"}));

  // Neither the trace layer nor the background has alpha to select by.
  for (int slot : {0, 1}) {
    draw(picture, slot);
    CVL_IPLMaskWand(0, 0, 0, 100, "Alpha Connected");
    EXPECT_EQ(mask_rows(), (Rows{"....", "....", "...."})) << slot;
  }
}

TEST_F(MagicWand, ClickOnATransparentPixelSelectsByItsOwnColour) {
  // Transparent pixels hold black; the seed colour is what the pixel holds, not white.
  draw({"ttW", "tBW"});
  CVL_IPLMaskWand(0, 0, 0, 100, "Non-connected");
  EXPECT_EQ(mask_rows(), (Rows{"##.", "#.."}));
}

TEST_F(MagicWand, OffCanvasClicksAndUnknownModesChangeNothing) {
  draw(kPatches);
  const Rows open = mask_rows();
  uint8_t* host_source = ipl_alloc(engine(), IplBuffer::Src32);
  for (auto [x, y] : {std::pair{-1, 0}, {0, -1}, {6, 0}, {0, 4}}) {
    CVL_IPLMaskWand(x, y, 50000, 100, "Non-connected");
    EXPECT_EQ(mask_rows(), open);
  }
  EXPECT_EQ(ipl_buffer(engine(), IplBuffer::Src32), host_source);  // left alone by off-canvas clicks
  for (const char* mode : std::initializer_list<const char*>{"connected", "Alpha Non-Connected", "", nullptr}) {
    CVL_IPLMaskWand(0, 0, 50000, 100, mode);
    EXPECT_EQ(mask_rows(), open);
  }
  EXPECT_EQ(ipl_buffer(engine(), IplBuffer::Src32), nullptr);  // refilled and freed all the same
}

}  // namespace
}  // namespace cvl
