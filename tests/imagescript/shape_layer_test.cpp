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

// Over a nearly clear picture the new alpha's truncation could carry a light
// channel past 255, which came back as a dark one (254 at alpha 2 over 7 at alpha 1
// gave 1). No channel comes out darker than the true "over" of its two colours.
TEST(ShapeLayer, FaintPicturesNeverTurnALightColourDark) {
  constexpr int kAlphas = 255, kShades = 8;
  PaintLayer layer(kAlphas, kAlphas);
  std::vector<uint8_t> picture(size_t(kAlphas) * kAlphas * 4);
  for (int y = 0; y < kAlphas; ++y)
    for (int x = 0; x < kAlphas; ++x) {
      uint8_t* s = layer.row(y) + size_t(x) * 4;
      uint8_t* d = &picture[(size_t(y) * kAlphas + x) * 4];
      s[0] = s[1] = s[2] = uint8_t(247 + (x + y) % kShades), s[3] = uint8_t(x + 1);
      d[0] = d[1] = d[2] = uint8_t((x * 3 + y) % kShades), d[3] = uint8_t(y % 4);
    }
  for (bool portable : {false, true}) {
    paint_layer_use_portable_lanes(portable);
    for (bool plain : {false, true}) {
      std::vector<uint8_t> out = picture;
      if (plain) layer.blend_onto_reference(out.data(), Blend::Normal);
      else layer.blend_onto(out.data(), Blend::Normal);
      for (int y = 0; y < kAlphas; ++y)
        for (int x = 0; x < kAlphas; ++x) {
          const uint8_t* s = layer.row(y) + size_t(x) * 4;
          const size_t at = (size_t(y) * kAlphas + x) * 4;
          const double sa = s[3], under = picture[at + 3] * (255.0 - sa) / 255;
          const double exact = (s[0] * sa + picture[at] * under) / (sa + under);
          ASSERT_GE(out[at], exact - 2) << "shape alpha " << int(sa) << " over alpha " << int(picture[at + 3])
                                        << (plain ? " (plain twin)" : "") << (portable ? " without lanes" : "");
        }
    }
  }
  paint_layer_use_portable_lanes(false);
}

}  // namespace
}  // namespace cvl::imagescript
