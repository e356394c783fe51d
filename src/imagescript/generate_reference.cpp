// The generators as first written, kept as the plain twins of the faster drawing in
// generate_*.cpp: every shape drawn pixel by pixel over its whole box, straight onto
// one layer, and every texture evaluated point by point. The differential tests
// require the same words from both.
#include <cmath>
#include <cstddef>

#include "imagescript/generate_reference.h"
#include "imagescript/generate_support.h"
#include "imagescript/noise_fields.h"
#include "imagescript/shape_layer.h"

namespace cvl::imagescript {

using namespace generate_detail;

namespace shapes {

// Draws value 4's count of shapes (at most 200000, so a wild count cannot hang the
// caller) from the generator seeded by value 3: each shape gets a random place, then
// `draw`(layer, x, y, random) adds whatever else it picks at random. The
// layer is blended onto the picture by the mode at `blend_index`.
template <class Draw>
bool scatter(const Values& v, uint8_t* rgba, int32_t w, int32_t h, int32_t blend_index, Draw draw) {
  const int32_t count = std::clamp(v(4), 0, 200000);
  if (count == 0) return true;
  Lcg random(v(3));
  PaintLayer layer(w, h);
  for (int32_t i = 0; i < count; ++i) {
    const double x = random.range(0, w), y = random.range(0, h);
    draw(layer, x, y, random);
  }
  layer.blend_onto_reference(rgba, blend_from_value(v(blend_index, 12)));
  return true;
}

}  // namespace shapes

// 1: 5 length, 6 direction in degrees, 7 width, 8-10 colour, 14 blend, 15 random
// colours, 16 random directions, 17 colour variation, 18 length variation.
bool run_lines_reference(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  const Palette palette = palette_from(v, 8, 15, 17);
  const double length = std::max(v(5), 0), angle = v(6) * (kPi / 180.0), width = std::max(v(7), 1);
  return shapes::scatter(v, rgba, w, h, 14, [&](PaintLayer& layer, double x, double y, Lcg& random) {
    const double a = v(16) == 1 ? random.range(0, 2 * kPi) : angle;
    const double len = vary(length, v(18), random);
    layer.polyline_reference({x, y, x + std::cos(a) * len, y - std::sin(a) * len}, width, palette.pick(random));
  });
}

// 2: 5 radius, 7 outline width, 8-10 colour, 14 blend, 15 random colours, 16 filled,
// 17 colour variation, 18 size variation.
bool run_circles_reference(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  const Palette palette = palette_from(v, 8, 15, 17);
  const double radius = std::max(v(5), 1), line = v(16) == 1 ? 0.0 : std::max(v(7), 1);
  return shapes::scatter(v, rgba, w, h, 14, [&](PaintLayer& layer, double x, double y, Lcg& random) {
    layer.ring_reference(x, y, vary(radius, v(18), random), line, palette.pick(random));
  });
}

// 3: 5 width, 6 height, 7 outline width, 8-10 colour, 14 blend, 15 random colours,
// 16 filled, 17 colour variation, 18 size variation.
bool run_rectangles_reference(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  const Palette palette = palette_from(v, 8, 15, 17);
  const double rw = std::max(v(5), 1), rh = std::max(v(6), 1), line = v(16) == 1 ? 0.0 : std::max(v(7), 1);
  return shapes::scatter(v, rgba, w, h, 14, [&](PaintLayer& layer, double x, double y, Lcg& random) {
    const double s = vary(1.0, v(18), random);
    layer.rectangle_reference(x - rw * s / 2, y - rh * s / 2, x + rw * s / 2, y + rh * s / 2, line,
                              palette.pick(random));
  });
}

// 43: 5 radius (0 a single pixel), 6-8 colour, 12 blend, 13 random colours, 14 colour
// variation.
bool run_points_reference(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  const Palette palette = palette_from(v, 6, 13, 14);
  const int32_t radius = std::max(v(5), 0);
  return shapes::scatter(v, rgba, w, h, 12, [&](PaintLayer& layer, double x, double y, Lcg& random) {
    const Rgb colour = palette.pick(random);
    if (radius == 0) layer.cover_reference(static_cast<int32_t>(x), static_cast<int32_t>(y), colour, 1.0);
    else layer.ring_reference(x, y, radius, 0, colour);
  });
}

// The path generators, each stroke laid straight onto the layer as it is drawn.
template <class Generate>
bool lay_strokes(const Values& v, uint8_t* rgba, int32_t w, int32_t h, int32_t blend_index, Generate generate) {
  PaintLayer layer(w, h);
  std::vector<double> path;
  if (!generate(v, w, h, [&](const double* xy, size_t points, double width, const Rgb& colour, double opacity) {
        path.assign(xy, xy + 2 * points);
        layer.polyline_reference(path, width, colour, opacity);
      }))
    return true;
  layer.blend_onto_reference(rgba, blend_from_value(v(blend_index, 12)));
  return true;
}

bool run_splines_reference(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  return lay_strokes(v, rgba, w, h, 15, [](auto&&... a) { return spline_strokes(a...); });
}
bool run_worms_reference(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  return lay_strokes(v, rgba, w, h, 14, [](auto&&... a) { return worm_strokes(a...); });
}
bool run_trees_reference(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  return lay_strokes(v, rgba, w, h, 15, [](auto&&... a) { return tree_strokes(a...); });
}
bool run_fibers_reference(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  return lay_strokes(v, rgba, w, h, 16, [](auto&&... a) { return fiber_strokes(a...); });
}

// 11: value 3 the seed, 4 the feature size (percent of the picture's larger side), 5
// the detail (more octaves as it rises), 6-8 colour, 12 blend, 13 = 1 colourful.
bool run_perlin_reference(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  Lcg random(v(3));
  const double cell = std::max(2.0, std::clamp(v(4, 25), 1, 1000) * 0.005 * std::max(w, h));
  const int32_t octaves = 1 + std::clamp(v(5, 1), 1, 101) / 17;
  const bool colourful = v(13) == 1;
  std::vector<GradientNoise> fields;
  for (int c = 0; c < (colourful ? 3 : 1); ++c) fields.emplace_back(random);
  PaintLayer layer(w, h);
  fill_layer(layer, colour_at(v, 6), colourful, [&](int c, int32_t x, int32_t y) {
    double sum = 0, amp = 1, total = 0, scale = 1.0 / cell;
    for (int32_t o = 0; o < octaves; ++o, amp *= 0.5, scale *= 2) {
      sum += amp * fields[size_t(c)].at(x * scale + o * 17.3, y * scale + o * 7.1);
      total += amp;
    }
    return 0.5 + 0.5 * sum / total;
  });
  layer.blend_onto_reference(rgba, blend_from_value(v(12, 12)));
  return true;
}

// 24: values 3 and 4 the number of waves across and down, 5 and 6 their phases (250 a
// full turn), 7-9 colour, 13 blend. Not random: the same values draw the same picture.
bool run_sine_plasma_reference(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  const SinePlasma plasma(v, w, h);
  PaintLayer layer(w, h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      uint8_t rgb[3];
      plasma.colour(x, y, plasma.ring(x, y), rgb);
      layer.set(x, y, {rgb[0], rgb[1], rgb[2]});
    }
  layer.blend_onto_reference(rgba, blend_from_value(v(13, 12)));
  return true;
}

// 55: value 3 the seed, 4-6 the colour, 10 blend, 11 = 1 colourful. Several octaves of
// value noise, coarse to fine, so the texture has detail at every scale.
bool run_fractal_plasma_reference(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  Lcg random(v(3));
  const bool colourful = v(11) == 1;
  const double cell = std::max(4.0, std::max(w, h) / 3.0);
  std::vector<FractalNoise> fields;
  for (int c = 0; c < (colourful ? 3 : 1); ++c) fields.emplace_back(random, w, h, cell, 7, 0.55);
  PaintLayer layer(w, h);
  fill_layer(layer, colour_at(v, 4), colourful, [&](int c, int32_t x, int32_t y) {
    // Stretch the sum's narrow middle-heavy range back toward 0..1.
    return (fields[size_t(c)].at(x, y) - 0.5) * 2.2 + 0.5;
  });
  layer.blend_onto_reference(rgba, blend_from_value(v(10, 12)));
  return true;
}

// 20: value 3 the seed, 4 the count, 5 the largest radius, 7-9 colour, 13 blend, 14 = 1
// random colours. Blobs that come close flow together, as drops of liquid do.
bool run_blobs_reference(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  const int32_t count = std::clamp(v(4), 0, 20000);
  if (count == 0) return true;
  Lcg random(v(3));
  const Palette palette = palette_from(v, 7, 14, 0);
  const double largest = std::clamp(v(5), 2, 20000);
  const size_t n = size_t(w) * h;
  std::vector<float> field(n, 0.f), colour(n * 3, 0.f);
  for (int32_t i = 0; i < count; ++i) {
    const double cx = random.range(0, w), cy = random.range(0, h), r = largest * random.range(0.4, 1.0);
    const Rgb c = palette.pick(random);
    const int32_t x0 = static_cast<int32_t>(std::clamp(cx - r, 0.0, double(w))),
                  x1 = static_cast<int32_t>(std::clamp(cx + r + 1, 0.0, double(w)));
    const int32_t y0 = static_cast<int32_t>(std::clamp(cy - r, 0.0, double(h))),
                  y1 = static_cast<int32_t>(std::clamp(cy + r + 1, 0.0, double(h)));
    const double inv_r2 = 1.0 / (r * r);
    for (int32_t y = y0; y < y1; ++y)
      for (int32_t x = x0; x < x1; ++x) {
        const double d2 = ((x + 0.5 - cx) * (x + 0.5 - cx) + (y + 0.5 - cy) * (y + 0.5 - cy)) * inv_r2;
        if (d2 >= 1) continue;
        const float f = static_cast<float>((1 - d2) * (1 - d2));
        const size_t i3 = size_t(y) * w + x;
        field[i3] += f;
        colour[i3 * 3] += f * c.r, colour[i3 * 3 + 1] += f * c.g, colour[i3 * 3 + 2] += f * c.b;
      }
  }
  PaintLayer layer(w, h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) {
      const size_t i = size_t(y) * w + x;
      const float f = field[i];
      if (f <= 0) continue;
      const Rgb c{clamp_byte(colour[i * 3] / f), clamp_byte(colour[i * 3 + 1] / f), clamp_byte(colour[i * 3 + 2] / f)};
      layer.cover_reference(x, y, c, (f - 0.3) * 8);  // the surface where the field reaches about a third
    }
  layer.blend_onto_reference(rgba, blend_from_value(v(13, 12)));
  return true;
}

}  // namespace cvl::imagescript
