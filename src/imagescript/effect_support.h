// Shared pieces of the numbered effects: reading an effect's values, the effects'
// own random generator, and the inverse-mapping resampler the distortions use.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "imaging/block_array.h"
#include "imaging/parallel_bands.h"

namespace cvl::imagescript {

// An effect's values as the caller set them, addressed by value index (3 upward).
struct Values {
  const int32_t* data = nullptr;
  int32_t count = 0;
  int32_t operator()(int32_t index, int32_t fallback = 0) const {
    const int32_t i = index - 3;
    return data && i >= 0 && i < count ? data[i] : fallback;
  }
};

// The same linear congruential generator as the engine's 15-bit rand, with its own
// state: an effect seeded with the same value draws the same picture, and running it
// never moves the sequence the engine's brushes draw from.
struct Lcg {
  uint32_t state;
  explicit Lcg(int32_t seed) : state(static_cast<uint32_t>(seed)) {}
  int32_t next() {
    state = state * 214013u + 2531011u;
    return static_cast<int32_t>((state >> 16) & 0x7FFF);
  }
  // Uniform in [0, 1).
  double unit() { return next() / 32768.0; }
  // Uniform in [lo, hi).
  double range(double lo, double hi) { return lo + (hi - lo) * unit(); }
  // Uniform integer in [0, n) for n >= 1, from two draws so that large n are covered.
  int32_t below(int32_t n) {
    if (n <= 1) return 0;
    const uint32_t wide = (static_cast<uint32_t>(next()) << 15) | static_cast<uint32_t>(next());
    return static_cast<int32_t>(wide % static_cast<uint32_t>(n));
  }
};

inline constexpr double kPi = 3.14159265358979323846;

inline uint8_t clamp_byte(double v) { return static_cast<uint8_t>(std::clamp(v, 0.0, 255.0) + 0.5); }
inline uint8_t clamp_byte(int32_t v) { return static_cast<uint8_t>(std::clamp(v, 0, 255)); }

// What a distortion shows where its source point falls outside the picture.
enum class Edge { Clamp, Wrap, Transparent };

inline int32_t wrap_index(int32_t i, int32_t n) {
  const int32_t m = i % n;
  return m < 0 ? m + n : m;
}

// The four pixels a bilinear read at (x, y) in pixel-centre coordinates blends, and
// the weights across (tx) and down (ty). False where a transparent edge reads
// nothing.
struct BilinearCorners {
  const uint8_t *a, *b, *c, *d;  // top left, top right, bottom left, bottom right
  double tx, ty;
};

// The middle of a picture's columns and rows, in pixel-centre coordinates.
inline double centre_x(int32_t w) { return (w - 1) * 0.5; }
inline double centre_y(int32_t h) { return (h - 1) * 0.5; }
// The edge a distortion's wrap value asks for: 1 wraps, anything else `otherwise`.
inline Edge edge_of(int32_t wrap_flag, Edge otherwise) { return wrap_flag == 1 ? Edge::Wrap : otherwise; }

// One axis of a bilinear read at coordinate v over n pixels: the two indices it
// blends, the weight toward the second, and whether a transparent edge reads nothing.
struct BilinearAxis {
  int32_t i0, i1;
  double t;
  bool outside;
};

inline BilinearAxis bilinear_axis(double v, int32_t n, Edge edge) {
  BilinearAxis a;
  a.outside = edge == Edge::Transparent && (v < -0.5 || v > n - 0.5);
  const double f = std::floor(v);
  a.t = v - f;
  // Coordinates may be huge after a wild value; keep them in int range before indexing.
  const double lim = 1 << 29;
  a.i0 = static_cast<int32_t>(std::clamp(f, -lim, lim));
  a.i1 = a.i0 + 1;
  if (edge == Edge::Wrap) {
    a.i0 = wrap_index(a.i0, n), a.i1 = wrap_index(a.i1, n);
  } else {
    a.i0 = std::clamp(a.i0, 0, n - 1), a.i1 = std::clamp(a.i1, 0, n - 1);
  }
  return a;
}

inline BilinearCorners corners_of(const uint8_t* src, int32_t w, const BilinearAxis& across, const BilinearAxis& down) {
  BilinearCorners q;
  q.tx = across.t, q.ty = down.t;
  q.a = src + (size_t(down.i0) * w + across.i0) * 4;
  q.b = src + (size_t(down.i0) * w + across.i1) * 4;
  q.c = src + (size_t(down.i1) * w + across.i0) * 4;
  q.d = src + (size_t(down.i1) * w + across.i1) * 4;
  return q;
}

inline bool bilinear_corners(const uint8_t* src, int32_t w, int32_t h, double x, double y, Edge edge,
                             BilinearCorners& q) {
  if (edge == Edge::Transparent && (x < -0.5 || y < -0.5 || x > w - 0.5 || y > h - 0.5)) return false;
  q = corners_of(src, w, bilinear_axis(x, w, edge), bilinear_axis(y, h, edge));
  return true;
}

// The bilinear read one channel at a time, in doubles: what sample_bilinear gives.
inline void blend_corners_plain(const BilinearCorners& q, uint8_t* out) {
  for (int k = 0; k < 4; ++k) {
    const double top = q.a[k] + (q.b[k] - q.a[k]) * q.tx, bottom = q.c[k] + (q.d[k] - q.c[k]) * q.tx;
    out[k] = static_cast<uint8_t>(top + (bottom - top) * q.ty + 0.5);
  }
}

inline void sample_bilinear_plain(const uint8_t* src, int32_t w, int32_t h, double x, double y, Edge edge,
                                  uint8_t* out) {
  BilinearCorners q;
  if (!bilinear_corners(src, w, h, x, y, edge, q)) {
    std::memset(out, 0, 4);
    return;
  }
  blend_corners_plain(q, out);
}

// Blends the four corners of a bilinear read into `out`, all four channels with the
// same weights, so a plane carried in any channel is moved exactly as the colour is.
inline void blend_corners(const BilinearCorners& q, uint8_t* out) {
#if defined(__SSE2__)
  const uint8_t *a = q.a, *b = q.b, *c = q.c, *d = q.d;
  const double tx = q.tx, ty = q.ty;
  // The same double steps as sample_bilinear_plain, two channels a register; without fused
  // multiply-adds each lane rounds exactly as the plain loop does.
  const __m128i zero = _mm_setzero_si128();
  auto lanes = [&](const uint8_t* p, __m128d& low, __m128d& high) {
    int32_t word;
    std::memcpy(&word, p, 4);
    const __m128i i32 = _mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(word), zero), zero);
    low = _mm_cvtepi32_pd(i32), high = _mm_cvtepi32_pd(_mm_shuffle_epi32(i32, 0xEE));
  };
  __m128d a0, a1, b0, b1, c0, c1, d0, d1;
  lanes(a, a0, a1), lanes(b, b0, b1), lanes(c, c0, c1), lanes(d, d0, d1);
  const __m128d vx = _mm_set1_pd(tx), vy = _mm_set1_pd(ty), half = _mm_set1_pd(0.5);
  const __m128d top0 = _mm_add_pd(a0, _mm_mul_pd(_mm_sub_pd(b0, a0), vx));
  const __m128d top1 = _mm_add_pd(a1, _mm_mul_pd(_mm_sub_pd(b1, a1), vx));
  const __m128d bottom0 = _mm_add_pd(c0, _mm_mul_pd(_mm_sub_pd(d0, c0), vx));
  const __m128d bottom1 = _mm_add_pd(c1, _mm_mul_pd(_mm_sub_pd(d1, c1), vx));
  const __m128i v0 = _mm_cvttpd_epi32(_mm_add_pd(_mm_add_pd(top0, _mm_mul_pd(_mm_sub_pd(bottom0, top0), vy)), half));
  const __m128i v1 = _mm_cvttpd_epi32(_mm_add_pd(_mm_add_pd(top1, _mm_mul_pd(_mm_sub_pd(bottom1, top1), vy)), half));
  const __m128i v = _mm_unpacklo_epi64(v0, v1);
  const int32_t word = _mm_cvtsi128_si32(_mm_packus_epi16(_mm_packs_epi32(v, zero), zero));
  std::memcpy(out, &word, 4);
