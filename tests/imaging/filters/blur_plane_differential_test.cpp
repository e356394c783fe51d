// The banded box passes against the plain line-at-a-time reference: the same
// words for 8- and 16-bit planes, padded rows, radii past the plane's size and
// windows on both sides of where the passes stop multiplying, at 1, 2 and 3
// threads.
#include <gtest/gtest.h>

#include <vector>

#include "imaging/filters/blur.h"
#include "imaging/lcg15.h"
#include "imaging/parallel_bands.h"

namespace cvl::imaging {
namespace {

template <class T>
std::vector<T> noise_plane(size_t n, uint32_t seed, int bits) {
  Lcg15 rng(seed);
  std::vector<T> p(n);
  for (T& v : p) v = T((uint32_t(rng.next()) << 15 | uint32_t(rng.next())) & ((1u << bits) - 1));
  return p;
}

TEST(BlurPlaneDifferential, MatchesTheReferenceWordForWord) {
  struct Case {
    int32_t w, h, pad, radius, passes;
  };
  const Case cases[] = {{1, 1, 0, 1, 3},    {2, 3, 0, 1, 3},     {3, 2, 2, 5, 1},    {17, 11, 3, 1, 3},
                        {40, 33, 0, 2, 3},  {40, 33, 5, 7, 2},   {9, 64, 1, 100, 3}, {64, 9, 0, 0, 3},
                        {31, 7, 0, 3, 0},   {600, 500, 4, 3, 3}, {5, 4, 0, 2047, 1}, {5, 4, 0, 2048, 1},
                        {7, 3, 0, 40000, 1}};
  for (const int threads : {1, 2, 3}) {
    set_thread_count(threads);
    for (const Case& c : cases) {
      const int32_t stride = c.w + c.pad;
      const size_t n = size_t(stride) * size_t(c.h);
      std::vector<uint8_t> a8 = noise_plane<uint8_t>(n, uint32_t(c.w * 7 + c.h), 8), b8 = a8;
      blur_plane8(a8.data(), c.w, c.h, stride, c.radius, c.passes);
      blur_plane8_reference(b8.data(), c.w, c.h, stride, c.radius, c.passes);
      EXPECT_EQ(a8, b8) << c.w << "x" << c.h << " r" << c.radius << " threads " << threads;
      std::vector<uint16_t> a16 = noise_plane<uint16_t>(n, uint32_t(c.w + c.h * 5), 16), b16 = a16;
      blur_plane16(a16.data(), c.w, c.h, stride, c.radius, c.passes);
      blur_plane16_reference(b16.data(), c.w, c.h, stride, c.radius, c.passes);
      EXPECT_EQ(a16, b16) << c.w << "x" << c.h << " r" << c.radius << " threads " << threads << " (16-bit)";
    }
  }
  set_thread_count(0);
}

// All channels of an interleaved image at once against each channel taken out
// and blurred alone by the reference: narrow windows added up directly, wide
// ones slid, the widest handed to the reference, padded rows, 1 to 4 channels.
TEST(BlurPlaneDifferential, InterleavedChannelsBlurAsEachWouldAlone) {
  struct Case {
    int32_t w, h, ch, pad, radius, passes;
  };
  const Case cases[] = {{1, 1, 3, 0, 1, 3},   {2, 3, 4, 0, 1, 3},     {3, 2, 3, 5, 2, 3},     {17, 11, 1, 3, 8, 3},
                        {40, 33, 3, 0, 9, 3}, {40, 33, 4, 7, 3, 2},   {9, 64, 2, 1, 100, 1},  {64, 9, 3, 0, 0, 3},
                        {31, 7, 3, 0, 3, 0},  {300, 200, 3, 4, 1, 3}, {5, 4, 3, 0, 32767, 1}, {5, 4, 3, 0, 40000, 2}};
  for (const int threads : {1, 2, 3}) {
    set_thread_count(threads);
    for (const Case& c : cases) {
      const int32_t stride = c.w * c.ch + c.pad;
      std::vector<uint8_t> image = noise_plane<uint8_t>(size_t(stride) * c.h, uint32_t(c.w * 3 + c.ch), 8);
      std::vector<uint8_t> want = image;
      for (int32_t k = 0; k < c.ch; ++k) {
        std::vector<uint8_t> plane(size_t(c.w) * c.h);
        for (int32_t y = 0; y < c.h; ++y)
          for (int32_t x = 0; x < c.w; ++x) plane[size_t(y) * c.w + x] = want[size_t(y) * stride + x * c.ch + k];
        blur_plane8_reference(plane.data(), c.w, c.h, c.w, c.radius, c.passes);
        for (int32_t y = 0; y < c.h; ++y)
          for (int32_t x = 0; x < c.w; ++x) want[size_t(y) * stride + x * c.ch + k] = plane[size_t(y) * c.w + x];
      }
      blur_interleaved8(image.data(), c.w, c.h, stride, c.ch, c.radius, c.passes);
      EXPECT_EQ(image, want) << c.w << "x" << c.h << "x" << c.ch << " r" << c.radius << " x" << c.passes << " threads "
                             << threads;
    }
  }
  set_thread_count(0);
}

}  // namespace
}  // namespace cvl::imaging
