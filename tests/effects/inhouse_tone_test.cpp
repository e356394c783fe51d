#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "core/colour_models.h"
#include "effects/inhouse_fixture.h"

namespace cvl {
namespace {

using test::Px;

class InhouseTone : public test::InhouseTest {};

TEST_F(InhouseTone, OnlyExactNamesRunAndMissingBuffersRunNothing) {
  fill_source({10, 20, 30, 40});
  for (const char* name : {"invert", "Invert ", "", "Blur"}) {
    EXPECT_EQ(run(name, {}), 0) << name;
    EXPECT_EQ(dst(1, 1), (Px{10, 20, 30, 40})) << "the entry still copies the source";
  }
  EXPECT_EQ(run("Invert", {}), 1);
  EXPECT_EQ(dst(1, 1), (Px{245, 235, 225, 40}));
  ipl_free(engine(), IplBuffer::Dst32);
  EXPECT_EQ(run("Invert", {}), 0);
}

TEST_F(InhouseTone, TheEffectRunsOnTheImagesOfTheCanvasItIsGiven) {
  fill_source({10, 20, 30, 40});
  const Px before = dst(1, 1);
  auto other = std::make_unique<Engine>();
  other->canvas_width = 2;
  other->canvas_height = 1;
  uint8_t* s = ipl_alloc(*other, IplBuffer::Src32);
  uint8_t* d = ipl_alloc(*other, IplBuffer::Dst32);
  ASSERT_TRUE(s && d);
  const uint8_t pixels[8] = {1, 2, 3, 4, 250, 251, 252, 253};
  ipl_set(*other, IplBuffer::Src32, pixels);
  EXPECT_EQ(inhouse_entry(*other, tool(), "Invert", 0, InhouseArgs{}), 1);
  const uint8_t inverted[8] = {254, 253, 252, 4, 5, 4, 3, 253};
  EXPECT_EQ(std::memcmp(d, inverted, 8), 0);
  EXPECT_EQ(dst(1, 1), before) << "the process-wide images are not touched";
  ipl_free(*other, IplBuffer::Dst32);
  EXPECT_EQ(inhouse_entry(*other, tool(), "Invert", 0, InhouseArgs{}), 0);
  EXPECT_EQ(run("Invert", {}), 1) << "while the process-wide canvas still has both";
}

TEST_F(InhouseTone, GrayscaleAndThresholdUseTheTruncatedMeanOfRgb) {
  fill_source({10, 20, 32, 77});  // luminance 62/3 = 20
  ASSERT_EQ(run("Grayscale", {}), 1);
  EXPECT_EQ(dst(0, 0), (Px{20, 20, 20, 77}));

  struct Case {
    int level;
    Px pixel;
    int expected;
  } cases[] = {
      {0, {0, 0, 0, 9}, 255},          // nothing is below zero
      {1000, {255, 255, 255, 9}, 255}, // full level: only pure white passes
      {1000, {255, 255, 254, 9}, 0},   // luminance 254
      {200, {52, 52, 52, 9}, 255},     // level 51
      {200, {50, 50, 50, 9}, 0},
  };
  for (const Case& c : cases) {
    fill_source(c.pixel);
    ASSERT_EQ(run("Basic Threshold", {c.level}), 1);
    EXPECT_EQ(dst(2, 3), (Px{c.expected, c.expected, c.expected, 9})) << c.level;
  }
}

TEST_F(InhouseTone, ClampReplacesLowThenHighValuesOfFlaggedChannels) {
  struct Case {
    std::initializer_list<int> sliders, flags;
    Px expected;
  } cases[] = {
      {{500, 0, 1000, 0}, {}, {100, 100, 200, 100}},                 // no flags: written unchanged
      {{500, 0, 1000, 0}, {0, 0, 0, 1}, {100, 100, 200, 0}},         // alpha too
      {{500, 0, 1000, 0}, {1, 0, 1, 0}, {0, 100, 200, 100}},         // 200 is not below 127.5
      {{500, 400, 300, 1000}, {1, 1, 1, 1}, {255, 255, 255, 255}},   // 100 -> 102, then above 76.5
      {{0, 0, 600, 200}, {0, 1, 1, 0}, {100, 100, 51, 100}},         // above 153 -> 51
  };
  for (const Case& c : cases) {
    fill_source({100, 100, 200, 100});
    ASSERT_EQ(run("Clamp", c.sliders, c.flags), 1);
    EXPECT_EQ(dst(3, 0), c.expected);
  }
}

TEST_F(InhouseTone, ChannelFlagsChainOnEachOthersResult) {
  struct Case {
    std::initializer_list<int> flags;
    Px pixel, expected;
  } cases[] = {
      {{}, {10, 20, 30, 40}, {10, 20, 30, 40}},
      {{1}, {10, 20, 30, 40}, {255, 0, 0, 10}},
      {{1}, {0, 20, 30, 40}, {0, 0, 0, 0}},
      {{0, 1}, {10, 20, 30, 40}, {0, 255, 0, 20}},
      {{0, 0, 1}, {10, 20, 30, 40}, {0, 0, 255, 30}},
      {{1, 1}, {10, 20, 30, 40}, {0, 0, 0, 0}},  // green is 0 once red has been isolated
      {{2}, {10, 20, 30, 40}, {10, 20, 30, 40}},  // only 1 switches a channel on
  };
  for (const Case& c : cases) {
    fill_source(c.pixel);
    ASSERT_EQ(run("Channel", {}, c.flags), 1);
    EXPECT_EQ(dst(1, 2), c.expected);
  }
}

TEST_F(InhouseTone, AdjustLabAtNeutralSlidersKeepsColours) {
  source({{0, 0, 0, 1},       {255, 255, 255, 2}, {255, 0, 0, 3},   {0, 255, 0, 4},
          {0, 0, 255, 5},     {128, 128, 128, 6}, {12, 200, 99, 7}, {250, 5, 140, 8},
          {40, 40, 41, 9},    {1, 2, 3, 10},      {90, 60, 30, 11}, {200, 180, 10, 12},
          {77, 0, 255, 13},   {3, 250, 250, 14},  {128, 0, 0, 15},  {66, 66, 200, 16}});
  ASSERT_EQ(run("Adjust Lab", {500, 500, 500}), 1);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) {
      const Px a = src(x, y), b = dst(x, y);
      for (int c = 0; c < 3; ++c) EXPECT_LE(std::abs(a[c] - b[c]), 1) << x << "," << y;
      EXPECT_EQ(a[3], b[3]);
    }
  // Lightness up by 100 makes anything white; down by 100, black.
  ASSERT_EQ(run("Adjust Lab", {1000, 500, 500}), 1);
  EXPECT_EQ(dst(2, 1), (Px{255, 255, 255, 7}));
  ASSERT_EQ(run("Adjust Lab", {0, 500, 500}), 1);
  EXPECT_EQ(dst(2, 1), (Px{0, 0, 0, 7}));
}

// Colours met again are looked up rather than converted again: the picture must be
// what converting every pixel gives, however the colours repeat and collide.
TEST_F(InhouseTone, AdjustLabGivesEveryPixelItsOwnConversion) {
  canvas(97, 61);
  std::vector<Px> pixels;
  uint32_t state = 12345;
  for (int i = 0; i < 97 * 61; ++i) {
    state = state * 214013u + 2531011u;
    // Runs of one colour, a few colours again and again, and colours met once.
    const int v = int(state >> 16);
    pixels.push_back(i % 7 == 0 ? Px{v & 255, v >> 8 & 255, (v >> 4) & 255, i & 255}
                                : Px{(i / 13) % 256, 40 * (i % 3), 255 - (i / 29) % 256, 200});
  }
  source(pixels);
  for (auto [l, a, b] : {std::array{700, 400, 550}, std::array{200, 900, 100}}) {
    ASSERT_EQ(run("Adjust Lab", {l, a, b}), 1);
    for (int y = 0; y < 61; ++y)
      for (int x = 0; x < 97; ++x) {
        const Px c = src(x, y);
        double X, Y, Z, L, A, B;
        RgbToXyz(c[0], c[1], c[2], X, Y, Z);
        XyzToLab(X, Y, Z, L, A, B);
        uint8_t r8, g8, b8;
        LabToRgb(L + (l * 0.001 - 0.5) * 200.0, A + (a * 0.001 - 0.5) * 200.0, B + (b * 0.001 - 0.5) * 200.0, r8,
                 g8, b8);
        ASSERT_EQ(dst(x, y), (Px{r8, g8, b8, c[3]})) << x << "," << y;
      }
  }
}

TEST_F(InhouseTone, HyperContrastBendsChannelsByLightness) {
  struct Case {
    int slider;
    Px pixel, expected;
  } cases[] = {
      // k = 255, L = 40/255: c = 40 gives trunc(74 * (1 - L) + 6 * L) = 63.
      {0, {40, 20, 60, 99}, {63, 33, 91, 99}},
      // k = 0 is taken as 1: every channel is pushed to an end by its lightness.
      {1000, {40, 20, 60, 99}, {0, 0, 0, 99}},
      {1000, {200, 220, 240, 99}, {255, 255, 255, 99}},
      {0, {255, 255, 255, 1}, {255, 255, 255, 1}},
  };
  for (const Case& c : cases) {
    fill_source(c.pixel);
    ASSERT_EQ(run("Hyper Contrast", {c.slider}), 1);
    EXPECT_EQ(dst(0, 3), c.expected) << c.slider;
  }
}

TEST_F(InhouseTone, FaderRampsAlphaAcrossAndDown) {
  fill_source({10, 20, 30, 120});
  // Horizontal ramp 0 .. 1.5 in three steps, vertical factor 1.
  ASSERT_EQ(run("Fader", {500, 500, 0, 750}, {0, 0, 0, 1}), 1);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(dst(x, y), (Px{10, 20, 30, x * 60})) << x << "," << y;
  fill_source({10, 20, 30, 200});
  ASSERT_EQ(run("Fader", {0, 750, 500, 500}, {0, 0, 0, 1}), 1);
  const int down[4] = {0, 100, 200, 255};  // 300 clamps
  for (int y = 0; y < 4; ++y) EXPECT_EQ(dst(2, y)[3], down[y]) << y;
}

TEST_F(InhouseTone, FaderScalesSaturationAndLightnessOnlyWhenAsked) {
  fill_source({200, 100, 0, 255});
  ASSERT_EQ(run("Fader", {0, 0, 0, 0}, {0, 1}), 1);  // factor 0 everywhere: grey
  const Px grey = dst(1, 1);
  EXPECT_EQ(grey[0], grey[1]);
  EXPECT_EQ(grey[1], grey[2]);
  EXPECT_NEAR(grey[0], 100, 1);
  ASSERT_EQ(run("Fader", {0, 0, 0, 0}, {0, 0, 1}), 1);  // lightness 0: black
  EXPECT_EQ(dst(1, 1), (Px{0, 0, 0, 255}));
  ASSERT_EQ(run("Fader", {0, 0, 0, 0}, {}), 1);
  EXPECT_EQ(dst(1, 1), (Px{200, 100, 0, 255}));
}

TEST_F(InhouseTone, FaderWithF1WorksOnlyInsideTheLayersData) {
  for (int y = 1; y <= 2; ++y)
    for (int x = 1; x <= 2; ++x) {
      uint16_t* p = test::pixel_at(e().slot(2), x, y);
      p[3] = 65280;
    }
  fill_source({10, 20, 30, 200});
  ASSERT_EQ(run("Fader", {0, 0, 0, 0}, {1, 0, 0, 1}), 1);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) {
      const bool inside = x >= 1 && x <= 2 && y >= 1 && y <= 2;
      EXPECT_EQ(dst(x, y)[3], inside ? 0 : 200) << x << "," << y;
    }
}

