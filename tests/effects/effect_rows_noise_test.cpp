#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "support/canvas_fixture.h"

namespace cvl {
namespace {

class NoiseRows : public test::CanvasTest {
 protected:
  void SetUp() override {
    test::CanvasTest::SetUp();
    test::give_slot_pixels(2, 0x8000, 0x6000, 0x4000, 0xFF00);
    CVL_SetLayer(2);
    ASSERT_NE(CVL_IPLAllocSrcBuffer32(), nullptr);
    ASSERT_NE(CVL_IPLAllocDstBuffer32(), nullptr);
  }
  std::vector<uint16_t> run(const char* name, int32_t s1, int32_t seed = 7) {
    test::give_slot_pixels(2, 0x8000, 0x6000, 0x4000, 0xFF00);
    CVL_SetRandomSeed(seed);
    CVL_IPLImageProcess(0, name, 0, s1, 500, 500, 500, 500, 500, 0, 0, 0, 0, 0, 0, 0, 0, 255, 128, 0, "");
    const Layer& layer = e().slot(2);
    return {layer.data(), layer.data() + size_t(layer.row_stride) * layer.height};
  }
};

TEST_F(NoiseRows, AmountZeroKeepsTheLayerAndASeedReproducesTheGrain) {
  const std::vector<uint16_t> original = run("not an effect", 0);
  for (const char* name : {"Add Gaussian Noise", "Add Negative Exponential Noise", "Add Rayleigh Noise",
                           "Add Uniform Noise", "Color Noise"}) {
    EXPECT_EQ(run(name, 0), original) << name;
    const std::vector<uint16_t> a = run(name, 300, 7), b = run(name, 300, 7), c = run(name, 300, 8);
    EXPECT_EQ(a, b) << name << ": same seed";
    EXPECT_NE(a, c) << name << ": other seed";
    for (size_t i = 3; i < a.size(); i += 4) ASSERT_EQ(a[i], 0xFF00) << name << ": alpha kept";
  }
}

TEST_F(NoiseRows, GeneratedNoiseIsGreyKeepsAlphaAndVaries) {
  for (const char* name : {"Hugo Noise", "Perlin Noise"}) {
    const std::vector<uint16_t> px = run(name, 0);
    uint16_t lo = 0xFFFF, hi = 0;
    for (size_t i = 0; i < px.size(); i += 4) {
      ASSERT_EQ(px[i], px[i + 1]) << name;
      ASSERT_EQ(px[i], px[i + 2]) << name;
      ASSERT_EQ(px[i + 3], 0xFF00) << name;
      lo = std::min(lo, px[i]);
      hi = std::max(hi, px[i]);
    }
    EXPECT_GT(hi - lo, 0x1000) << name;
    EXPECT_EQ(px, run(name, 0)) << name << ": same seed";
  }
}

}  // namespace
}  // namespace cvl