#else
  blend_corners_plain(q, out);
#endif
}

// Bilinear read of the four channels at (x, y) in pixel-centre coordinates.
inline void sample_bilinear(const uint8_t* src, int32_t w, int32_t h, double x, double y, Edge edge, uint8_t* out) {
  BilinearCorners q;
  if (!bilinear_corners(src, w, h, x, y, edge, q)) {
    std::memset(out, 0, 4);
    return;
  }
  blend_corners(q, out);
}

// Rebuilds the picture by inverse mapping: `map(x, y, sx, sy)` gives, for the centre
// of destination pixel (x, y), the source point to read. The map is a template
// argument so that it is inlined into the loop. Rows are handed out in bands to the
// worker threads, so the map is called from several threads at once and must only
// read what it captures.
template <class Map>
void remap(uint8_t* rgba, int32_t w, int32_t h, Edge edge, Map map) {
  // The copy is made in bands too, so that its pages are first touched (and
  // cleared by the system) on every thread rather than on one.
  const size_t row_bytes = size_t(w) * 4;
  const imaging::BlockArray<uint8_t> copy(row_bytes * h);
  imaging::for_each_band(h, int64_t(w), [&](int32_t first, int32_t end) {
    std::memcpy(copy.get() + row_bytes * first, rgba + row_bytes * first, row_bytes * (end - first));
  });
  const uint8_t* src = copy.get();
  imaging::for_each_band(h, int64_t(w) * 16, [&](int32_t first, int32_t end) {
    uint8_t* out = rgba + size_t(first) * w * 4;
    for (int32_t y = first; y < end; ++y)
      for (int32_t x = 0; x < w; ++x, out += 4) {
        double sx = x, sy = y;
        map(x, y, sx, sy);
        sample_bilinear(src, w, h, sx, sy, edge, out);
      }
  });
}