TEST_F(InhouseTone, BasReliefComparesWithTheNeighbourTheOptionNames) {
  // Grey 100 with one bright pixel at (1, 1). At full strength a pixel lighter
  // than its neighbour turns white and a darker one black.
  for (int option = 0; option < 3; ++option) {
    fill_source({100, 100, 100, 50});
    set_source(1, 1, {200, 200, 200, 50});
    ASSERT_EQ(run("Bas Relief", {1000}, {}, option), 1);
    EXPECT_EQ(dst(1, 1), (Px{255, 255, 255, 50})) << option;
    const Px darkened[3] = {dst(2, 1), dst(1, 2), dst(2, 2)};
    for (int i = 0; i < 3; ++i) {
      if (i == option) EXPECT_EQ(darkened[i], (Px{0, 0, 0, 50})) << option;
      else EXPECT_GE(darkened[i][0], 99) << option << " " << i;
    }
    for (int i = 0; i < 4; ++i) {  // the border keeps the copy
      EXPECT_EQ(dst(i, 0), (Px{100, 100, 100, 50}));
      EXPECT_EQ(dst(3, i), (Px{100, 100, 100, 50}));
    }
  }
}

}  // namespace
}  // namespace cvl

namespace cvl::test {
namespace {

class InhouseWholeWrite : public InhouseTest {};

// Effects that skip copying the source into the destination first must write
// every destination pixel: whatever the destination held, the result is the
// same as from a destination that held the source.
TEST_F(InhouseWholeWrite, EffectsThatSkipTheCopyWriteEveryPixel) {
  canvas(11, 5);
  std::vector<Px> pixels;
  for (int i = 0; i < 11 * 5; ++i) pixels.push_back({i * 37 & 255, i * 11 & 255, 255 - (i * 5 & 255), i * 3 & 255});
  source(pixels);
  struct Case {
    const char* name;
    std::initializer_list<int> sliders, flags;
  };
  const Case cases[] = {{"Grayscale", {}, {}},          {"Invert", {}, {}},
                        {"Basic Threshold", {400}, {}}, {"Clamp", {300, 100, 700, 900}, {1, 1, 1, 1}},
                        {"Channel", {}, {1, 0, 1}},     {"Adjust Lab", {600, 400, 550}, {}},
                        {"Hyper Contrast", {400}, {}}};
  uint8_t* d = ipl_buffer(engine(), IplBuffer::Dst32);
  for (const Case& c : cases) {
    std::vector<std::vector<uint8_t>> out;
    for (const uint8_t fill : {uint8_t(0), uint8_t(0xA5)}) {
      std::memset(d, fill, size_t(11 * 5 * 4));
      ASSERT_EQ(run(c.name, c.sliders, c.flags), 1);
      out.emplace_back(d, d + 11 * 5 * 4);
    }
    EXPECT_EQ(out[0], out[1]) << c.name;
  }
}

}  // namespace
}  // namespace cvl::test
