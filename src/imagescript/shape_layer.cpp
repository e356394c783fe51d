#include "imagescript/shape_layer.h"

#include <cmath>
#include <optional>

#include "imaging/parallel_bands.h"

namespace cvl::imagescript {

using detail::span;

Blend blend_from_value(int32_t value) { return value >= 0 && value <= 12 ? static_cast<Blend>(value) : Blend::Normal; }

Rgb Palette::pick(Lcg& random) const {
  Rgb c = base;
  if (random_colours) {
    c.r = static_cast<uint8_t>(random.next() & 255), c.g = static_cast<uint8_t>(random.next() & 255);
    c.b = static_cast<uint8_t>(random.next() & 255);
  }
  if (variation > 0) {
    const int32_t reach = std::min(variation, 100) * 255 / 100;
    const int32_t shift = random.below(2 * reach + 1) - reach;  // one shift for all three: a lighter or darker shade
    c.r = clamp_byte(c.r + shift), c.g = clamp_byte(c.g + shift), c.b = clamp_byte(c.b + shift);
  }
  return c;
}

Palette palette_from(const Values& v, int32_t colour_index, int32_t random_flag_index, int32_t variation_index) {
  Palette p;
  p.base = {clamp_byte(v(colour_index)), clamp_byte(v(colour_index + 1)), clamp_byte(v(colour_index + 2))};
  p.random_colours = random_flag_index && v(random_flag_index) == 1;
  p.variation = variation_index ? v(variation_index) : 0;
  return p;
}

PaintLayer::PaintLayer(int32_t width, int32_t height) : w_(width), h_(height), px_(size_t(width) * height * 4) {
  std::fill_n(px_.data(), px_.size(), uint8_t{0});
}

namespace {

// floor and ceil of v as integers (v kept within +-1e9): the plain conversion and a
// correction, cheaper than the library calls on the baseline instruction set.
int32_t floor_int(double v) {
  v = std::clamp(v, -1e9, 1e9);
  const int32_t i = static_cast<int32_t>(v);
  return i - (i > v);
}
int32_t ceil_int(double v) { return -floor_int(-v); }

void clip_rows(int32_t& y0, int32_t& y1, Rows rows) { y0 = std::max(y0, rows.first), y1 = std::min(y1, rows.end); }

// Shapes are measured at pixel centres with an exact distance (std::hypot) wherever the
// edge's antialiasing needs it. Where the squared distance already shows a pixel wholly
// inside or wholly outside, that settles its coverage (1 or 0, as the exact distance
// would after clamping); the margin is far wider than any rounding of the square.
constexpr double kSure = 1e-7;
double outside_square(double r) { return r * r * (1 + kSure); }                // beyond: nothing
double inside_square(double r) { return r > 0 ? r * r * (1 - kSure) : -1.0; }  // within: full

// The chords of a segment's capsules on each row of pixel centres: the union of the
// row's chords of the two end discs and of the band between them (a capsule is
// convex, so the union is one run).
class CapsuleRows {
 public:
  CapsuleRows(double ax, double ay, double dx, double dy, double length)
      : ax_(ax), ay_(ay), dx_(dx), dy_(dy), length_(length) {
    band_ = length >= 1e-6;
    if (!band_) return;
    ux_ = dx / length, uy_ = dy / length;
    along_ = std::abs(ux_) >= 1e-9, across_ = std::abs(uy_) >= 1e-9;
    inv_ux_ = along_ ? 1 / ux_ : 0, inv_uy_ = across_ ? -1 / uy_ : 0;
  }

  // [a, b] the pixel-centre chord of the capsule of radius r on row py; a > b if none.
  void chord(double r, double py, double& a, double& b) const {
    a = 1e300, b = -1e300;
    disc(ax_, ay_, r, py, a, b);
    disc(ax_ + dx_, ay_ + dy_, r, py, a, b);
    if (!band_) return;
    // Along in [0, length] and across in [-r, r], each c + k px.
    const double oy = py - ay_;
    double p = -1e300, q = 1e300;
    auto limit = [&](bool use, double c, double inv_k, double from, double to) {
      if (!use) {
        if (c < from - 1e-9 || c > to + 1e-9) p = 1e300, q = -1e300;
        return;
      }
      double u = (from - c) * inv_k, v = (to - c) * inv_k;
      if (u > v) std::swap(u, v);
      p = std::max(p, u), q = std::min(q, v);
    };
    limit(along_, oy * uy_ - ax_ * ux_, inv_ux_, 0, length_);
    limit(across_, oy * ux_ + ax_ * uy_, inv_uy_, -r, r);
    if (p <= q) a = std::min(a, p), b = std::max(b, q);
  }