// remap for a map whose source column depends on the destination column alone and
// whose source row on the destination row alone (`map.across(x)`, `map.down(y)`):
// each column's and row's half of the bilinear read is worked out once, and every
// pixel gets the same bytes remap would give it.
template <class Map>
void remap_separable(uint8_t* rgba, int32_t w, int32_t h, Edge edge, const Map& map) {
  const size_t row_bytes = size_t(w) * 4;
  const imaging::BlockArray<uint8_t> copy(row_bytes * h);
  imaging::for_each_band(h, int64_t(w), [&](int32_t first, int32_t end) {
    std::memcpy(copy.get() + row_bytes * first, rgba + row_bytes * first, row_bytes * (end - first));
  });
  std::vector<BilinearAxis> columns(static_cast<size_t>(w)), rows(static_cast<size_t>(h));
  for (int32_t x = 0; x < w; ++x) columns[size_t(x)] = bilinear_axis(map.across(x), w, edge);
  for (int32_t y = 0; y < h; ++y) rows[size_t(y)] = bilinear_axis(map.down(y), h, edge);
  const uint8_t* src = copy.get();
  imaging::for_each_band(h, int64_t(w) * 12, [&](int32_t first, int32_t end) {
    for (int32_t y = first; y < end; ++y) {
      const BilinearAxis& row = rows[size_t(y)];
      uint8_t* out = rgba + size_t(y) * row_bytes;
      for (int32_t x = 0; x < w; ++x, out += 4) {
        const BilinearAxis& column = columns[size_t(x)];
        if (row.outside || column.outside)
          std::memset(out, 0, 4);
        else
          blend_corners(corners_of(src, w, column, row), out);
      }
    }
  });
}

}  // namespace cvl::imagescript
