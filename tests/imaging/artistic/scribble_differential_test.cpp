// Scribble in bands with its darkness table and inline rounding against the
// pixel-by-pixel reference: the same bytes for every ink, with and without the
// cross strokes, amounts out of range either way, rows that end part way into
// a group of eight lanes, a row wide enough that the memo of sines wraps,
// at 1, 2 and 3 threads.
#include <gtest/gtest.h>

#include "imaging/artistic/scribble.h"
#include "imaging/parallel_bands.h"
#include "imaging/test_pictures.h"

namespace cvl::imaging {
namespace {

TEST(ScribbleDifferential, MatchesTheReferenceByteForByte) {
  struct Size {
    int32_t w, h;
  };
  for (const int threads : {1, 2, 3}) {
    set_thread_count(threads);
    for (const Size size : {Size{1, 1}, Size{2, 3}, Size{3, 2}, Size{41, 23}, Size{9, 17}, Size{700, 300},
                            Size{2100, 5}, Size{15000, 2}}) {
      const test::Picture src = test::noise(size.w, size.h, 3, uint32_t(size.w * 3 + size.h));
      for (const ScribbleInk ink : {ScribbleInk::Black, ScribbleInk::Colour, ScribbleInk::Over})
        for (const bool cross : {false, true})
          for (const int32_t amount : {-5, 0, 37, 100, 250}) {
            if (size.w > 100 && amount != 37) continue;  // the big picture is there for the bands
            test::Picture in = src, fast = test::flat(size.w, size.h, 3, 1), slow = fast;
            ASSERT_TRUE(scribble_image(in.view(), fast.view(), ink, cross, amount));
            ASSERT_TRUE(scribble_image_reference(in.view(), slow.view(), ink, cross, amount));
            ASSERT_EQ(fast.px, slow.px) << size.w << "x" << size.h << " ink " << int(ink) << " cross " << cross
                                        << " amount " << amount << " threads " << threads;
          }
    }
  }
  set_thread_count(0);
}

}  // namespace
}  // namespace cvl::imaging
