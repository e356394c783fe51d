// What the generators draw on: a transparent layer the size of the picture that
// shapes are laid onto, then blended onto the picture in one pass by the chosen mode.
#pragma once

#include <cstdint>
#include <vector>

#include "imagescript/effect_support.h"

namespace cvl::imagescript {

// Blend modes of the generators (the caller's value): 0 replace, 1 add, 2 subtract,
// 3 multiply, 4 screen, 5 darken, 6 lighten, 7 difference, 8 overlay, 9 average,
// 10 exclusion, 11 invert (the shape inverts what is under it); 12 and any other
// value lay the shapes over the picture normally.
enum class Blend { Replace, Add, Subtract, Multiply, Screen, Darken, Lighten, Difference, Overlay, Average,
                   Exclusion, Invert, Normal };
Blend blend_from_value(int32_t value);

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
};

// The shapes' colour: the given one, or a random one for each shape, then shifted by
// up to `variation` percent each way per channel.
struct Palette {
  Rgb base;
  bool random_colours = false;
  int32_t variation = 0;
  Rgb pick(Lcg& random) const;
};

class PaintLayer {
 public:
  PaintLayer(int32_t width, int32_t height);

  int32_t width() const { return w_; }
  int32_t height() const { return h_; }

  // Lays `colour` over one pixel with coverage 0..1 (clipped to the layer).
  void cover(int32_t x, int32_t y, const Rgb& colour, double coverage);
  // Sets one pixel outright (opaque fields such as plasma).
  void set(int32_t x, int32_t y, const Rgb& colour) {
    uint8_t* p = &px_[(size_t(y) * w_ + x) * 4];
    p[0] = colour.r, p[1] = colour.g, p[2] = colour.b, p[3] = 255;
  }

  // Antialiased shapes; sizes in pixels.
  void disc(double cx, double cy, double radius, const Rgb& colour);
  void ring(double cx, double cy, double radius, double width, const Rgb& colour);
  // A straight stroke with round ends.
  void segment(double x0, double y0, double x1, double y1, double width, const Rgb& colour);
  // A stroke through the points; joints are drawn once, so a translucent layer stays even.
  void polyline(const std::vector<double>& xy, double width, const Rgb& colour, double opacity = 1.0);
  // Axis-aligned rectangle from (x0, y0) to (x1, y1); `line` 0 fills it, else its outline.
  void rectangle(double x0, double y0, double x1, double y1, double line, const Rgb& colour);

  // Blends the layer onto packed RGBA32 pixels of the same size.
  void blend_onto(uint8_t* rgba, Blend mode) const;

 private:
  int32_t w_, h_;
  std::vector<uint8_t> px_;  // straight RGBA
};

// The effects' common generator values: colour at `colour_index` (3 values), the blend
// at `blend_index`, the random-colour flag and the colour variation where given (index
// 0 when the effect has none).
Palette palette_from(const Values& v, int32_t colour_index, int32_t random_flag_index, int32_t variation_index);

}  // namespace cvl::imagescript
