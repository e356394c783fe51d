#include "imaging/filters/gaussian_blur.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

namespace cvl::imaging {
namespace {

struct Picture {
  std::vector<uint8_t> px;
  ImageView view;
  Picture(int32_t w, int32_t h, int32_t ch) : px(size_t(w) * h * ch), view{px.data(), w, h, ch, w * ch} {}
};

double channel_mean(const Picture& p, int32_t c) {
  double sum = 0;
  for (size_t i = size_t(c); i < p.px.size(); i += size_t(p.view.channels)) sum += p.px[i];
  return sum / double(p.px.size() / size_t(p.view.channels));
}

TEST(GaussianBlur, KeepsUniformImagesAndTheMeanForEveryChannelCount) {
  for (int32_t ch : {1, 3, 4}) {
    for (float sigma : {0.6f, 2.0f, 5.0f, 20.0f}) {
      Picture flat(70, 45, ch), out(70, 45, ch);
      for (size_t i = 0; i < flat.px.size(); ++i) flat.px[i] = uint8_t(40 + 50 * (i % size_t(ch)));
      ASSERT_TRUE(gaussian_blur(flat.view, out.view, sigma));
      EXPECT_EQ(out.px, flat.px) << ch << " channels, sigma " << sigma;

      // A textured picture much larger than the blur keeps its mean.
      Picture tex(300, 260, ch), blurred(300, 260, ch);
      for (int32_t y = 0; y < 260; ++y)
        for (int32_t x = 0; x < 300; ++x)
          for (int32_t c = 0; c < ch; ++c) tex.view.row(y)[x * ch + c] = uint8_t((x * 37 + y * 91 + c * 50) % 256);
      ASSERT_TRUE(gaussian_blur(tex.view, blurred.view, sigma));
      for (int32_t c = 0; c < ch; ++c)
        EXPECT_NEAR(channel_mean(blurred, c), channel_mean(tex, c), 1.5) << ch << " channels, sigma " << sigma;
    }
  }
}

// A vertical step edge becomes a ramp whose width follows sigma: the profile
// between 16% and 84% of the step spans about two sigma for a true Gaussian.
TEST(GaussianBlur, SmoothsAStepEdgeOverTwoSigma) {
  for (float sigma : {3.0f, 8.0f, 20.0f}) {
    Picture step(400, 8, 1), out(400, 8, 1);
    for (int32_t y = 0; y < 8; ++y)
      for (int32_t x = 0; x < 400; ++x) step.view.row(y)[x] = x < 200 ? 0 : 250;
    ASSERT_TRUE(gaussian_blur(step.view, out.view, sigma));
    const uint8_t* row = out.view.row(4);
    EXPECT_EQ(row[0], 0);
    EXPECT_EQ(row[399], 250);
    for (int32_t x = 1; x < 400; ++x) ASSERT_GE(row[x], row[x - 1]) << "not monotonic at " << x;
    int32_t lo = 0, hi = 0;
    while (row[lo] < 40) ++lo;   // 16% of 250
    while (row[hi] < 210) ++hi;  // 84%
    EXPECT_NEAR(double(hi - lo), 2.0 * sigma, 0.15 * 2.0 * sigma + 1.5) << "sigma " << sigma;
    EXPECT_NEAR(row[200] + row[199], 250, 6);
  }
}

TEST(GaussianBlur, LeavesChannelsOutsideTheMaskAndWorksInPlace) {
  Picture src(64, 40, 4), out(64, 40, 4), inplace(64, 40, 4);
  for (size_t i = 0; i < src.px.size(); ++i) src.px[i] = uint8_t((i * 2654435761u) >> 24);
  inplace.px = src.px;
  ASSERT_TRUE(gaussian_blur(src.view, out.view, 4.0f, 7));
  ASSERT_TRUE(gaussian_blur(inplace.view, inplace.view, 4.0f, 7));
  EXPECT_EQ(out.px, inplace.px);
  int changed = 0;
  for (size_t i = 0; i < src.px.size(); ++i) {
    if (i % 4 == 3) ASSERT_EQ(out.px[i], src.px[i]) << "alpha changed at byte " << i;
    else changed += out.px[i] != src.px[i];
  }
  EXPECT_GT(changed, int(src.px.size() / 2));
}

TEST(GaussianBlur, RefusesMismatchedViewsAndCopiesBelowHalfAPixel) {
  Picture a(10, 10, 4), b(10, 9, 4), c(10, 10, 4);
  for (size_t i = 0; i < a.px.size(); ++i) a.px[i] = uint8_t(i);
  EXPECT_FALSE(gaussian_blur(a.view, b.view, 2.0f));
  ASSERT_TRUE(gaussian_blur(a.view, c.view, 0.3f));
  EXPECT_EQ(a.px, c.px);
  Picture one(1, 1, 3), one_out(1, 1, 3);
  one.px = {9, 99, 199};
  ASSERT_TRUE(gaussian_blur(one.view, one_out.view, 10.0f));
  EXPECT_EQ(one_out.px, one.px);
}

}  // namespace
}  // namespace cvl::imaging
