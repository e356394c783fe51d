#include "imaging/geometry/resample_separable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace cvl::imaging {
namespace {

constexpr ResampleMethod kAll[] = {
    ResampleMethod::Box,         ResampleMethod::Triangle, ResampleMethod::Hamming, ResampleMethod::Gaussian,
    ResampleMethod::Bell,        ResampleMethod::BSpline,  ResampleMethod::Cubic1,  ResampleMethod::Cubic2,
    ResampleMethod::Lanczos3,    ResampleMethod::Mitchell, ResampleMethod::Sinc,    ResampleMethod::Hermite,
    ResampleMethod::Hanning,     ResampleMethod::Catrom,   ResampleMethod::AreaAverage, ResampleMethod::Nearest,
    ResampleMethod::Bilinear,    ResampleMethod::Bicubic,
};

struct Picture {
  std::vector<uint8_t> px;
  ImageView view;
  Picture(int32_t w, int32_t h, int32_t ch, uint8_t value = 0) : px(size_t(w) * h * ch, value) {
    view = {px.data(), w, h, ch, w * ch};
  }
  uint8_t* at(int32_t x, int32_t y) { return view.row(y) + size_t(x) * view.channels; }
};

TEST(Resample, EveryMethodKeepsAUniformImageAtEverySize) {
  const int32_t sizes[][2] = {{37, 23}, {10, 7}, {5, 3}, {1, 1}, {80, 50}, {37, 60}};
  for (ResampleMethod m : kAll)
    for (const auto& s : sizes) {
      Picture src(37, 23, 4), dst(s[0], s[1], 4);
      for (size_t i = 0; i < src.px.size(); i += 4) src.px[i] = 200, src.px[i + 1] = 17, src.px[i + 2] = 99, src.px[i + 3] = 255;
      ASSERT_TRUE(resample(src.view, dst.view, m));
      for (size_t i = 0; i < dst.px.size(); i += 4) {
        ASSERT_NEAR(dst.px[i], 200, 1) << int(m) << " " << s[0] << "x" << s[1];
        ASSERT_NEAR(dst.px[i + 1], 17, 1) << int(m);
        ASSERT_NEAR(dst.px[i + 2], 99, 1) << int(m);
        ASSERT_EQ(dst.px[i + 3], 255) << int(m);
      }
    }
}

TEST(Resample, HalvingWithBoxOrAreaIsTheRoundedMeanOfEachSquare) {
  for (ResampleMethod m : {ResampleMethod::Box, ResampleMethod::AreaAverage})
    for (int32_t ch : {1, 3, 4}) {
      Picture src(8, 6, ch), dst(4, 3, ch);
      for (size_t i = 0; i < src.px.size(); ++i) src.px[i] = uint8_t((i * 37 + i / 5) % 251);
      if (ch == 4)
        for (size_t i = 3; i < src.px.size(); i += 4) src.px[i] = 255;
      ASSERT_TRUE(resample(src.view, dst.view, m));
      for (int32_t y = 0; y < 3; ++y)
        for (int32_t x = 0; x < 4; ++x)
          for (int32_t c = 0; c < ch; ++c) {
            const int sum = src.at(2 * x, 2 * y)[c] + src.at(2 * x + 1, 2 * y)[c] + src.at(2 * x, 2 * y + 1)[c] +
                            src.at(2 * x + 1, 2 * y + 1)[c];
            ASSERT_EQ(dst.at(x, y)[c], (sum + 2) / 4) << int(m) << " ch " << ch << " at " << x << "," << y;
          }
    }
}

TEST(Resample, LanczosRingsAtAStepEdgeWhileTriangleStaysWithinIt) {
  // A dark-to-light step enlarged three times: a negative-lobed kernel
  // overshoots on both sides, a positive one stays between the two levels.
  Picture src(12, 1, 1);
  for (int32_t x = 0; x < 12; ++x) src.px[size_t(x)] = x < 6 ? 50 : 200;
  const auto range = [&](ResampleMethod m) {
    Picture dst(36, 1, 1);
    EXPECT_TRUE(resample(src.view, dst.view, m));
    return std::make_pair(*std::min_element(dst.px.begin(), dst.px.end()),
                          *std::max_element(dst.px.begin(), dst.px.end()));
  };
  const auto lanczos = range(ResampleMethod::Lanczos3), triangle = range(ResampleMethod::Triangle);
  EXPECT_LT(lanczos.first, 50);
  EXPECT_GT(lanczos.second, 200);
  EXPECT_EQ(triangle.first, 50);
  EXPECT_EQ(triangle.second, 200);
}

TEST(Resample, TransparentPixelsLendNoColour) {
  // Red opaque pixels beside transparent green ones: every visible result is pure red.
  for (ResampleMethod m : kAll) {
    Picture src(8, 8, 4), dst(5, 11, 4);
    for (int32_t y = 0; y < 8; ++y)
      for (int32_t x = 0; x < 8; ++x) {
        uint8_t* p = src.at(x, y);
        if (x < 4) p[0] = 255, p[3] = 255;
        else p[1] = 255;
      }
    ASSERT_TRUE(resample(src.view, dst.view, m));
    for (int32_t y = 0; y < 11; ++y)
      for (int32_t x = 0; x < 5; ++x) {
        const uint8_t* p = dst.at(x, y);
        if (p[3] == 0) {
          // Nearest copies pixels as they are; the others clear what comes out transparent.
          if (m != ResampleMethod::Nearest) {
            ASSERT_EQ(p[0] | p[1] | p[2], 0) << int(m);
          }
          continue;
        }
        ASSERT_GE(p[0], 254) << int(m) << " at " << x << "," << y;
        ASSERT_LE(p[1], 1) << int(m) << " at " << x << "," << y;
      }
  }
}

TEST(Resample, NearestPicksSourcePixelsAndSameSizeInterpolationCopies) {
  Picture src(4, 2, 1);
  for (size_t i = 0; i < 8; ++i) src.px[i] = uint8_t(10 * i);
  Picture big(8, 4, 1);
  ASSERT_TRUE(resample(src.view, big.view, ResampleMethod::Nearest));
  EXPECT_EQ(big.px, (std::vector<uint8_t>{0, 0, 10, 10, 20, 20, 30, 30, 0, 0, 10, 10, 20, 20, 30, 30,
                                          40, 40, 50, 50, 60, 60, 70, 70, 40, 40, 50, 50, 60, 60, 70, 70}));
  for (ResampleMethod m : {ResampleMethod::Bilinear, ResampleMethod::Bicubic, ResampleMethod::Box,
                           ResampleMethod::AreaAverage, ResampleMethod::Nearest}) {
    Picture same(4, 2, 1);
    ASSERT_TRUE(resample(src.view, same.view, m));
    EXPECT_EQ(same.px, src.px) << int(m);
  }
}

TEST(Resample, RefusesViewsThatDoNotFit) {
  Picture a(4, 4, 4), b(2, 2, 3);
  EXPECT_FALSE(resample(a.view, b.view, ResampleMethod::Lanczos3));
  ImageView empty{};
  EXPECT_FALSE(resample(a.view, empty, ResampleMethod::Box));
}

}  // namespace
}  // namespace cvl::imaging
