// Sharpening through the banded passes and the detail table against the plain
// reference: the same bytes for 3 and 4 channels, amounts that saturate either
// way, blur sizes past the picture, in place, at 1, 2 and 3 threads.
#include <gtest/gtest.h>

#include <vector>

#include "imaging/filters/sharpen.h"
#include "imaging/parallel_bands.h"
#include "imaging/test_pictures.h"

namespace cvl::imaging {
namespace {

TEST(SharpenDifferential, MatchesTheReferenceByteForByte) {
  struct Size {
    int32_t w, h;
  };
  for (const int threads : {1, 2, 3}) {
    set_thread_count(threads);
    for (const Size size : {Size{1, 1}, Size{2, 3}, Size{3, 2}, Size{29, 17}, Size{500, 400}})
      for (const int32_t ch : {3, 4})
        for (const int32_t amount : {0, 5, 7, -13, 100, 128, -128, 129, 1000, -2000000000, 2000000000})
          for (const int32_t blur_size : {1, 7, 19, 400}) {
            if (size.w * size.h > 1000 && (amount != 5 || blur_size != 7)) continue;  // the big picture for banding
            test::Picture src = test::noise(size.w, size.h, ch, uint32_t(size.w + ch));
            test::Picture fast = test::flat(size.w, size.h, ch, 9), slow = fast;
            ASSERT_TRUE(sharpen(src.view(), fast.view(), amount, blur_size));
            ASSERT_TRUE(sharpen_reference(src.view(), slow.view(), amount, blur_size));
            ASSERT_EQ(fast.px, slow.px) << size.w << "x" << size.h << " ch " << ch << " amount " << amount << " size "
                                        << blur_size << " threads " << threads;
            test::Picture in_place = src;
            ASSERT_TRUE(sharpen(in_place.view(), in_place.view(), amount, blur_size));
            ASSERT_EQ(in_place.px, slow.px) << "in place";
          }
  }
  set_thread_count(0);
}

}  // namespace
}  // namespace cvl::imaging
