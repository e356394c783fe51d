// The banded box blur (column sums slid along padded rows, passes back and forth
// between the destination and one scratch image) against its plain twin: the
// same bytes for every shape, channel count, radius, pass count, channel mask,
// stride and thread count, in place or not.
#include <gtest/gtest.h>

#include <vector>

#include "imaging/filters/box_blur.h"
#include "imaging/parallel_bands.h"

namespace cvl::imaging {
namespace {

struct Picture {
  std::vector<uint8_t> px;
  ImageView view;
  Picture(int32_t w, int32_t h, int32_t ch, int32_t pad, uint32_t salt)
      : px(size_t(w * ch + pad) * h, 0xEE), view{px.data(), w, h, ch, w * ch + pad} {
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w * ch; ++x) {
        uint32_t v = uint32_t(x) * 0x9E3779B1u ^ uint32_t(y) * 0x85EBCA77u ^ salt;
        v ^= v >> 15, v *= 0x2C1B3C6Du, v ^= v >> 13;
        // Hard steps between full and empty beside grain, so rounding is tested at both ends.
        view.row(y)[x] = (x / 7 + y / 5) % 3 == 0 ? ((x + y) % 2 ? 255 : 0) : uint8_t(v >> 24);
      }
  }
};

struct Shape {
  int32_t w, h, pad;
};
constexpr Shape kShapes[] = {{1, 1, 0}, {2, 3, 0}, {3, 2, 5}, {17, 13, 0}, {64, 5, 3}, {131, 70, 0}};

struct Settings {
  int32_t radius, passes;
  uint32_t mask;
};
constexpr Settings kSettings[] = {{0, 3, 15}, {1, 0, 15},  {1, 1, 15},    {2, 2, 15}, {5, 3, 15},
                                  {9, 4, 15}, {40, 3, 15}, {3000, 1, 15}, {3, 2, 5},  {4, 3, 2}};

TEST(BoxBlurDifferential, BandedPassesGiveThePlainTwinsBytes) {
  set_band_work_floor(64);
  for (const Shape s : kShapes)
    for (int32_t ch : {1, 3, 4})
      for (const Settings& k : kSettings) {
        const Picture src(s.w, s.h, ch, s.pad, 5);
        Picture want(s.w, s.h, ch, s.pad, 9);
        ASSERT_TRUE(box_blur_reference(src.view, want.view, k.radius, k.passes, k.mask));
        for (int threads : {1, 2, 3}) {
          set_thread_count(threads);
          Picture got(s.w, s.h, ch, s.pad, 9);
          ASSERT_TRUE(box_blur(src.view, got.view, k.radius, k.passes, k.mask));
          ASSERT_EQ(got.px, want.px) << s.w << " x " << s.h << " x " << ch << ", radius " << k.radius << " x "
                                     << k.passes << ", mask " << k.mask << ", " << threads << " threads";
          // In place: the twin in place too, with its padding left alone.
          Picture same(s.w, s.h, ch, s.pad, 5), same_want(s.w, s.h, ch, s.pad, 5);
          ASSERT_TRUE(box_blur(same.view, same.view, k.radius, k.passes, k.mask));
          ASSERT_TRUE(box_blur_reference(same_want.view, same_want.view, k.radius, k.passes, k.mask));
          ASSERT_EQ(same.px, same_want.px) << "in place, " << s.w << " x " << s.h << " x " << ch << ", radius "
                                           << k.radius << " x " << k.passes << ", mask " << k.mask;
        }
      }
  set_thread_count(0);
  set_band_work_floor(65536);
}

TEST(BoxBlurDifferential, RefusesWhatItsTwinRefuses) {
  std::vector<uint8_t> a(64), b(64);
  const ImageView four{a.data(), 4, 4, 4, 16}, other{b.data(), 4, 4, 4, 16}, two{a.data(), 8, 4, 2, 16};
  const ImageView smaller{b.data(), 3, 4, 4, 16};
  struct Case {
    ImageView src, dst;
    int32_t radius, passes;
  } cases[] = {{four, smaller, 1, 1}, {two, two, 1, 1}, {four, other, -1, 1}, {four, other, 1, -2}};
  for (const Case& c : cases) {
    EXPECT_FALSE(box_blur_reference(c.src, c.dst, c.radius, c.passes));
    EXPECT_FALSE(box_blur(c.src, c.dst, c.radius, c.passes));
  }
}

}  // namespace
}  // namespace cvl::imaging
