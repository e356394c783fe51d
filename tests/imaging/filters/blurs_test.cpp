// Properties every blur must have, over a table of the blurs: a uniform image
// stays uniform, a large textured image keeps its mean, a step edge is softened.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <vector>

#include "imaging/filters/bilateral.h"
#include "imaging/filters/box_blur.h"
#include "imaging/filters/contrast_mask.h"
#include "imaging/filters/lone_dots.h"
#include "imaging/filters/dust_and_scratches.h"
#include "imaging/filters/median_filter.h"
#include "imaging/filters/min_max_filter.h"
#include "imaging/filters/unsharp_mask.h"
#include "imaging/filters/window_means.h"
#include "imaging/filters/motion_blur.h"
#include "imaging/filters/path_blur.h"

namespace cvl::imaging {
namespace {

struct Picture {
  std::vector<uint8_t> px;
  ImageView view;
  Picture(int32_t w, int32_t h, int32_t ch = 4) : px(size_t(w) * h * ch), view{px.data(), w, h, ch, w * ch} {}
};

using Blur = std::function<bool(const ImageView&, const ImageView&)>;
struct NamedBlur {
  const char* name;
  Blur run;
};

const std::vector<NamedBlur>& blurs() {
  static const std::vector<NamedBlur> table = {
      {"box r1", [](auto& s, auto& d) { return box_blur(s, d, 1); }},
      {"box r9 x3", [](auto& s, auto& d) { return box_blur(s, d, 9, 3); }},
      {"motion 15 at 0", [](auto& s, auto& d) { return motion_blur(s, d, 15, 0, 0.5); }},
      {"motion 25 at 30 trailing", [](auto& s, auto& d) { return motion_blur(s, d, 25, 30, 0); }},
      {"motion 12 at 100 leading", [](auto& s, auto& d) { return motion_blur(s, d, 12, 100, 1); }},
      {"spin", [](auto& s, auto& d) { return spin_blur(s, d, s.width / 2.0, s.height / 2.0, 0.3); }},
      {"zoom", [](auto& s, auto& d) { return zoom_blur(s, d, s.width / 2.0, s.height / 2.0, 0.3); }},
  };
  return table;
}

double channel_mean(const Picture& p, int32_t c) {
  double sum = 0;
  for (size_t i = size_t(c); i < p.px.size(); i += 4) sum += p.px[i];
  return sum / double(p.px.size() / 4);
}

TEST(Blurs, KeepAUniformImageAndTheMeanOfALargeOne) {
  for (const NamedBlur& b : blurs()) {
    Picture flat(61, 47), out(61, 47);
    for (size_t i = 0; i < flat.px.size(); ++i) flat.px[i] = uint8_t(30 + 60 * (i % 4));
    ASSERT_TRUE(b.run(flat.view, out.view)) << b.name;
    EXPECT_EQ(out.px, flat.px) << b.name;

    Picture tex(320, 240), blurred(320, 240);
    for (int32_t y = 0; y < 240; ++y)
      for (int32_t x = 0; x < 320; ++x)
        for (int32_t c = 0; c < 4; ++c) tex.view.row(y)[x * 4 + c] = uint8_t((x * 37 + y * 91 + c * 50) % 256);
    ASSERT_TRUE(b.run(tex.view, blurred.view)) << b.name;
    for (int32_t c = 0; c < 4; ++c) EXPECT_NEAR(channel_mean(blurred, c), channel_mean(tex, c), 2.0) << b.name;
    EXPECT_NE(blurred.px, tex.px) << b.name;
  }
}

// A vertical step a quarter of the way across (off the centre, so that the spin
// and zoom blurs cross it too), probed on a row near the top.
TEST(Blurs, SoftenAStepEdgeAndLeaveFarPixels) {
  for (const NamedBlur& b : blurs()) {
    Picture step(200, 120), out(200, 120);
    for (int32_t y = 0; y < 120; ++y)
      for (int32_t x = 0; x < 200; ++x)
        for (int32_t c = 0; c < 4; ++c) step.view.row(y)[x * 4 + c] = x < 50 ? 0 : 250;
    ASSERT_TRUE(b.run(step.view, out.view)) << b.name;
    const uint8_t* row = out.view.row(10);
    EXPECT_EQ(row[0], 0) << b.name;
    EXPECT_EQ(row[199 * 4], 250) << b.name;
    int32_t between = 0;
    for (int32_t x = 0; x < 200; ++x) between += row[x * 4] > 5 && row[x * 4] < 245;
    EXPECT_GE(between, 2) << b.name;
  }
}

TEST(Blurs, LinearBlursRampMonotonicallyOverTheirWidth) {
  struct Case {
    const char* name;
    Blur run;
    int32_t ramp;  // pixels strictly between the two sides
  };
  const Case cases[] = {
      {"box r4", [](auto& s, auto& d) { return box_blur(s, d, 4); }, 8},
      {"motion 21 centred", [](auto& s, auto& d) { return motion_blur(s, d, 21, 0, 0.5); }, 20},
      {"motion 21 trailing", [](auto& s, auto& d) { return motion_blur(s, d, 21, 180, 0); }, 20},
  };
  for (const Case& k : cases) {
    Picture step(100, 9, 1), out(100, 9, 1);
    for (int32_t y = 0; y < 9; ++y)
      for (int32_t x = 0; x < 100; ++x) step.view.row(y)[x] = x < 50 ? 0 : 252;
    ASSERT_TRUE(k.run(step.view, out.view)) << k.name;
    const uint8_t* row = out.view.row(4);
    int32_t between = 0;
    for (int32_t x = 0; x < 100; ++x) {
      if (x > 0) {
        EXPECT_GE(row[x], row[x - 1]) << k.name << " at " << x;
      }
      between += row[x] > 0 && row[x] < 252;
    }
    EXPECT_EQ(between, k.ramp) << k.name;
  }
}

TEST(Blurs, BoxBlurInPlaceEqualsOutOfPlaceAndHonoursTheChannelMask) {
  Picture tex(40, 30), out(40, 30);
  for (size_t i = 0; i < tex.px.size(); ++i) tex.px[i] = uint8_t(i * 7919 % 251);
  ASSERT_TRUE(box_blur(tex.view, out.view, 3, 2, 0b0101));
  Picture same = tex;
  same.view.data = same.px.data();
  ASSERT_TRUE(box_blur(same.view, same.view, 3, 2, 0b0101));
  EXPECT_EQ(same.px, out.px);
  for (size_t i = 1; i < tex.px.size(); i += 2) ASSERT_EQ(out.px[i], tex.px[i]) << "masked channel changed";
}

TEST(Blurs, BilateralFlattensSmallNoiseAndKeepsAStrongEdge) {
  Picture noisy(80, 60, 3), out(80, 60, 3);
  srand(7);
  for (int32_t y = 0; y < 60; ++y)
    for (int32_t x = 0; x < 80; ++x)
      for (int32_t c = 0; c < 3; ++c)
        noisy.view.row(y)[x * 3 + c] = uint8_t((x < 40 ? 40 : 210) + std::rand() % 13 - 6);
  ASSERT_TRUE(bilateral_filter(noisy.view, out.view, 4, 10));
  int64_t before = 0, after = 0;
  for (int32_t y = 10; y < 50; ++y)
    for (int32_t x = 5; x < 35; ++x) {
      before += std::abs(noisy.view.row(y)[x * 3] - 40);
      after += std::abs(out.view.row(y)[x * 3] - 40);
    }
  EXPECT_LT(after * 3, before);
  for (int32_t y = 0; y < 60; ++y) {
    EXPECT_LT(out.view.row(y)[39 * 3], 60);
    EXPECT_GT(out.view.row(y)[40 * 3], 190);
  }
  Picture flat(30, 20, 3), flat_out(30, 20, 3);
  for (size_t i = 0; i < flat.px.size(); ++i) flat.px[i] = uint8_t(17 + 80 * (i % 3));
  ASSERT_TRUE(bilateral_filter(flat.view, flat_out.view, 5, 0.2));
  EXPECT_EQ(flat_out.px, flat.px);
}

// Images a pixel wide or tall, with windows far larger than they are, stay inside
// their rows (the sanitizer build checks) and, being uniform, unchanged.
TEST(Blurs, EveryWindowOperationCopesWithImagesSmallerThanItsWindow) {
  const std::vector<NamedBlur> more = {
      {"median r1", [](auto& s, auto& d) { return median_filter(s, d, 1); }},
      {"median r9", [](auto& s, auto& d) { return median_filter(s, d, 9); }},
      {"max", [](auto& s, auto& d) { return maximum_filter(s, d, 7); }},
      {"midpoint", [](auto& s, auto& d) { return midpoint_filter(s, d, 7); }},
      {"geometric", [](auto& s, auto& d) { return geometric_mean(s, d, 7); }},
      {"harmonic", [](auto& s, auto& d) { return harmonic_mean(s, d, 7); }},
      {"bilateral", [](auto& s, auto& d) { return bilateral_filter(s, d, 7, 10); }},
      {"dust", [](auto& s, auto& d) { return dust_and_scratches(s, d, 7, 0, 1.0); }},
      {"unsharp", [](auto& s, auto& d) { return unsharp_mask(s, d, 2, 3, 0, 255); }},
      {"box wide", [](auto& s, auto& d) { return box_blur(s, d, 50, 3); }},
      {"motion long", [](auto& s, auto& d) { return motion_blur(s, d, 90, 60, 0.5); }},
  };
  for (auto [w, h] : {std::pair{1, 1}, {1, 7}, {7, 1}, {2, 2}}) {
    for (const auto* list : {&blurs(), &more})
      for (const NamedBlur& b : *list) {
        Picture flat(w, h), out(w, h);
        for (size_t i = 0; i < flat.px.size(); ++i) flat.px[i] = uint8_t(50 + 40 * (i % 4));
        ASSERT_TRUE(b.run(flat.view, out.view)) << b.name << " " << w << "x" << h;
        EXPECT_EQ(out.px, flat.px) << b.name << " " << w << "x" << h;
      }
    Picture flat(w, h);
    for (size_t i = 0; i < flat.px.size(); ++i) flat.px[i] = 128;
    EXPECT_TRUE(contrast_mask(flat.view, true, 5));
    EXPECT_TRUE(remove_lone_dots(flat.view));
  }
}

}  // namespace
}  // namespace cvl::imaging
