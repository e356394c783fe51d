// Sharpening raises edge contrast, leaves flat areas alone, and the unsharp
// mask's threshold and limit hold.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "imaging/filters/sharpen.h"
#include "imaging/filters/unsharp_mask.h"

namespace cvl::imaging {
namespace {

struct Picture {
  std::vector<uint8_t> px;
  ImageView view;
  Picture(int32_t w, int32_t h, int32_t ch) : px(size_t(w) * h * ch), view{px.data(), w, h, ch, w * ch} {}
};

// A soft vertical edge from 80 to 170 over x = 28..35; alpha 200 when present.
Picture soft_edge(int32_t ch) {
  Picture p(64, 12, ch);
  for (int32_t y = 0; y < 12; ++y)
    for (int32_t x = 0; x < 64; ++x) {
      const int32_t v = x < 28 ? 80 : x > 35 ? 170 : 80 + (x - 27) * 10;
      for (int32_t c = 0; c < 3; ++c) p.view.row(y)[x * ch + c] = uint8_t(v);
      if (ch == 4) p.view.row(y)[x * ch + 3] = 200;
    }
  return p;
}

TEST(Sharpen, RaisesEdgeContrastAndKeepsFlatAreasAndAlpha) {
  using Op = std::function<bool(const ImageView&, const ImageView&)>;
  const std::pair<const char*, Op> ops[] = {
      {"sharpen 20", [](auto& s, auto& d) { return sharpen(s, d, 20, 7); }},
      {"sharpen wide", [](auto& s, auto& d) { return sharpen(s, d, 20, 25); }},
      {"unsharp mask", [](auto& s, auto& d) { return unsharp_mask(s, d, 1.5, 2.0, 0, 255); }},
  };
  for (int32_t ch : {3, 4})
    for (const auto& [name, op] : ops) {
      const Picture in = soft_edge(ch);
      Picture out(64, 12, ch);
      ASSERT_TRUE(op(in.view, out.view)) << name;
      const uint8_t* before = in.view.row(6);
      const uint8_t* after = out.view.row(6);
      // Darker just below the edge, lighter just above it, flat far away.
      const auto lowest = [&](const uint8_t* r) { int32_t m = 255; for (int32_t x = 20; x < 44; ++x) m = std::min<int32_t>(m, r[x * ch]); return m; };
      const auto highest = [&](const uint8_t* r) { int32_t m = 0; for (int32_t x = 20; x < 44; ++x) m = std::max<int32_t>(m, r[x * ch]); return m; };
      EXPECT_LT(lowest(after), lowest(before)) << name;
      EXPECT_GT(highest(after), highest(before)) << name;
      EXPECT_EQ(after[2 * ch], 80) << name;
      EXPECT_EQ(after[62 * ch + 1], 170) << name;
      if (ch == 4) {
        for (int32_t x = 0; x < 64; ++x) ASSERT_EQ(after[x * 4 + 3], 200) << name;
      }
    }
}

TEST(Sharpen, UnsharpMaskLeavesDetailBelowTheThresholdAndLimitsTheChange) {
  const Picture in = soft_edge(3);
  Picture high(64, 12, 3), limited(64, 12, 3), full(64, 12, 3);
  ASSERT_TRUE(unsharp_mask(in.view, high.view, 3.0, 2.0, 200, 255));
  EXPECT_EQ(high.px, in.px);
  ASSERT_TRUE(unsharp_mask(in.view, full.view, 3.0, 2.0, 0, 255));
  ASSERT_TRUE(unsharp_mask(in.view, limited.view, 3.0, 2.0, 0, 6));
  int32_t widest = 0;
  for (size_t i = 0; i < in.px.size(); ++i) {
    ASSERT_LE(std::abs(int32_t(limited.px[i]) - in.px[i]), 6);
    widest = std::max(widest, std::abs(int32_t(full.px[i]) - in.px[i]));
  }
  EXPECT_GT(widest, 6);
}

}  // namespace
}  // namespace cvl::imaging
