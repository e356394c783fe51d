// Generators that scatter simple shapes: each draws `count` shapes at random places
// from its own seeded generator, onto a layer that is then blended onto the picture.
// Shared value roles: 3 the seed, 4 the count; the colour, blend, random-colour flag,
// colour variation (percent) and size variation (percent) sit where each effect lists.
#include <cmath>

#include "imagescript/effect_runners.h"
#include "imagescript/generate_support.h"
#include "imaging/parallel_bands.h"
#include "imagescript/shape_layer.h"

namespace cvl::imagescript {
namespace {

using namespace generate_detail;

// Draws value 4's count of shapes (at most 200000, so a wild count cannot hang the
// caller) from the generator seeded by value 3: each shape gets a random place, then
// `pick`(x, y, random) draws whatever else it needs at random and returns the shape.
// Every draw is made first, in that order; then `draw`(layer, shape, rows) lays the
// shapes in bands of rows (each band all the shapes, in order, over its own rows),
// and the layer is blended onto the picture by the mode at `blend_index`.
template <class Pick, class Draw>
bool scatter(const Values& v, uint8_t* rgba, int32_t w, int32_t h, int32_t blend_index, Pick pick, Draw draw) {
  const int32_t count = std::clamp(v(4), 0, 200000);
  if (count == 0) return true;
  Lcg random(v(3));
  using Shape = decltype(pick(0.0, 0.0, random));
  std::vector<Shape> shapes;
  shapes.reserve(size_t(count));
  for (int32_t i = 0; i < count; ++i) {
    const double x = random.range(0, w), y = random.range(0, h);
    shapes.push_back(pick(x, y, random));
  }
  PaintLayer layer(w, h);
  // A few dozen rows at a time keep the layer rows being drawn in the cache; with very
  // many shapes, runs are taller so that passing over the list stays cheap.
  const int32_t run_rows = static_cast<int32_t>(std::max<int64_t>(64, int64_t(h) * count / 65536));
  imaging::for_each_band(h, int64_t(count) * 64 + w, [&](int first, int end) {
    for (int32_t run = first; run < end; run += run_rows)
      for (const Shape& shape : shapes) draw(layer, shape, Rows{run, std::min(end, run + run_rows)});
  });
  layer.blend_onto(rgba, blend_from_value(v(blend_index, 12)));
  return true;
}

struct Stroke {
  double x0, y0, x1, y1;
  Rgb colour;
};

struct Circle {
  double x, y, radius;
  Rgb colour;
};

}  // namespace

// 1: 5 length, 6 direction in degrees, 7 width, 8-10 colour, 14 blend, 15 random
// colours, 16 random directions, 17 colour variation, 18 length variation.
bool run_lines(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  const Palette palette = palette_from(v, 8, 15, 17);
  const double length = std::max(v(5), 0), angle = v(6) * (kPi / 180.0), width = std::max(v(7), 1);
  return scatter(
      v, rgba, w, h, 14,
      [&](double x, double y, Lcg& random) {
        const double a = v(16) == 1 ? random.range(0, 2 * kPi) : angle;
        const double len = vary(length, v(18), random);
        return Stroke{x, y, x + std::cos(a) * len, y - std::sin(a) * len, palette.pick(random)};
      },
      [&](PaintLayer& layer, const Stroke& s, Rows rows) {
        layer.segment(s.x0, s.y0, s.x1, s.y1, width, s.colour, 1.0, rows);
      });
}

// 2: 5 radius, 7 outline width, 8-10 colour, 14 blend, 15 random colours, 16 filled,
// 17 colour variation, 18 size variation. The colour is drawn before the size.
bool run_circles(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  const Palette palette = palette_from(v, 8, 15, 17);
  const double radius = std::max(v(5), 1), line = v(16) == 1 ? 0.0 : std::max(v(7), 1);
  return scatter(
      v, rgba, w, h, 14,
      [&](double x, double y, Lcg& random) {
        const Rgb colour = palette.pick(random);
        return Circle{x, y, vary(radius, v(18), random), colour};
      },
      [&](PaintLayer& layer, const Circle& c, Rows rows) { layer.ring(c.x, c.y, c.radius, line, c.colour, rows); });
}

// 3: 5 width, 6 height, 7 outline width, 8-10 colour, 14 blend, 15 random colours,
// 16 filled, 17 colour variation, 18 size variation.
bool run_rectangles(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  const Palette palette = palette_from(v, 8, 15, 17);
  const double rw = std::max(v(5), 1), rh = std::max(v(6), 1), line = v(16) == 1 ? 0.0 : std::max(v(7), 1);
  return scatter(
      v, rgba, w, h, 14,
      [&](double x, double y, Lcg& random) {
        const double s = vary(1.0, v(18), random);
        return Stroke{x - rw * s / 2, y - rh * s / 2, x + rw * s / 2, y + rh * s / 2, palette.pick(random)};
      },
      [&](PaintLayer& layer, const Stroke& r, Rows rows) {
        layer.rectangle(r.x0, r.y0, r.x1, r.y1, line, r.colour, rows);
      });
}

// 43: 5 radius (0 a single pixel), 6-8 colour, 12 blend, 13 random colours, 14 colour
// variation.
bool run_points(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  const Palette palette = palette_from(v, 6, 13, 14);
  const int32_t radius = std::max(v(5), 0);
  return scatter(
      v, rgba, w, h, 12,
      [&](double x, double y, Lcg& random) {
        return Circle{x, y, double(radius), palette.pick(random)};
      },
      [&](PaintLayer& layer, const Circle& c, Rows rows) {
        if (radius > 0) return layer.disc(c.x, c.y, c.radius, c.colour, rows);
        const int32_t y = static_cast<int32_t>(c.y);
        if (y >= rows.first && y < rows.end) layer.cover(static_cast<int32_t>(c.x), y, c.colour, 1.0);
      });
}

}  // namespace cvl::imagescript
