// Generators of curves: smooth splines, wandering worms, fibres and branching trees,
// each seeded from value 3 and drawn onto a layer blended onto the picture.
#include <cmath>
#include <cstddef>

#include "imagescript/effect_runners.h"
#include "imagescript/generate_support.h"
#include "imaging/parallel_bands.h"
#include "imagescript/shape_layer.h"

namespace cvl::imagescript {
namespace {

using namespace generate_detail;

// Strokes drawn first (every random draw made, in order) and laid afterwards, in bands
// of rows: each band lays every stroke, in order, over its own rows.
class Strokes {
 public:
  void add(const std::vector<double>& xy, double width, const Rgb& colour, double opacity = 1.0) {
    add(xy.data(), xy.size() / 2, width, colour, opacity);
  }
  void add_segment(double x0, double y0, double x1, double y1, double width, const Rgb& colour) {
    const double xy[4] = {x0, y0, x1, y1};
    add(xy, 2, width, colour, 1.0);
  }
  // Lays the strokes in bands of rows, and within a band a few dozen rows at a time,
  // so that the layer rows being drawn stay in the cache.
  void draw(PaintLayer& layer) const {
    // A stroke is walked once for every run of rows it crosses: long strokes over a
    // tall picture would be walked many times over, so they are laid a band at a time.
    const int32_t run_rows = repeats(64) > 4 * int64_t(xy_.size() / 2 + 1) ? std::max(layer.height(), 1) : 64;
    const int64_t work = int64_t(xy_.size()) * 16 / std::max(layer.height(), 1) + layer.width();
    imaging::for_each_band(layer.height(), work, [&](int first, int end) {
      for (int32_t run = first; run < end; run += run_rows) {
        const Rows rows{run, std::min(end, run + run_rows)};
        for (const Stroke& s : list_)
          if (s.top < rows.end && s.bottom >= rows.first)
            layer.polyline(xy_.data() + 2 * s.first, s.points, s.width, s.colour, s.opacity, rows);
      }
    });
  }

