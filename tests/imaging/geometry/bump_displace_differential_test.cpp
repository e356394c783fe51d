// bump_displace is held to its plain twin: the same bytes for reliefs of any size
// against the picture, depths from none to absurd either way, pictures from 1 x 1
// up with padded rows, at 1 and 3 threads and with each vector path.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <vector>

#include "imaging/geometry/bump_displace.h"
#include "imaging/geometry/inverse_map.h"
#include "imaging/lcg15.h"
#include "imaging/parallel_bands.h"

namespace cvl::imaging {
namespace {

const Colour kFill{250, 3, 128, 255};

std::vector<uint8_t> random_bytes(size_t n, uint32_t seed) {
  std::vector<uint8_t> v(n);
  Lcg15 rng(seed);
  for (uint8_t& b : v) b = uint8_t(rng.next());
  return v;
}

TEST(BumpDisplaceDifferential, MatchesThePlainTwinForEveryReliefDepthAndSize) {
  const int32_t sizes[][2] = {{1, 1}, {2, 3}, {5, 1}, {37, 23}, {130, 9}};
  const float big = std::numeric_limits<float>::max();
  const float depths[] = {0, 1, -1, 12.5f, -40, 300, 1e-30f, 3e7f, big, -big};
  for (const auto& size : sizes) {
    const int32_t w = size[0], h = size[1], stride = w * 4 + 12;
    std::vector<uint8_t> src = random_bytes(size_t(stride) * size_t(h), uint32_t(w * 13 + h));
    // Reliefs smaller, equal and larger than the picture: noise, and hard steps.
    const int32_t reliefs[][2] = {{w, h}, {1, 1}, {std::max(1, w / 2), h + 3}, {w + 5, std::max(1, h - 1)}};
    for (const auto& relief : reliefs) {
      const int32_t bw = relief[0], bh = relief[1];
      std::vector<uint8_t> bump = random_bytes(size_t(bw) * size_t(bh), uint32_t(bw + 31 * bh));
      for (int32_t i = 0; i < bw * bh; i += 3) bump[size_t(i)] = (i / 7) % 2 ? 255 : 0;
      for (float depth : depths) {
        const ImageView in{src.data(), w, h, 4, stride};
        std::vector<uint8_t> plain(size_t(stride) * size_t(h), 0x5A);
        ASSERT_TRUE(bump_displace_reference(in, {plain.data(), w, h, 4, stride}, bump.data(), bw, bh, depth, kFill));
        // 1 and 3 threads, then the four-pixel vector path alone.
        for (int threads : {1, 3, -1}) {
          std::vector<uint8_t> fast(plain.size(), 0x5A);
          set_thread_count(std::max(threads, 1));
          set_band_work_floor(1);
          if (threads < 0) detail::allow_avx2_sampler(false);
          const bool done = bump_displace(in, {fast.data(), w, h, 4, stride}, bump.data(), bw, bh, depth, kFill);
          detail::allow_avx2_sampler(true);
          set_band_work_floor(65536);
          set_thread_count(0);
          ASSERT_TRUE(done);
          ASSERT_EQ(fast, plain) << w << "x" << h << " relief " << bw << "x" << bh << " depth " << depth << " at "
                                 << threads << " threads";
        }
      }
    }
  }
}

TEST(BumpDisplaceDifferential, RefusesWhatThePlainTwinRefuses) {
  std::vector<uint8_t> px(16 * 4), out(px.size()), bump(16);
  const ImageView v{px.data(), 4, 4, 4, 16}, o{out.data(), 4, 4, 4, 16};
  const float nan = std::numeric_limits<float>::quiet_NaN();
  EXPECT_FALSE(bump_displace(v, o, bump.data(), 4, 4, nan, kFill));
  EXPECT_FALSE(bump_displace(v, o, nullptr, 4, 4, 1, kFill));
  EXPECT_FALSE(bump_displace(v, {out.data(), 3, 4, 4, 16}, bump.data(), 4, 4, 1, kFill));
  EXPECT_FALSE(bump_displace(v, o, bump.data(), 0, 4, 1, kFill));
}

}  // namespace
}  // namespace cvl::imaging
