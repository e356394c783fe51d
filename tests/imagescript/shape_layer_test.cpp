// The paint layer's blend onto the picture, eight pixels at a time where the
// processor allows, against its plain twin.
#include <gtest/gtest.h>

#include <vector>

#include "imagescript/shape_layer.h"

namespace cvl::imagescript {
namespace {

// Every shape alpha over every picture alpha, with colours that differ from pixel to
// pixel, by every blend mode, with and without the lanes.
TEST(ShapeLayer, BlendOntoLaysEveryAlphaOverEveryAlphaAsThePlainTwin) {
  constexpr int kSize = 256;
  PaintLayer layer(kSize, kSize);
  std::vector<uint8_t> picture(size_t(kSize) * kSize * 4);
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) {
      uint8_t* s = layer.row(y) + size_t(x) * 4;
      uint8_t* d = &picture[(size_t(y) * kSize + x) * 4];
      s[0] = uint8_t(x * 7 + y), s[1] = uint8_t(255 - y), s[2] = uint8_t(x ^ y), s[3] = uint8_t(x);
      d[0] = uint8_t(y * 3), d[1] = uint8_t(x + y * 5), d[2] = uint8_t(255 - x), d[3] = uint8_t(y);
    }
  for (int mode = 0; mode <= 12; ++mode)
    for (bool portable : {false, true}) {
      paint_layer_use_portable_lanes(portable);
      std::vector<uint8_t> fast = picture, plain = picture;
      layer.blend_onto(fast.data(), blend_from_value(mode));
      layer.blend_onto_reference(plain.data(), blend_from_value(mode));
      EXPECT_EQ(fast, plain) << "blend " << mode << (portable ? " without lanes" : "");
    }
  paint_layer_use_portable_lanes(false);
}

}  // namespace
}  // namespace cvl::imagescript
