// Crackle in bands with inline rounding against the pixel-by-pixel reference:
// the same bytes for small and huge cells, light and dark cracks, with and
// without the pillowing, at 1, 2 and 3 threads.
#include <gtest/gtest.h>

#include "imaging/artistic/crackle.h"
#include "imaging/parallel_bands.h"
#include "imaging/test_pictures.h"

namespace cvl::imaging {
namespace {

TEST(CrackleDifferential, MatchesTheReferenceByteForByte) {
  struct Size {
    int32_t w, h;
  };
  for (const int threads : {1, 2, 3}) {
    set_thread_count(threads);
    for (const Size size : {Size{1, 1}, Size{2, 3}, Size{3, 2}, Size{41, 23}, Size{600, 300}}) {
      const test::Picture src = test::noise(size.w, size.h, 3, uint32_t(size.w + 17 * size.h));
      for (const int32_t cell : {1, 2, 3, 7, 54, 900})
        for (const bool light : {false, true})
          for (const bool shade : {false, true}) {
            if (size.w > 100 && cell != 7) continue;  // the big picture is there for the bands
            test::Picture in = src, fast = test::flat(size.w, size.h, 3, 1), slow = fast;
            const bool ok = crackle_image(in.view(), fast.view(), cell, light, shade);
            ASSERT_EQ(ok, crackle_image_reference(in.view(), slow.view(), cell, light, shade));
            ASSERT_EQ(fast.px, slow.px) << size.w << "x" << size.h << " cell " << cell << " light " << light
                                        << " shade " << shade << " threads " << threads;
          }
    }
  }
  set_thread_count(0);
}

}  // namespace
}  // namespace cvl::imaging