 private:
  struct Stroke {
    size_t first, points;
    double width, opacity;
    Rgb colour;
    double top, bottom;  // a little beyond the rows it can touch
  };
  void add(const double* xy, size_t points, double width, const Rgb& colour, double opacity) {
    double top = points ? xy[1] : 0, bottom = top;
    for (size_t i = 1; i < points; ++i) top = std::min(top, xy[2 * i + 1]), bottom = std::max(bottom, xy[2 * i + 1]);
    const double reach = std::max(width, 1.0) + 4;
    list_.push_back({xy_.size() / 2, points, width, opacity, colour, top - reach, bottom + reach});
    xy_.insert(xy_.end(), xy, xy + 2 * points);
  }
  // The points walked when every stroke is laid once for each run of `run_rows` rows it crosses.
  int64_t repeats(int32_t run_rows) const {
    int64_t walked = 0;
    for (const Stroke& s : list_) walked += int64_t(s.points) * (int64_t((s.bottom - s.top) / run_rows) + 2);
    return walked;
  }
  std::vector<double> xy_;
  std::vector<Stroke> list_;
};

}  // namespace

// 4: value 4 the count, 5 control points a spline, 7 the reach in pixels between
// control points, 8 width, 9-11 colour, 15 blend, 16 random colours, 17 colour
// variation, 18 width variation.
bool run_splines(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  const int32_t count = path_count(v(4));
  if (count == 0) return true;
  Lcg random(v(3));
  const Palette palette = palette_from(v, 9, 16, 17);
  const int32_t points = std::clamp(v(5), 3, 64);
  const double reach = std::clamp(v(7), 1, w + h), width = std::max(v(8), 1);
  Strokes strokes;
  std::vector<double> control, curve;
  int64_t segments = 0;
  for (int32_t i = 0; i < count && segments < kMostSegments; ++i) {
    double x = random.range(0, w), y = random.range(0, h);
    control.clear();
    for (int32_t p = 0; p < points; ++p) {
      control.push_back(x), control.push_back(y);
      x += random.range(-reach, reach), y += random.range(-reach, reach);
    }
    catmull_rom(control, curve);
    segments += int64_t(curve.size() / 2);
    const double wd = std::max(1.0, width * (1.0 - std::clamp(v(18), 0, 100) * 0.01 * random.unit()));
    strokes.add(curve, wd, palette.pick(random));
  }
  PaintLayer layer(w, h);
  strokes.draw(layer);
  layer.blend_onto(rgba, blend_from_value(v(15, 12)));
  return true;
}

// 37: value 4 the count, 5 length in pixels, 6 how much they curl (tenths of a degree a
// step), 7 width, 8-10 colour, 14 blend, 15 random colours, 16 colour variation.
bool run_worms(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  const int32_t count = path_count(v(4));
  if (count == 0) return true;
  Lcg random(v(3));
  const Palette palette = palette_from(v, 8, 15, 16);
  const double length = std::clamp(v(5), 1, longest_path(w, h)), turn = std::clamp(v(6), 0, 1800) * 0.1 * (kPi / 180.0);
  const double width = std::max(v(7), 1);
  Strokes strokes;
  std::vector<double> path;
  for (int32_t i = 0; i < count; ++i) {
    const double x = random.range(0, w), y = random.range(0, h), heading = random.range(0, 2 * kPi);
    wander(random, x, y, heading, length, turn, path);
    strokes.add(path, width, palette.pick(random));
  }
  PaintLayer layer(w, h);
  strokes.draw(layer);
  layer.blend_onto(rgba, blend_from_value(v(14, 12)));
  return true;
}

// 58: value 4 the count, 5 trunk length, 6 levels of branching, 8 trunk width, 9-11
// colour, 15 blend, 16 random colours, 17 colour variation, 19 the spread of the
// branches (percent of a right angle). Trees grow upward from random places.
bool run_trees(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  const int32_t count = path_count(v(4));
  if (count == 0) return true;
  Lcg random(v(3));
  const Palette palette = palette_from(v, 9, 16, 17);
  const double trunk = std::clamp(v(5), 1, 20000), spread = std::clamp(v(19), 0, 100) * 0.01 * (kPi / 2);
  const int32_t levels = std::clamp(v(6), 1, 12);
  const double width = std::max(v(8), 1);
  struct Branch {
    double x, y, heading, length, width;
    int32_t level;
  };
  Strokes strokes;
  std::vector<Branch> todo;
  int64_t segments = 0;
  for (int32_t i = 0; i < count && segments < kMostSegments; ++i) {
    const Rgb colour = palette.pick(random);
    todo.push_back(
        {random.range(0, w), random.range(h * 0.3, double(h)), kPi / 2 + random.range(-0.15, 0.15), trunk, width, 0});
    while (!todo.empty() && segments++ < kMostSegments) {
      const Branch b = todo.back();
      todo.pop_back();
      const double ex = b.x + std::cos(b.heading) * b.length, ey = b.y - std::sin(b.heading) * b.length;
      strokes.add_segment(b.x, b.y, ex, ey, b.width, colour);
      if (b.level + 1 >= levels) continue;
      for (int side = -1; side <= 1; side += 2)
        todo.push_back({ex, ey, b.heading + side * spread * random.range(0.6, 1.0), b.length * random.range(0.6, 0.8),
                        std::max(1.0, b.width * 0.7), b.level + 1});
    }
  }
  PaintLayer layer(w, h);
  strokes.draw(layer);
  layer.blend_onto(rgba, blend_from_value(v(15, 12)));
  return true;
}

// 59: value 4 the density (fibres per ten thousand pixels), 5 length, 6 waviness
// (degrees a step), 7 width, 8-10 colour, 11 colour variation, 12 the spread of their
// directions about the horizontal (percent of a half turn), 16 blend. Fibres are
// translucent so that crossings show.
bool run_fibers(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  const int64_t wanted = int64_t(std::max(v(4), 0)) * w * h / 10000;
  const int32_t count = path_count(static_cast<int32_t>(std::min<int64_t>(std::max<int64_t>(wanted, v(4) > 0), 20000)));
  if (count == 0) return true;
  Lcg random(v(3));
  const Palette palette = palette_from(v, 8, 0, 11);
  const double length = std::clamp(v(5), 1, longest_path(w, h)), turn = std::clamp(v(6), 0, 180) * (kPi / 180.0);
  const double width = std::max(v(7), 1), spread = std::clamp(v(12), 0, 100) * 0.01 * kPi;
  Strokes strokes;
  std::vector<double> path;
  int64_t segments = 0;
  for (int32_t i = 0; i < count && segments < kMostSegments; ++i) {
    const double x = random.range(0, w), y = random.range(0, h);
    const double heading = (random.next() & 1 ? kPi : 0.0) + random.range(-spread / 2, spread / 2);
    wander(random, x, y, heading, length, turn, path);
    // The opacity is drawn before the colour.
    const double opacity = random.range(0.35, 0.8);
    strokes.add(path, width, palette.pick(random), opacity);
    segments += int64_t(path.size() / 2);
  }
  PaintLayer layer(w, h);
  strokes.draw(layer);
  layer.blend_onto(rgba, blend_from_value(v(16, 12)));
  return true;
}

}  // namespace cvl::imagescript
