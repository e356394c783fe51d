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
  // Adds a stroke through `points` x, y pairs at xy.
  void add(const double* xy, size_t points, double width, const Rgb& colour, double opacity) {
    double top = points ? xy[1] : 0, bottom = top;
    for (size_t i = 1; i < points; ++i) top = std::min(top, xy[2 * i + 1]), bottom = std::max(bottom, xy[2 * i + 1]);
    const double reach = std::max(width, 1.0) + 4;
    list_.push_back({xy_.size() / 2, points, width, opacity, colour, top - reach, bottom + reach});
    xy_.insert(xy_.end(), xy, xy + 2 * points);
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
  // The points walked when every stroke is laid once for each run of `run_rows` rows it crosses.
  int64_t repeats(int32_t run_rows) const {
    int64_t walked = 0;
    for (const Stroke& s : list_) walked += int64_t(s.points) * (int64_t((s.bottom - s.top) / run_rows) + 2);
    return walked;
  }
  std::vector<double> xy_;
  std::vector<Stroke> list_;
};

// The path generators: value 3 the seed, the others as the strokes take them (see
// generate_support.h), and the blend at value 15 (splines, trees), 14 (worms) or 16
// (fibres).
template <class Generate>
bool lay_strokes(const Values& v, uint8_t* rgba, int32_t w, int32_t h, int32_t blend_index, Generate generate) {
  Strokes strokes;
  if (!generate(v, w, h, [&](const double* xy, size_t points, double width, const Rgb& colour, double opacity) {
        strokes.add(xy, points, width, colour, opacity);
      }))
    return true;
  PaintLayer layer(w, h);
  strokes.draw(layer);
  layer.blend_onto(rgba, blend_from_value(v(blend_index, 12)));
  return true;
}

}  // namespace

bool run_splines(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  return lay_strokes(v, rgba, w, h, 15, [](auto&&... a) { return spline_strokes(a...); });
}
bool run_worms(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  return lay_strokes(v, rgba, w, h, 14, [](auto&&... a) { return worm_strokes(a...); });
}
bool run_trees(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  return lay_strokes(v, rgba, w, h, 15, [](auto&&... a) { return tree_strokes(a...); });
}
bool run_fibers(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  return lay_strokes(v, rgba, w, h, 16, [](auto&&... a) { return fiber_strokes(a...); });
}

}  // namespace cvl::imagescript