  // The chord about the segment's middle that holds the capsule of radius r: nearly
  // the capsule itself for a short segment, and a single square root.
  void hull_chord(double r, double py, double& a, double& b) const { middle_chord(r + length_ * 0.5, py, a, b); }
  // The chord of the disc of radius r about the segment's middle (within the capsule
  // of radius r + length / 2, and holding that of radius r - length / 2).
  void middle_chord(double r, double py, double& a, double& b) const {
    a = 1e300, b = -1e300;
    if (r > 0) disc(ax_ + dx_ * 0.5, ay_ + dy_ * 0.5, r, py, a, b);
  }

 private:
  static void disc(double ex, double ey, double r, double py, double& a, double& b) {
    const double oy = py - ey, rest = r * r - oy * oy;
    if (rest <= 0) return;
    const double s = std::sqrt(rest);
    a = std::min(a, ex - s), b = std::max(b, ex + s);
  }

  double ax_, ay_, dx_, dy_, length_;
  bool band_ = false, along_ = false, across_ = false;
  double ux_ = 0, uy_ = 0, inv_ux_ = 0, inv_uy_ = 0;
};

// Pixels [lo, hi) whose centres lie in [a, b], clipped to [lo, hi): those on either
// side of it (pixels_touching: those from the one just before to the one just after)
// and those within it.
void pixels_touching(double a, double b, int32_t& lo, int32_t& hi) {
  if (a > b) {
    hi = lo;
    return;
  }
  lo = std::max(lo, floor_int(a - 0.5));
  hi = std::max(lo, std::min(hi, ceil_int(b - 0.5) + 1));
}
void pixels_within(double a, double b, int32_t& lo, int32_t& hi) {
  if (a > b) {
    hi = lo;
    return;
  }
  lo = std::max(lo, ceil_int(a - 0.5));
  hi = std::max(lo, std::min(hi, floor_int(b - 0.5) + 1));
}

// float(clamp(reach - d, 0, 1)) for d the exact distance std::hypot(ex, ey) gives. The
// square root of the rounded square lies within a few units in the last place of it;
// when both ends of a far wider bracket round to the same float, so does the exact
// coverage (the rounding only ever moves with d), and the slower call is not needed.
float edge_coverage(double reach, double ex, double ey) {
  const double d = std::sqrt(ex * ex + ey * ey), slack = 1e-13 * (d + 1);
  const float near = static_cast<float>(std::clamp(reach - (d - slack), 0.0, 1.0));
  const float far = static_cast<float>(std::clamp(reach - (d + slack), 0.0, 1.0));
  if (near == far) return near;
  return static_cast<float>(std::clamp(reach - std::hypot(ex, ey), 0.0, 1.0));
}

// Coverage under half a step of the byte lays nothing (cover rounds it to 0, and the
// best over a stroke is never decided by it), so an outer chord need only hold the
// pixels nearer than the reach less a little. An inner chord, a hair inside the
// full-coverage radius (far more than any rounding of the chord), is full without
// measuring.
constexpr double kFaint = 0.0015, kHair = 1e-3;

// For a stroke of many short steps, the half-widths of the chords about a step's
// middle by whole rows of distance k from it, shared by every step no longer than
// `longest`: the outer one holds the pixel centres of all rows from k to k + 1 away
// (the disc about the middle that holds the capsule, at its widest in that run), the
// inner one only those of the disc within the full-coverage radius (at its
// narrowest). No square root per row then.
constexpr double kMostTabledHalfWidth = 16384;

struct ChordTable {
  double longest = 0;
  std::vector<double> outer, inner;
  ChordTable(double half, double longest_step) : longest(longest_step) {
    const double ro = half + 0.5 - kFaint + longest_step * 0.5, ri = half - 0.5 - kHair;
    for (double k = 0; k < ro; ++k) outer.push_back(std::sqrt(ro * ro - k * k));
    for (double k = 0; k + 1 < ri; ++k) inner.push_back(std::sqrt(ri * ri - (k + 1) * (k + 1)));
  }
};

// Coverage of the pixels of one segment within `rows`, given as a float to
// put(x, y, coverage) where it may be above 0, and as put_full(lo, hi, y) for runs
// wholly within the stroke; held(x, y) is the coverage a pixel already has, which
// only a nearer segment can raise. Pixels within the full-coverage radius by a margin far wider
// than any rounding of the chord are not measured.
template <class Held, class Put, class PutFull>
void stamp_segment(double ax, double ay, double cx, double cy, double half, int32_t w, int32_t h, Rows rows,
                   const ChordTable* table, Held held, Put put, PutFull put_full) {
  if (std::max(ay, cy) + half + 2 < rows.first || std::min(ay, cy) - half - 2 >= rows.end) return;
  int32_t sx0, sx1, sy0, sy1;
  span(ax, cx, half + 1, w, sx0, sx1);
  span(ay, cy, half + 1, h, sy0, sy1);
  clip_rows(sy0, sy1, rows);
  const double dx = cx - ax, dy = cy - ay, len2 = dx * dx + dy * dy;
  const double length = std::sqrt(len2), inv_len2 = len2 > 0 ? 1 / len2 : 0;
  // The reciprocal's nearest point is off the exact one by a few roundings of the
  // segment's length; widen the sure margins by far more than that.
  const double slack = 1e-9 * (half + 0.5) * (length + half + 2);
  const double out2 = outside_square(half + 0.5) + slack, in2 = inside_square(half - 0.5) - slack;
  const CapsuleRows capsule(ax, ay, dx, dy, length);
  const bool short_segment = length <= half;
  auto measure = [&](int32_t x, double py, int32_t y) {
    const float has = held(x, y);
    if (has >= 1.f) return;
    const double px = x + 0.5;
    // Sorting by a nearest point found with the reciprocal (a rounding off the exact
    // one, far inside kSure); the exact distance is then measured as it always was.
    double t = std::clamp(((px - ax) * dx + (py - ay) * dy) * inv_len2, 0.0, 1.0);
    double ex = px - ax - t * dx, ey = py - ay - t * dy;
    const double q = ex * ex + ey * ey;
    if (q >= out2) return;
    if (q <= in2) return put(x, y, 1.f);
    if (has > 0) {
      // Coverage at most `has` needs a distance of at least reach - has; past that by
      // the sure margin this segment cannot raise the pixel.
      const double beyond = half + 0.5 - has;
      if (q >= beyond * beyond * (1 + kSure) + slack) return;
    }
    t = len2 > 0 ? ((px - ax) * dx + (py - ay) * dy) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    ex = px - ax - t * dx, ey = py - ay - t * dy;
    put(x, y, edge_coverage(half + 0.5, ex, ey));
  };
  const double outer = half + 0.5 - kFaint, inner = half - 0.5 - kHair;
  const bool tabled = table && length <= table->longest;
  const double mx = ax + dx * 0.5, my = ay + dy * 0.5;
  for (int32_t y = sy0; y < sy1; ++y) {
    const double py = y + 0.5;
    double a, b;
    size_t k = 0;
    if (tabled) {
      const double oy = std::abs(py - my);
      if (!(oy < double(table->outer.size()))) continue;
      k = static_cast<size_t>(oy);
      a = mx - table->outer[k], b = mx + table->outer[k];
    } else if (short_segment) {
      capsule.hull_chord(outer, py, a, b);
    } else {
      capsule.chord(outer, py, a, b);
    }
    int32_t lo = sx0, hi = sx1;
    pixels_touching(a, b, lo, hi);
    int32_t inner_lo = lo, inner_hi = lo;
    if (inner > 0) {
      if (tabled) {
        a = 1e300, b = -1e300;
        if (k < table->inner.size()) a = mx - table->inner[k], b = mx + table->inner[k];
      } else if (short_segment) {
        capsule.middle_chord(inner, py, a, b);
      } else {
        capsule.chord(inner, py, a, b);
      }
      inner_lo = lo, inner_hi = hi;
      pixels_within(a, b, inner_lo, inner_hi);
      if (inner_lo >= inner_hi) inner_lo = inner_hi = lo;
    }
    for (int32_t x = lo; x < inner_lo; ++x) measure(x, py, y);
    if (inner_lo < inner_hi) put_full(inner_lo, inner_hi, y);
    for (int32_t x = inner_hi; x < hi; ++x) measure(x, py, y);
  }
}

// The per-pixel best coverage of a stroke, kept for the rows of one band; reused
// from stroke to stroke on each thread and left all zero after every stroke.
struct StrokeMap {
  std::vector<float> best;
  std::vector<int32_t> lo, hi;  // per row, the columns touched
};

StrokeMap& stroke_map() {
  thread_local StrokeMap map;
  return map;
}

}  // namespace

void PaintLayer::ring(double cx, double cy, double radius, double width, const Rgb& colour, Rows rows) {
  radius = std::max(radius, 0.5);
  int32_t x0, x1, y0, y1;
  span(cx, cx, radius + 1, w_, x0, x1);
  span(cy, cy, radius + 1, h_, y0, y1);
  clip_rows(y0, y1, rows);
  const double inner = width > 0 ? std::max(radius - width, 0.0) : -1.0;
  // Outside radius + 0.5 and inside inner - 0.5 nothing; between radius - 0.5 and
  // inner + 0.5 all; the rest by the exact distance.
  const double out2 = outside_square(radius + 0.5), in2 = inside_square(radius - 0.5);
  const double hole2 = inner >= 0 ? inside_square(inner - 0.5) : -1.0;
  const double solid2 = inner >= 0 ? outside_square(inner + 0.5) : -1.0;
  for (int32_t y = y0; y < y1; ++y) {
    const double dy = y + 0.5 - cy, dy2 = dy * dy;
    // The row's reach of the outer edge and of the hole, two pixels slack each way.
    const double outer = radius + 0.5 + 2;
    if (dy2 >= outer * outer) continue;
    const double ox = std::sqrt(outer * outer - dy2);
    const int32_t lo = std::clamp(floor_int(cx - ox - 0.5), x0, std::max(x0, x1));
    const int32_t hi = std::clamp(ceil_int(cx + ox - 0.5) + 1, lo, std::max(lo, x1));
    int32_t gap_lo = hi, gap_hi = hi;
    const double hole = inner - 0.5 - 2;
    if (inner >= 0 && hole > 0 && dy2 < hole * hole) {
      const double ix = std::sqrt(hole * hole - dy2);
      gap_lo = std::clamp(ceil_int(cx - ix - 0.5), lo, hi);
      gap_hi = std::clamp(floor_int(cx + ix - 0.5) + 1, gap_lo, hi);
    }
    for (int32_t x = lo; x < hi; ++x) {
      if (x == gap_lo) x = gap_hi;
      if (x >= hi) break;
      const double dx = x + 0.5 - cx, q = dx * dx + dy2;
      if (q >= out2 || q <= hole2) continue;
      if (q <= in2 && q >= solid2) {
        set(x, y, colour);  // full coverage lays the colour as it is
        continue;
      }
      const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
      double c = std::clamp(radius + 0.5 - d, 0.0, 1.0);
      if (inner >= 0) c = std::min(c, std::clamp(d - inner + 0.5, 0.0, 1.0));
      cover(x, y, colour, c);
    }
  }
}

void PaintLayer::segment(double x0, double y0, double x1, double y1, double width, const Rgb& colour, double opacity,
                         Rows rows) {
  const double xy[4] = {x0, y0, x1, y1};
  polyline(xy, 2, width, colour, opacity, rows);
}

void PaintLayer::polyline(const double* xy, size_t points, double width, const Rgb& colour, double opacity, Rows rows) {
  if (points == 0) return;
  const double half = std::max(width, 1.0) * 0.5;
  auto nothing_yet = [](int32_t, int32_t) { return 0.f; };
  if (points <= 2) {
    // One segment lays each pixel once: no map needed. The coverage passes through a
    // float, as the map would keep it.
    const size_t j = points - 1;
    stamp_segment(
        xy[0], xy[1], xy[2 * j], xy[2 * j + 1], half, w_, h_, rows, nullptr, nothing_yet,
        [&](int32_t x, int32_t y, float c) {
          if (c > 0) cover(x, y, colour, c * opacity);
        },
        [&](int32_t lo, int32_t hi, int32_t y) {
          for (int32_t x = lo; x < hi; ++x) cover(x, y, colour, 1.f * opacity);
        });
    return;
  }
  // The coverage of each pixel is that of its nearest segment: the best over the
  // segments is kept in a map of the stroke's box, then laid once.
  int32_t bx0, bx1, by0, by1;
  detail::points_box(xy, points, half + 1, w_, h_, bx0, bx1, by0, by1);
  clip_rows(by0, by1, rows);
  if (bx0 >= bx1 || by0 >= by1) return;
  const size_t bw = size_t(bx1 - bx0), bh = size_t(by1 - by0);
  StrokeMap& map = stroke_map();
  if (map.best.size() < bw * bh) map.best.resize(bw * bh, 0.f);
  map.lo.assign(bh, bx1), map.hi.assign(bh, bx0);
  float* best = map.best.data();
  auto at = [&](int32_t x, int32_t y) -> float& { return best[size_t(y - by0) * bw + size_t(x - bx0)]; };
  double longest = 0;
  for (size_t i = 0; i + 1 < points; ++i) {
    const double dx = xy[2 * i + 2] - xy[2 * i], dy = xy[2 * i + 3] - xy[2 * i + 1];
    longest = std::max(longest, dx * dx + dy * dy);
  }
  longest = std::sqrt(longest);
  // Chords looked up by row distance serve strokes of short segments; the table grows
  // with the stroke's width, so a stroke far wider than any picture measures instead.
  std::optional<ChordTable> steps;
  if (longest <= half && half <= kMostTabledHalfWidth) steps.emplace(half, longest);
  const ChordTable* table = steps ? &*steps : nullptr;
  for (size_t i = 0; i + 1 < points; ++i)
    stamp_segment(
        xy[2 * i], xy[2 * i + 1], xy[2 * i + 2], xy[2 * i + 3], half, w_, h_, rows, table,
        [&](int32_t x, int32_t y) { return at(x, y); },
        [&](int32_t x, int32_t y, float c) {
          float& b = at(x, y);
          b = std::max(b, c);
          const size_t r = size_t(y - by0);
          map.lo[r] = std::min(map.lo[r], x), map.hi[r] = std::max(map.hi[r], x + 1);
        },
        [&](int32_t lo, int32_t hi, int32_t y) {
          std::fill(&at(lo, y), &at(lo, y) + (hi - lo), 1.f);
          const size_t r = size_t(y - by0);
          map.lo[r] = std::min(map.lo[r], lo), map.hi[r] = std::max(map.hi[r], hi);
        });
  for (int32_t y = by0; y < by1; ++y) {
    const size_t r = size_t(y - by0);
    for (int32_t x = map.lo[r]; x < map.hi[r]; ++x) {
      float& c = at(x, y);
      if (c > 0) {
        cover(x, y, colour, c * opacity);
        c = 0.f;
      }
    }
  }
}

// Strokes reuse their thread's map; a worker's map goes with its thread, and the
// calling thread lets a large one go once the layer it drew is done.
StrokeMapRelease::~StrokeMapRelease() {
  StrokeMap& map = stroke_map();
  if (map.best.size() > (size_t{1} << 20)) std::vector<float>().swap(map.best);
}

void PaintLayer::rectangle(double x0, double y0, double x1, double y1, double line, const Rgb& colour, Rows rows) {
  if (x0 > x1) std::swap(x0, x1);
  if (y0 > y1) std::swap(y0, y1);
  int32_t px0, px1, py0, py1;
  span(x0, x1, 1, w_, px0, px1);
  span(y0, y1, 1, h_, py0, py1);
  clip_rows(py0, py1, rows);
  const double ix0 = x0 + line, ix1 = x1 - line, iy0 = y0 + line, iy1 = y1 - line;
  const bool hollow = line > 0 && ix1 > ix0 && iy1 > iy0;
  for (int32_t y = py0; y < py1; ++y) {
    // Coverage of the pixel's extent by an interval, per axis.
    const double cy = std::clamp(std::min(y + 1.0, y1) - std::max(double(y), y0), 0.0, 1.0);
    // Rows wholly within the hole leave the pixels wholly within it untouched.
    int32_t gap_lo = px1, gap_hi = px1;
    if (hollow && y >= iy0 && y + 1.0 <= iy1) {
      gap_lo = static_cast<int32_t>(std::clamp(std::ceil(ix0), double(px0), double(px1)));
      gap_hi = std::max(gap_lo, static_cast<int32_t>(std::clamp(std::floor(ix1), double(px0), double(px1))));
    }
    for (int32_t x = px0; x < px1; ++x) {
      if (x == gap_lo) x = gap_hi;
      if (x >= px1) break;
      const double cx = std::clamp(std::min(x + 1.0, x1) - std::max(double(x), x0), 0.0, 1.0);
      double c = cx * cy;
      if (line > 0 && c > 0) {
        const double icx = std::clamp(std::min(x + 1.0, ix1) - std::max(double(x), ix0), 0.0, 1.0);
        const double icy = std::clamp(std::min(y + 1.0, iy1) - std::max(double(y), iy0), 0.0, 1.0);
        if (ix1 > ix0 && iy1 > iy0) c -= icx * icy;
      }
      cover(x, y, colour, c);
    }
  }
}

namespace {

template <Blend mode>
void blend_pixels(const uint8_t* s, uint8_t* d, size_t n) {
  detail::blend_pixels(s, d, n, mode, [](int32_t mixed, int32_t sa, int32_t dk, int32_t da, int32_t oa) {
    // An opaque shape pixel leaves the mixed colour as it is (oa is 255).
    if (sa == 255) return static_cast<uint8_t>(mixed);
    return static_cast<uint8_t>((uint64_t(mixed * sa + dk * da * (255 - sa) / 255) * kInverses.v[oa]) >> 40);
  });
}

template <Blend mode>
void blend_rows(const uint8_t* s, uint8_t* d, int32_t w, int32_t h) {
  imaging::for_each_band(h, int64_t(w) * 8, [&](int first, int end) {
    const size_t at = size_t(first) * w * 4;
    blend_pixels<mode>(s + at, d + at, size_t(end - first) * w);
  });
}

}  // namespace

void PaintLayer::blend_onto(uint8_t* rgba, Blend mode) const {
  const uint8_t* s = px_.data();
  switch (mode) {
    case Blend::Replace:
      return blend_rows<Blend::Replace>(s, rgba, w_, h_);
    case Blend::Add:
      return blend_rows<Blend::Add>(s, rgba, w_, h_);
    case Blend::Subtract:
      return blend_rows<Blend::Subtract>(s, rgba, w_, h_);
    case Blend::Multiply:
      return blend_rows<Blend::Multiply>(s, rgba, w_, h_);
    case Blend::Screen:
      return blend_rows<Blend::Screen>(s, rgba, w_, h_);
    case Blend::Darken:
      return blend_rows<Blend::Darken>(s, rgba, w_, h_);
    case Blend::Lighten:
      return blend_rows<Blend::Lighten>(s, rgba, w_, h_);
    case Blend::Difference:
      return blend_rows<Blend::Difference>(s, rgba, w_, h_);
    case Blend::Overlay:
      return blend_rows<Blend::Overlay>(s, rgba, w_, h_);
    case Blend::Average:
      return blend_rows<Blend::Average>(s, rgba, w_, h_);
    case Blend::Exclusion:
      return blend_rows<Blend::Exclusion>(s, rgba, w_, h_);
    case Blend::Invert:
      return blend_rows<Blend::Invert>(s, rgba, w_, h_);
    default:
      return blend_rows<Blend::Normal>(s, rgba, w_, h_);
  }
}

}  // namespace cvl::imagescript
