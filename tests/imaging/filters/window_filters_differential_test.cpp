// The fast window filters against their plain reference twins: the same bytes
// for tiny and odd-sized pictures, radii past the picture's size, extreme
// amounts, in place and out of place, and at one, two and three threads with
// bands small enough that even the tiny pictures split.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "imaging/filters/bilateral.h"
#include "imaging/filters/blur.h"
#include "imaging/filters/exact_divide.h"
#include "imaging/filters/lone_dots.h"
#include "imaging/filters/sharpen.h"
#include "imaging/filters/window_filters_reference.h"
#include "imaging/filters/window_means.h"
#include "imaging/parallel_bands.h"

namespace cvl::imaging {
namespace {

struct Shape {
  int32_t width, height;
};
constexpr Shape kShapes[] = {{1, 1}, {2, 3}, {3, 2}, {17, 9}, {64, 33}, {5, 71}};
constexpr int kThreads[] = {1, 2, 3};

// Smooth ramps, hard steps, noise and lone extremes, so that every window meets
// flat runs, edges and outliers; `seed` varies the noise.
std::vector<uint8_t> picture(int32_t width, int32_t height, int32_t channels, uint32_t seed) {
  std::vector<uint8_t> p(size_t(width) * height * channels);
  for (int32_t y = 0; y < height; ++y)
    for (int32_t x = 0; x < width; ++x)
      for (int32_t c = 0; c < channels; ++c) {
        uint32_t h = (uint32_t(x) * 0x9E3779B1u) ^ (uint32_t(y) * 0x85EBCA77u) ^ (uint32_t(c) * 0xC2B2AE3Du) ^ seed;
        h ^= h >> 15, h *= 0x2C1B3C6Du, h ^= h >> 12;
        int32_t v = (x * 255) / std::max(width - 1, 1) + int32_t(h % 41) - 20;
        if ((x / 4 + y / 3 + c) % 2) v = 255 - v;
        if (h % 29 == 0) v = (h >> 8) % 2 ? 255 : 0;
        p[(size_t(y) * width + x) * channels + c] = uint8_t(std::clamp(v, 0, 255));
      }
  return p;
}

struct WindowFiltersDifferential : ::testing::Test {
  void SetUp() override { set_band_work_floor(1); }
  void TearDown() override {
    set_thread_count(0);
    set_band_work_floor(0);
  }
};

TEST(ExactDivider, MatchesDivisionForEveryDivisorShapeAndNumeratorEdge) {
  for (uint32_t d : {1u, 2u, 3u, 7u, 9u, 25u, 121u, 255u, 256u, 257u, 1000u, 32767u, 65535u, 1u << 20, 0x7FFFFFFFu,
                     0x80000000u, 0xFFFFFFFFu}) {
    const ExactDivider divide(d);
    for (uint32_t n : {0u, 1u, d - 1, d, d + 1, 2 * d - 1, 12345678u, 0x7FFFFFFEu, 0x7FFFFFFFu}) {
      if (n >= ExactDivider::kLimit) continue;
      EXPECT_EQ(divide(n), n / d) << n << " / " << d;
    }
    for (uint32_t k = 1; k < 2000; ++k) {
      const uint64_t n = uint64_t(k) * d - 1;
      if (n >= ExactDivider::kLimit) break;
      ASSERT_EQ(divide(uint32_t(n)), uint32_t(n / d)) << n << " / " << d;
      ASSERT_EQ(divide(uint32_t(n + 1)), uint32_t((n + 1) / d)) << n + 1 << " / " << d;
    }
  }
}

TEST_F(WindowFiltersDifferential, BoxBlurPlanesMatchTheReference) {
  for (int threads : kThreads) {
    set_thread_count(threads);
    for (const Shape& s : kShapes)
      for (int32_t radius : {0, 1, 2, 3, 7, 40})
        for (int32_t passes : {1, 3}) {
          // A stride wider than the plane: the bytes beyond each row stay as they were.
          const int32_t stride = s.width + 3;
          std::vector<uint8_t> fast = picture(stride, s.height, 1, uint32_t(radius)), slow = fast;
          blur_plane8(fast.data(), s.width, s.height, stride, radius, passes);
          blur_plane8_reference(slow.data(), s.width, s.height, stride, radius, passes);
          ASSERT_EQ(fast, slow) << s.width << "x" << s.height << " r" << radius << " p" << passes << " t" << threads;

          const std::vector<uint8_t> bytes = picture(2 * stride, s.height, 1, 7);
          std::vector<uint16_t> fast16(size_t(stride) * s.height);
          for (size_t i = 0; i < fast16.size(); ++i) fast16[i] = uint16_t(bytes[2 * i] << 8 | bytes[2 * i + 1]);
          std::vector<uint16_t> slow16 = fast16;
          blur_plane16(fast16.data(), s.width, s.height, stride, radius, passes);
          blur_plane16_reference(slow16.data(), s.width, s.height, stride, radius, passes);
          ASSERT_EQ(fast16, slow16) << s.width << "x" << s.height << " r" << radius << " p" << passes;
        }
  }
}

TEST_F(WindowFiltersDifferential, SharpenMatchesTheReference) {
  for (int threads : kThreads) {
    set_thread_count(threads);
    for (const Shape& s : kShapes)
      for (int32_t channels : {3, 4})
        for (int32_t amount : {0, 7, 13, -5, 100, 2000, -2147483647})
          for (int32_t size : {1, 7, 19, 61}) {
            const std::vector<uint8_t> in = picture(s.width, s.height, channels, uint32_t(amount));
            std::vector<uint8_t> fast(in.size(), 9), slow(in.size(), 9);
            const int32_t stride = s.width * channels;
            const ImageView src{const_cast<uint8_t*>(in.data()), s.width, s.height, channels, stride};
            ASSERT_EQ(sharpen(src, {fast.data(), s.width, s.height, channels, stride}, amount, size),
                      sharpen_reference(src, {slow.data(), s.width, s.height, channels, stride}, amount, size));
            ASSERT_EQ(fast, slow) << s.width << "x" << s.height << " c" << channels << " a" << amount << " s" << size;
            // In place.
            std::vector<uint8_t> own = in;
            sharpen({own.data(), s.width, s.height, channels, stride},
                    {own.data(), s.width, s.height, channels, stride}, amount, size);
            ASSERT_EQ(own, slow);
          }
  }
}

TEST_F(WindowFiltersDifferential, GeometricAndHarmonicMeansMatchTheReference) {
  using Filter = bool (*)(const ImageView&, const ImageView&, int32_t);
  const struct {
    Filter fast, slow;
  } kFilters[] = {{geometric_mean, geometric_mean_reference}, {harmonic_mean, harmonic_mean_reference}};
  for (int threads : kThreads) {
    set_thread_count(threads);
    for (const auto& f : kFilters)
      for (const Shape& s : kShapes)
        for (int32_t channels : {1, 3, 4})
          for (int32_t radius : {0, 1, 2, 5, 60, 200}) {
            const std::vector<uint8_t> in = picture(s.width, s.height, channels, uint32_t(radius * 31));
            std::vector<uint8_t> fast(in.size(), 9), slow(in.size(), 9);
            const int32_t stride = s.width * channels;
            const ImageView src{const_cast<uint8_t*>(in.data()), s.width, s.height, channels, stride};
            ASSERT_EQ(f.fast(src, {fast.data(), s.width, s.height, channels, stride}, radius),
                      f.slow(src, {slow.data(), s.width, s.height, channels, stride}, radius));
            ASSERT_EQ(fast, slow) << s.width << "x" << s.height << " c" << channels << " r" << radius;
            std::vector<uint8_t> own = in;
            const ImageView own_view{own.data(), s.width, s.height, channels, stride};
            f.fast(own_view, own_view, radius);
            ASSERT_EQ(own, slow);
          }
  }
  // Every sum a window can hold: uniform pictures of each value give that value
  // back, and two-value checkers land on the reference's byte.
  for (const auto& f : kFilters)
    for (int32_t a = 0; a < 256; a += 5)
      for (int32_t b : {0, 1, 128, 254, 255}) {
        std::vector<uint8_t> in(9 * 7);
        for (size_t i = 0; i < in.size(); ++i) in[i] = uint8_t(i % 3 ? a : b);
        std::vector<uint8_t> fast(in.size()), slow(in.size());
        const ImageView src{in.data(), 9, 7, 1, 9};
        f.fast(src, {fast.data(), 9, 7, 1, 9}, 2);
        f.slow(src, {slow.data(), 9, 7, 1, 9}, 2);
        ASSERT_EQ(fast, slow) << a << " " << b;
      }
}

TEST_F(WindowFiltersDifferential, BilateralFilterMatchesTheReference) {
  for (int threads : kThreads) {
    set_thread_count(threads);
    for (const Shape& s : kShapes)
      for (int32_t channels : {3, 4})
        for (int32_t radius : {0, 1, 3, 10, 100})
          for (double sigma : {0.135, 3.0, 16.875, 40.0, 1000.0}) {
            const std::vector<uint8_t> in = picture(s.width, s.height, channels, uint32_t(radius + sigma * 10));
            std::vector<uint8_t> fast(in.size(), 9), slow(in.size(), 9);
            const int32_t stride = s.width * channels;
            const ImageView src{const_cast<uint8_t*>(in.data()), s.width, s.height, channels, stride};
            ASSERT_EQ(
                bilateral_filter(src, {fast.data(), s.width, s.height, channels, stride}, radius, sigma),
                bilateral_filter_reference(src, {slow.data(), s.width, s.height, channels, stride}, radius, sigma));
            ASSERT_EQ(fast, slow) << s.width << "x" << s.height << " c" << channels << " r" << radius << " s" << sigma;
          }
  }
}

TEST_F(WindowFiltersDifferential, LoneDotRemovalMatchesTheReference) {
  for (int threads : kThreads) {
    set_thread_count(threads);
    for (const Shape& s : kShapes)
      for (int32_t channels : {1, 3, 4})
        for (uint32_t mask : {0u, 1u, 7u, 15u, 10u}) {
          std::vector<uint8_t> fast = picture(s.width, s.height, channels, mask * 17), slow = fast;
          const int32_t stride = s.width * channels;
          ASSERT_EQ(remove_lone_dots({fast.data(), s.width, s.height, channels, stride}, mask),
                    remove_lone_dots_reference({slow.data(), s.width, s.height, channels, stride}, mask));
          ASSERT_EQ(fast, slow) << s.width << "x" << s.height << " c" << channels << " mask " << mask;
        }
  }
}

}  // namespace
}  // namespace cvl::imaging
