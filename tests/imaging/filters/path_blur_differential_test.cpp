// The spin and zoom blurs (rows in bands; the zoom's taps blended down a row and
// then across it) against their plain twins, which sample every tap pixel by pixel
// on one thread: the same bytes for every picture, centre, amount and thread count.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "imaging/filters/path_blur.h"
#include "imaging/filters/path_blur_reference.h"
#include "imaging/parallel_bands.h"

namespace cvl::imaging {
namespace {

// A picture with rows `pad` bytes longer than its pixels, so that the blurs are
// seen to step by the stride.
struct Picture {
  std::vector<uint8_t> px;
  ImageView view;
  Picture(int32_t w, int32_t h, int32_t pad, uint32_t salt)
      : px(size_t(w * 4 + pad) * h, 0xEE), view{px.data(), w, h, 4, w * 4 + pad} {
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x) {
        uint8_t* p = view.row(y) + x * 4;
        const uint32_t hash = (uint32_t(x) * 2654435761u) ^ (uint32_t(y) * 40503u) ^ salt;
        p[0] = uint8_t(x * 255 / std::max(w - 1, 1)), p[1] = uint8_t(hash >> 9);
        p[2] = (x / 4 + y / 3) % 2 ? 250 : 5, p[3] = uint8_t(x < w / 5 ? 0 : hash >> 17);
      }
  }
};

using Blur = std::function<bool(const ImageView&, const ImageView&)>;
struct Case {
  const char* name;
  Blur fast, plain;
};

Case spin(const char* name, double fx, double fy, double angle) {
  return {name, [=](auto& s, auto& d) { return spin_blur(s, d, (s.width - 1) * fx, (s.height - 1) * fy, angle); },
          [=](auto& s, auto& d) { return spin_blur_reference(s, d, (s.width - 1) * fx, (s.height - 1) * fy, angle); }};
}
Case zoom(const char* name, double fx, double fy, double spread) {
  return {name, [=](auto& s, auto& d) { return zoom_blur(s, d, (s.width - 1) * fx, (s.height - 1) * fy, spread); },
          [=](auto& s, auto& d) { return zoom_blur_reference(s, d, (s.width - 1) * fx, (s.height - 1) * fy, spread); }};
}

const Case kCases[] = {
    spin("spin, the host's middle slider", 0.5, 0.5, 0.5 * 3.14159265358979 / 4),
    spin("spin, a quarter turn backwards", 0.5, 0.5, -3.14159265358979 / 2),
    spin("spin, a whisker", 0.5, 0.5, 0.004),
    spin("spin about a point outside", -0.7, 1.9, 0.3),
    spin("spin, a whole turn about a corner", 1.0, 0.0, 6.2831853071796),
    zoom("zoom, the host's middle slider", 0.5, 0.5, 0.5),
    zoom("zoom, the whole way", 0.5, 0.5, 1.0),
    zoom("zoom past the whole way (clamped)", 0.5, 0.5, 7.0),
    zoom("zoom, a whisker", 0.5, 0.5, 0.01),
    zoom("zoom about a corner", 0.0, 1.0, 0.35),
    zoom("zoom about a point outside", 2.5, -1.25, 0.8),
};

struct Size {
  int32_t w, h, pad;
};
// Tiny pictures, odd shapes, rows of exactly eight pixels (the wide taps' step)
// and of one or two pixels (too narrow for them), a padded stride, and ones
// large enough for bands and for several tiles with ragged ends.
constexpr Size kSizes[] = {{1, 1, 0}, {2, 3, 0},    {3, 2, 4},  {2, 2, 0},    {1, 40, 0},
                           {8, 9, 0}, {17, 13, 12}, {64, 5, 0}, {131, 70, 4}, {301, 259, 8}};

TEST(PathBlurDifferential, FastBlursGiveThePlainTwinsBytes) {
  for (const Case& c : kCases)
    for (const Size s : kSizes) {
      const Picture src(s.w, s.h, s.pad, 11);
      Picture want(s.w, s.h, s.pad, 99);
      ASSERT_TRUE(c.plain(src.view, want.view));
      for (int threads : {1, 2, 3}) {
        set_thread_count(threads);
        Picture got(s.w, s.h, s.pad, 99);
        ASSERT_TRUE(c.fast(src.view, got.view));
        ASSERT_EQ(got.px, want.px) << c.name << " at " << s.w << " x " << s.h << ", " << threads << " threads";
      }
      set_thread_count(0);
    }
}

}  // namespace
}  // namespace cvl::imaging
