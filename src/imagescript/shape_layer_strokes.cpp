// Strokes on the paint layer: each segment's pixels measured by their distance to
// it, the best coverage over the stroke's segments kept in a map, then laid once.
#include <cmath>
#include <optional>

#include "imagescript/shape_layer.h"

// Four pixels of a stroke's edge at a time on x86-64 processors with AVX2, only
// where scalar double arithmetic is SSE arithmetic too, so that every lane rounds
// as the one-pixel measure does.
#if defined(__GNUC__) && defined(__x86_64__) && defined(__SSE2_MATH__)
#define CVL_STROKE_LANES 1
#include <immintrin.h>
#endif

namespace cvl::imagescript {

using detail::ceil_int;
using detail::clip_rows;
using detail::floor_int;
using detail::inside_square;
using detail::kSure;
using detail::outside_square;
using detail::span;

namespace {

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

// Pixels [lo, hi) whose centres lie in [a, b], clipped to [lo, hi): with `touching`,
// also the one just before it and the one just after.
void pixels_of(double a, double b, bool touching, int32_t& lo, int32_t& hi) {
  if (a > b) {
    hi = lo;
    return;
  }
  lo = std::max(lo, touching ? floor_int(a - 0.5) : ceil_int(a - 0.5));
  hi = std::max(lo, std::min(hi, (touching ? ceil_int(b - 0.5) : floor_int(b - 0.5)) + 1));
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

// One row's pixels of a segment: [lo, inner_lo) and [inner_hi, hi) about its edge
// are measured, [inner_lo, inner_hi) are wholly within the stroke.
struct RowRuns {
  int32_t lo, inner_lo, inner_hi, hi;
};

// The part of the plane one segment of a stroke answers for. Past its end, a
// segment is nearest a pixel at that end, where the next segment starts; when the
// pixel lies along the next segment by kShareMargin, that one is nearer (in squared
// distance) by far more than any rounding of either distance, so this one cannot
// give the pixel its best coverage, nor tie it. Likewise before its start. A segment
// then measures only the pixels along it, give or take the margin, and those past
// both it and its neighbour at a joint (outside a bend, where both are nearest at
// the joint); the first and the last segment answer for all before and after the
// stroke. A segment shorter than kShareMargin has no direction to judge by, and
// answers for everything, as do its neighbours on its side; so does every segment of
// a stroke too wide, or too far out, for the margin to outweigh the rounding.
constexpr double kShareMargin = 0.05, kMostSharedHalfWidth = 4096, kFarthestShared = 1e6;

class Share {
 public:
  Share() = default;
  // The segment from a to c of a stroke of half-width `half`; `before` the start of
  // the segment before it, `after` the end of the one after (nullptr where none).
  Share(const double* before, double ax, double ay, double cx, double cy, const double* after, double half) {
    const double dx = cx - ax, dy = cy - ay, length = std::sqrt(dx * dx + dy * dy);
    if (!(length >= kShareMargin && half <= kMostSharedHalfWidth && near(ax) && near(ay) && near(cx) && near(cy)))
      return;
    const double ux = dx / length, uy = dy / length;
    // Along the segment from just before its start, or past the end of the one before.
    start_ = Side::at_least(ax, ay, ux, uy, -kShareMargin);
    if (before) {
      const double bx = ax - before[0], by = ay - before[1], lb = std::sqrt(bx * bx + by * by);
      if (lb >= kShareMargin && near(before[0]) && near(before[1]))
        wedge_start_ = Side::at_least(before[0], before[1], bx / lb, by / lb, lb - kShareMargin);
    }
    // Along it to just past its end, or not yet along the one after by the margin.
    end_ = Side::at_least(ax, ay, -ux, -uy, -(length + kShareMargin));
    if (after) {
      const double nx = after[0] - cx, ny = after[1] - cy, ln = std::sqrt(nx * nx + ny * ny);
      if (ln >= kShareMargin && near(after[0]) && near(after[1]))
        wedge_end_ = Side::at_least(cx, cy, -nx / ln, -ny / ln, -kShareMargin);
    }
  }

  // Whether the segment answers for less than the whole plane.
  bool shared() const { return start_.kind != Side::Every; }

  // Narrows [lo, hi) to the pixels of row py the segment answers for.
  void clip(double py, int32_t& lo, int32_t& hi) const {
    double l1, h1, l2, h2, l3, h3, l4, h4;
    start_.range(py, l1, h1), wedge_start_.range(py, l2, h2);
    end_.range(py, l3, h3), wedge_end_.range(py, l4, h4);
    // Each side's two half-lines joined (their hull), then the two sides met.
    const double from = std::max(std::min(l1, l2), std::min(l3, l4));
    const double to = std::min(std::max(h1, h2), std::max(h3, h4));
    if (!(from <= to)) {
      hi = lo;
      return;
    }
    lo = std::max(lo, ceil_int(from - 0.5));
    hi = std::max(lo, std::min(hi, floor_int(to - 0.5) + 1));
  }

 private:
  static bool near(double v) { return std::abs(v) <= kFarthestShared; }

  // The pixel centres (x, py) with (x - ox, py - oy) . (ux, uy) >= k, as a range of x:
  // from or to c0 + c1 py, or on a row of an upright direction the whole row or none.
  struct Side {
    enum Kind : uint8_t { Every, From, To, Row } kind = Every;
    double c0 = 0, c1 = 0;

    static Side at_least(double ox, double oy, double ux, double uy, double k) {
      Side s;
      if (std::abs(ux) < 1e-9) {
        // Then the x term, over any pixel a shared segment measures, is far below the margin.
        s.kind = Row, s.c0 = k + oy * uy, s.c1 = uy;
        return s;
      }
      s.kind = ux > 0 ? From : To;
      s.c0 = (k + ox * ux + oy * uy) / ux, s.c1 = -uy / ux;
      return s;
    }
    void range(double py, double& lo, double& hi) const {
      constexpr double kAll = 1e300;
      lo = -kAll, hi = kAll;
      if (kind == From) lo = c0 + c1 * py;
      else if (kind == To) hi = c0 + c1 * py;
      else if (kind == Row && !(c1 * py >= c0)) lo = kAll, hi = -kAll;
    }
  };

  Side start_, wedge_start_, end_, wedge_end_;
};

// One segment of a stroke of half-width `half`, from (ax, ay) to (ax + dx, ay + dy):
// the rows and the runs of each row it may cover, and what measuring a pixel needs.
class SegmentPixels {
 public:
  SegmentPixels(double ax, double ay, double cx, double cy, double half, int32_t w, int32_t h, Rows rows,
                const ChordTable* table, const Share& share = Share())
      : ax(ax),
        ay(ay),
        dx(cx - ax),
        dy(cy - ay),
        len2(dx * dx + dy * dy),
        length(std::sqrt(len2)),
        inv_len2(len2 > 0 ? 1 / len2 : 0),
        reach(half + 0.5),
        // The reciprocal's nearest point is off the exact one by a few roundings of
        // the segment's length; widen the sure margins by far more than that.
        slack(1e-9 * (half + 0.5) * (length + half + 2)),
        out2(outside_square(half + 0.5) + slack),
        in2(inside_square(half - 0.5) - slack),
        capsule_(ax, ay, dx, dy, length),
        table_(table && length <= table->longest ? table : nullptr),
        short_(length <= half),
        outer_(half + 0.5 - kFaint),
        inner_(half - 0.5 - kHair),
        mx_(ax + dx * 0.5),
        my_(ay + dy * 0.5),
        share_(share) {
    if (std::max(ay, cy) + half + 2 < rows.first || std::min(ay, cy) - half - 2 >= rows.end) {
      first_row = end_row = 0;
      return;
    }
    span(ax, cx, half + 1, w, x0_, x1_);
    span(ay, cy, half + 1, h, first_row, end_row);
    clip_rows(first_row, end_row, rows);
    // The pixel centres nearer than the reach in each axis (the others have nothing).
    near_x0_ = std::max(x0_, ceil_int(std::min(ax, cx) - reach - 0.5));
    near_x1_ = std::min(x1_, floor_int(std::max(ax, cx) + reach - 0.5) + 1);
    near_first_ = std::max(first_row, ceil_int(std::min(ay, cy) - reach - 0.5));
    near_end_ = std::min(end_row, floor_int(std::max(ay, cy) + reach - 0.5) + 1);
  }

  // The runs of row y that the segment answers for; false when there are none.
  bool row(int32_t y, RowRuns& r) const {
    const double py = y + 0.5;
    double a, b;
    size_t k = 0;
    if (table_) {
      const double oy = std::abs(py - my_);
      if (!(oy < double(table_->outer.size()))) return false;
      k = static_cast<size_t>(oy);
      a = mx_ - table_->outer[k], b = mx_ + table_->outer[k];
    } else if (short_) {
      capsule_.hull_chord(outer_, py, a, b);
    } else {
      capsule_.chord(outer_, py, a, b);
    }
    r.lo = x0_, r.hi = x1_;
    pixels_of(a, b, true, r.lo, r.hi);
    r.inner_lo = r.inner_hi = r.lo;
    if (inner_ > 0) {
      if (table_) {
        a = 1e300, b = -1e300;
        if (k < table_->inner.size()) a = mx_ - table_->inner[k], b = mx_ + table_->inner[k];
      } else if (short_) {
        capsule_.middle_chord(inner_, py, a, b);
      } else {
        capsule_.chord(inner_, py, a, b);
      }
      r.inner_lo = r.lo, r.inner_hi = r.hi;
      pixels_of(a, b, false, r.inner_lo, r.inner_hi);
      if (r.inner_lo >= r.inner_hi) r.inner_lo = r.inner_hi = r.lo;
    }
    int32_t lo = r.lo, hi = r.hi;
    share_.clip(py, lo, hi);
    if (lo >= hi) return false;
    r.inner_lo = std::clamp(r.inner_lo, lo, hi), r.inner_hi = std::clamp(r.inner_hi, r.inner_lo, hi);
    r.lo = lo, r.hi = hi;
    return true;
  }

  // The segment's coverage of pixel (x, y) where it could raise `has`, the coverage
  // the pixel holds: false where it cannot. Where the squared distance shows the
  // pixel wholly within, 1; else the exact distance's coverage.
  bool raises(int32_t x, int32_t y, float has, float& coverage) const {
    if (has >= 1.f) return false;
    const double px = x + 0.5, py = y + 0.5;
    // Sorting by a nearest point found with the reciprocal (a rounding off the exact
    // one, far inside kSure); the exact distance is then measured as it always was.
    double t = std::clamp(((px - ax) * dx + (py - ay) * dy) * inv_len2, 0.0, 1.0);
    double ex = px - ax - t * dx, ey = py - ay - t * dy;
    const double q = ex * ex + ey * ey;
    if (q >= out2) return false;
    if (q <= in2) return coverage = 1.f, true;
    if (has > 0) {
      // Coverage at most `has` needs a distance of at least reach - has; past that by
      // the sure margin this segment cannot raise the pixel.
      const double beyond = reach - has;
      if (q >= beyond * beyond * (1 + kSure) + slack) return false;
    }
    t = len2 > 0 ? ((px - ax) * dx + (py - ay) * dy) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    ex = px - ax - t * dx, ey = py - ay - t * dy;
    coverage = edge_coverage(reach, ex, ey);
    return true;
  }

  const double ax, ay, dx, dy, len2, length, inv_len2, reach, slack, out2, in2;
  int32_t first_row = 0, end_row = 0;

  // Where the segment answers for only some pixels: the rows [near_first, near_end)
  // that may have some, and those of row y it answers for, from the pixels of its box
  // nearer than the reach in each axis. Any of them may be measured.
  bool shared() const { return share_.shared(); }
  int32_t near_first() const { return near_first_; }
  int32_t near_end() const { return near_end_; }
  void answered(int32_t y, int32_t& lo, int32_t& hi) const {
    lo = near_x0_, hi = near_x1_;
    share_.clip(y + 0.5, lo, hi);
  }

 private:
  const CapsuleRows capsule_;
  const ChordTable* table_;
  const bool short_;
  const double outer_, inner_, mx_, my_;
  const Share share_;
  int32_t x0_ = 0, x1_ = 0, near_x0_ = 0, near_x1_ = 0, near_first_ = 0, near_end_ = 0;
};

// Coverage of the pixels of one segment, given as a float to put(x, y, coverage)
// where it may be above 0, and as put_full(lo, hi, y) for runs wholly within the
// stroke; held(x, y) is the coverage a pixel already has, which only a nearer
// segment can raise.
template <class Held, class Put, class PutFull>
void stamp_segment(const SegmentPixels& s, Held held, Put put, PutFull put_full) {
  RowRuns r;
  float c;
  for (int32_t y = s.first_row; y < s.end_row; ++y) {
    if (!s.row(y, r)) continue;
    for (int32_t x = r.lo; x < r.inner_lo; ++x)
      if (s.raises(x, y, held(x, y), c)) put(x, y, c);
    if (r.inner_lo < r.inner_hi) put_full(r.inner_lo, r.inner_hi, y);
    for (int32_t x = r.inner_hi; x < r.hi; ++x)
      if (s.raises(x, y, held(x, y), c)) put(x, y, c);
  }
}

#if defined(CVL_STROKE_LANES)

// The best coverage of a stroke's pixels so far, for columns [x0, x0 + width) of rows
// from y0, and the columns touched on each row.
struct MapRows {
  float* best;
  size_t width;
  int32_t x0, y0;
  int32_t *lo, *hi;
};

// Built for AVX2 and not for FMA: a fused multiply-add would round once where the
// one-pixel measure rounds the product and then the sum.
#define CVL_LANES __attribute__((target("avx2")))

// A four-lane double mask as a four-lane float one.
CVL_LANES inline __m128 narrow(__m256d mask) {
  const __m256i low_halves =
      _mm256_permutevar8x32_epi32(_mm256_castpd_si256(mask), _mm256_setr_epi32(0, 2, 4, 6, 0, 2, 4, 6));
  return _mm_castsi128_ps(_mm256_castsi256_si128(low_halves));
}

// std::clamp(v, 0, 1) on four lanes, keeping what it keeps: v itself when it is a
// zero of either sign or not a number (the second operand is the one returned then).
CVL_LANES inline __m256d clamp_unit4(__m256d v) {
  return _mm256_min_pd(_mm256_set1_pd(1.0), _mm256_max_pd(_mm256_setzero_pd(), v));
}

// SegmentPixels::raises for best[0, n), the pixels from x on row py, four at a time:
// the same sorting by the reciprocal's nearest point, and where a lane needs it the
// exact distance's coverage (the library's distance where edge_coverage's bracket
// leaves a lane undecided). Lanes it cannot raise keep what they hold.
CVL_LANES inline void raise_run_lanes(const SegmentPixels& s, double py, int32_t x, int32_t n, float* best) {
  const __m256d ax = _mm256_set1_pd(s.ax), dx = _mm256_set1_pd(s.dx), dy = _mm256_set1_pd(s.dy);
  const __m256d oy = _mm256_set1_pd(py - s.ay), across = _mm256_set1_pd((py - s.ay) * s.dy);
  const __m256d one = _mm256_set1_pd(1.0), reach = _mm256_set1_pd(s.reach), slack = _mm256_set1_pd(s.slack);
  const __m128i step = _mm_setr_epi32(0, 1, 2, 3);
  for (int32_t i = 0; i < n; i += 4) {
    const __m128 lanes = _mm_castsi128_ps(_mm_cmpgt_epi32(_mm_set1_epi32(n - i), step));
    const __m128 held = _mm_maskload_ps(best + i, _mm_castps_si128(lanes));
    const __m128 open = _mm_and_ps(lanes, _mm_cmplt_ps(held, _mm_set1_ps(1.f)));  // lanes it may raise
    if (!_mm_movemask_ps(open)) continue;
    const __m256d px =
        _mm256_add_pd(_mm256_cvtepi32_pd(_mm_add_epi32(_mm_set1_epi32(x + i), step)), _mm256_set1_pd(0.5));
    const __m256d ox = _mm256_sub_pd(px, ax), along = _mm256_add_pd(_mm256_mul_pd(ox, dx), across);
    __m256d t = clamp_unit4(_mm256_mul_pd(along, _mm256_set1_pd(s.inv_len2)));
    __m256d ex = _mm256_sub_pd(ox, _mm256_mul_pd(t, dx)), ey = _mm256_sub_pd(oy, _mm256_mul_pd(t, dy));
    const __m256d q = _mm256_add_pd(_mm256_mul_pd(ex, ex), _mm256_mul_pd(ey, ey));
    // Past reach - held (reach itself over nothing) by the sure margin: not raised.
    const __m256d beyond = _mm256_sub_pd(reach, _mm256_cvtps_pd(held));
    const __m256d limit = _mm256_add_pd(_mm256_mul_pd(_mm256_mul_pd(beyond, beyond), _mm256_set1_pd(1 + kSure)), slack);
    const __m128 full = _mm_and_ps(open, narrow(_mm256_cmp_pd(q, _mm256_set1_pd(s.in2), _CMP_LE_OQ)));
    const __m128 kept = narrow(_mm256_cmp_pd(q, limit, _CMP_GE_OQ));
    const __m128 measured = _mm_andnot_ps(_mm_or_ps(full, kept), open);
    if (!_mm_movemask_ps(measured)) {
      if (_mm_movemask_ps(full)) _mm_maskstore_ps(best + i, _mm_castps_si128(full), _mm_set1_ps(1.f));
      continue;
    }
    if (s.len2 > 0) t = clamp_unit4(_mm256_div_pd(along, _mm256_set1_pd(s.len2)));
    else t = _mm256_setzero_pd();
    ex = _mm256_sub_pd(ox, _mm256_mul_pd(t, dx)), ey = _mm256_sub_pd(oy, _mm256_mul_pd(t, dy));
    const __m256d d = _mm256_sqrt_pd(_mm256_add_pd(_mm256_mul_pd(ex, ex), _mm256_mul_pd(ey, ey)));
    const __m256d bracket = _mm256_mul_pd(_mm256_set1_pd(1e-13), _mm256_add_pd(d, one));
    __m128 near = _mm256_cvtpd_ps(clamp_unit4(_mm256_sub_pd(reach, _mm256_sub_pd(d, bracket))));
    const __m128 far = _mm256_cvtpd_ps(clamp_unit4(_mm256_sub_pd(reach, _mm256_add_pd(d, bracket))));
    if (const int undecided = _mm_movemask_ps(_mm_andnot_ps(_mm_cmpeq_ps(near, far), lanes))) {
      double exs[4], eys[4];
      float c[4];
      _mm256_storeu_pd(exs, ex), _mm256_storeu_pd(eys, ey), _mm_storeu_ps(c, near);
      for (int k = 0; k < 4; ++k)
        if (undecided >> k & 1) c[k] = static_cast<float>(std::clamp(s.reach - std::hypot(exs[k], eys[k]), 0.0, 1.0));
      near = _mm_loadu_ps(c);
    }
    // std::max(held, coverage): the held value where they tie or the coverage is not a number.
    _mm_maskstore_ps(best + i, _mm_castps_si128(open), _mm_max_ps(near, held));
  }
}

// stamp_segment into a stroke's map, four pixels at a time. A segment that answers
// for only some pixels measures every one of them, which settles those wholly within
// the stroke by the squared distance alone: no chords.
CVL_LANES void stamp_segment_lanes(const SegmentPixels& s, const MapRows& m) {
  if (s.shared()) {
    for (int32_t y = s.near_first(); y < s.near_end(); ++y) {
      int32_t lo, hi;
      s.answered(y, lo, hi);
      if (lo >= hi) continue;
      const size_t at = size_t(y - m.y0);
      raise_run_lanes(s, y + 0.5, lo, hi - lo, m.best + at * m.width + (lo - m.x0));
      m.lo[at] = std::min(m.lo[at], lo), m.hi[at] = std::max(m.hi[at], hi);
    }
    return;
  }
  RowRuns r;
  for (int32_t y = s.first_row; y < s.end_row; ++y) {
    if (!s.row(y, r) || r.lo >= r.hi) continue;
    const size_t at = size_t(y - m.y0);
    float* row = m.best + at * m.width;
    raise_run_lanes(s, y + 0.5, r.lo, r.inner_lo - r.lo, row + (r.lo - m.x0));
    std::fill(row + (r.inner_lo - m.x0), row + (r.inner_hi - m.x0), 1.f);
    raise_run_lanes(s, y + 0.5, r.inner_hi, r.hi - r.inner_hi, row + (r.inner_hi - m.x0));
    m.lo[at] = std::min(m.lo[at], r.lo), m.hi[at] = std::max(m.hi[at], r.hi);
  }
}

// PaintLayer::lay's alpha of four coverages: in 255ths (at most 255) rounded, 0 where
// the coverage is not above 0.
CVL_LANES inline __m128i coverage_steps(__m256d coverage) {
  const __m256d v = _mm256_add_pd(_mm256_mul_pd(_mm256_min_pd(coverage, _mm256_set1_pd(1.0)), _mm256_set1_pd(255.0)),
                                  _mm256_set1_pd(0.5));
  return _mm256_cvttpd_epi32(_mm256_and_pd(v, _mm256_cmp_pd(coverage, _mm256_setzero_pd(), _CMP_GT_OQ)));
}

// One channel of PaintLayer::lay's "over": (colour a + under da) / alpha, `under` in
// the low byte of each lane.
CVL_LANES inline __m256i over_channel(__m256i colour, __m256i under, __m256i a, __m256i da, __m256 alpha) {
  const __m256i n = _mm256_add_epi32(_mm256_mullo_epi32(colour, a),
                                     _mm256_mullo_epi32(_mm256_and_si256(under, _mm256_set1_epi32(255)), da));
  return _mm256_cvttps_epi32(_mm256_div_ps(_mm256_cvtepi32_ps(n), alpha));
}

// PaintLayer::cover of pixels px[0, n) (packed RGBA) by coverages best[0, n) times
// `opacity`, eight at a time, leaving best all zero: the same coverage in 255ths,
// the colour as it is where that is full, else the same integer "over", whose
// division by the new alpha a single-precision quotient truncates exactly (the
// dividend, below 2^16, and the alpha are exact; a quotient that is not whole is at
// least 1/255 from the next whole number, far beyond its rounding).
CVL_LANES void cover_run_lanes(uint8_t* px, float* best, int32_t n, const Rgb& colour, double opacity) {
  const __m256d times = _mm256_set1_pd(opacity);
  const __m256i byte = _mm256_set1_epi32(255), step = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
  const __m256i r = _mm256_set1_epi32(colour.r), g = _mm256_set1_epi32(colour.g), b = _mm256_set1_epi32(colour.b);
  const __m256i solid = _mm256_set1_epi32(int32_t(colour.r | colour.g << 8 | colour.b << 16 | 0xFF000000u));
  for (int32_t i = 0; i < n; i += 8) {
    const __m256i lanes = _mm256_cmpgt_epi32(_mm256_set1_epi32(n - i), step);
    const __m256 c = _mm256_maskload_ps(best + i, lanes);
    _mm256_maskstore_ps(best + i, lanes, _mm256_setzero_ps());
    // The coverage as cover takes it, and nothing laid where it is not above 0.
    const __m256d low = _mm256_mul_pd(_mm256_cvtps_pd(_mm256_castps256_ps128(c)), times);
    const __m256d high = _mm256_mul_pd(_mm256_cvtps_pd(_mm256_extractf128_ps(c, 1)), times);
    const __m256i a = _mm256_set_m128i(coverage_steps(high), coverage_steps(low));
    const __m256i laid = _mm256_and_si256(lanes, _mm256_cmpgt_epi32(a, _mm256_setzero_si256()));
    if (_mm256_testz_si256(laid, laid)) continue;
    int32_t* at = reinterpret_cast<int32_t*>(px + 4 * size_t(i));
    const __m256i under = _mm256_maskload_epi32(at, laid);
    const __m256i ua = _mm256_srli_epi32(under, 24);
    // p[3] * (255 - a) / 255, the product below 2^16, by a multiply and shift.
    const __m256i da = _mm256_srli_epi32(
        _mm256_mullo_epi32(_mm256_mullo_epi32(ua, _mm256_sub_epi32(byte, a)), _mm256_set1_epi32(32897)), 23);
    const __m256i oa = _mm256_add_epi32(a, da);
    const __m256 alpha = _mm256_cvtepi32_ps(oa);
    const __m256i blue = over_channel(b, _mm256_srli_epi32(under, 16), a, da, alpha);
    __m256i over = _mm256_or_si256(over_channel(r, under, a, da, alpha),
                                   _mm256_slli_epi32(over_channel(g, _mm256_srli_epi32(under, 8), a, da, alpha), 8));
    over = _mm256_or_si256(over, _mm256_or_si256(_mm256_slli_epi32(blue, 16), _mm256_slli_epi32(oa, 24)));
    over = _mm256_blendv_epi8(over, solid, _mm256_cmpgt_epi32(a, _mm256_set1_epi32(254)));
    _mm256_maskstore_epi32(at, laid, over);
  }
}

#endif

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
        SegmentPixels(xy[0], xy[1], xy[2 * j], xy[2 * j + 1], half, w_, h_, rows, nullptr), nothing_yet,
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
#if defined(CVL_STROKE_LANES)
  const bool lanes = detail::paint_layer_lanes();
  const MapRows rows_of_map{best, bw, bx0, by0, map.lo.data(), map.hi.data()};
#endif
  for (size_t i = 0; i + 1 < points; ++i) {
    const double* a = xy + 2 * i;
    const Share share(i > 0 ? a - 2 : nullptr, a[0], a[1], a[2], a[3], i + 2 < points ? a + 4 : nullptr, half);
    const SegmentPixels segment(a[0], a[1], a[2], a[3], half, w_, h_, rows, table, share);
#if defined(CVL_STROKE_LANES)
    if (lanes) {
      stamp_segment_lanes(segment, rows_of_map);
      continue;
    }
#endif
    stamp_segment(
        segment, [&](int32_t x, int32_t y) { return at(x, y); },
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
  }
  // The strokes lie all over the layer, so little of it is still in the cache: its
  // rows are asked for a few rows before they are laid. (Written out here: a function
  // doing only this would count as doing nothing, and its calls would be dropped.)
  constexpr int32_t kAhead = 8;
  for (int32_t y = by0 - kAhead; y < by1; ++y) {
    if (const int32_t ahead = y + kAhead; ahead >= by0 && ahead < by1) {
      const size_t r = size_t(ahead - by0);
      if (map.lo[r] < map.hi[r]) {
        const uint8_t* p = row(ahead) + size_t(map.lo[r]) * 4;
        const uint8_t* last = p + size_t(map.hi[r] - map.lo[r]) * 4 - 1;
        for (; p < last; p += 64) __builtin_prefetch(p, 1);
        __builtin_prefetch(last, 1);
      }
    }
    if (y < by0) continue;
    const size_t r = size_t(y - by0);
#if defined(CVL_STROKE_LANES)
    if (lanes) {
      if (map.lo[r] < map.hi[r])
        cover_run_lanes(row(y) + size_t(map.lo[r]) * 4, &at(map.lo[r], y), map.hi[r] - map.lo[r], colour, opacity);
      continue;
    }
#endif
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

}  // namespace cvl::imagescript
