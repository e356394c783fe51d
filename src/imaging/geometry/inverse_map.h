// The one inverse-mapping sampler under every geometric transform.
//
// A transform is only its coordinate map: for the centre of each destination
// pixel it names the source point to read. The map is a template argument, so it
// is inlined into the row loop (no call per pixel through a pointer); the points
// of a run are then sampled together, several at a time in vector lanes. Coordinates
// are in pixel-centre units: pixel (x, y) covers [x - 0.5, x + 0.5], and a map that
// returns (x, y) itself copies the image exactly.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#elif defined(__SSE__)
#include <xmmintrin.h>
#endif

#include "imaging/image_view.h"
#include "imaging/parallel_bands.h"
#include "imaging/pixel_span.h"

namespace cvl::imaging {

enum class Sampling {
  Nearest,   // the pixel whose centre is closest
  Bilinear,  // the four surrounding pixels weighted in 1/256 steps
};

namespace detail {

// Source points are held in 1/256 of a pixel. A point more than a pixel off the
// image is fill anyway; rejecting it first keeps the conversion inside int range.
inline bool to_fixed(float v, int32_t limit, int32_t* fixed) {
  if (!(v > -2.0f && v < static_cast<float>(limit) + 1.0f)) return false;  // also rejects NaN
  *fixed = static_cast<int32_t>(std::lrint(v * 256.0f));
  return true;
}

inline void sample_bilinear(const ImageView& src, int32_t fx, int32_t fy, const uint8_t* fill, uint8_t* out) {
  const int32_t x0 = fx >> 8, y0 = fy >> 8;  // arithmetic shifts floor negative points
  const uint32_t wx = static_cast<uint32_t>(fx & 255), wy = static_cast<uint32_t>(fy & 255);
  const uint8_t *p00, *p10, *p01, *p11;
  if (x0 >= 0 && y0 >= 0 && x0 + 1 < src.width && y0 + 1 < src.height) {
    p00 = src.row(y0) + static_cast<ptrdiff_t>(x0) * 4;
    p10 = p00 + 4;
    p01 = p00 + src.stride;
    p11 = p01 + 4;
  } else {
    auto tap = [&](int32_t x, int32_t y) -> const uint8_t* {
      if (x < 0 || y < 0 || x >= src.width || y >= src.height) return fill;
      return src.row(y) + static_cast<ptrdiff_t>(x) * 4;
    };
    p00 = tap(x0, y0), p10 = tap(x0 + 1, y0), p01 = tap(x0, y0 + 1), p11 = tap(x0 + 1, y0 + 1);
  }
  // Two channels at a time: bytes 0 and 2, then 1 and 3, each pair in the 16-bit
  // lanes of a word for the first pass (at most 255 x 256) and in 32-bit lanes
  // for the second (at most 255 x 65536), exactly as the per-channel formula
  // (top (256 - wy) + bottom wy + 32768) >> 16 with top = p00 (256 - wx) + p10 wx.
  uint32_t w00, w10, w01, w11;
  std::memcpy(&w00, p00, 4), std::memcpy(&w10, p10, 4), std::memcpy(&w01, p01, 4), std::memcpy(&w11, p11, 4);
  const uint32_t ax = 256 - wx, ay = 256 - wy;
  auto pair = [&](int shift) {
    constexpr uint32_t kLanes = 0x00FF00FF;
    const uint32_t top = ((w00 >> shift) & kLanes) * ax + ((w10 >> shift) & kLanes) * wx;
    const uint32_t bottom = ((w01 >> shift) & kLanes) * ax + ((w11 >> shift) & kLanes) * wx;
    auto widen = [](uint32_t v) { return uint64_t(v & 0xFFFF) | uint64_t(v >> 16) << 32; };
    const uint64_t sum = widen(top) * ay + widen(bottom) * wy + (uint64_t(32768) << 32 | 32768);
    return uint32_t((sum >> 16) & 0xFF) | uint32_t((sum >> 48) & 0xFF) << 16;
  };
  const uint32_t out_word = pair(0) | pair(8) << 8;
  std::memcpy(out, &out_word, 4);
}

inline void sample_nearest(const ImageView& src, int32_t fx, int32_t fy, const uint8_t* fill, uint8_t* out) {
  const int32_t x = (fx + 128) >> 8, y = (fy + 128) >> 8;
  const uint8_t* p =
      (x < 0 || y < 0 || x >= src.width || y >= src.height) ? fill : src.row(y) + static_cast<ptrdiff_t>(x) * 4;
  std::memcpy(out, p, 4);
}

}  // namespace detail

namespace detail {

// lrint(v * 256) without the library call: the conversion instruction rounds in the
// current mode exactly as lrint does, and the wide form gives the same low 32 bits.
inline int32_t fixed_of(float v) {
#if defined(__x86_64__) && defined(__SSE__)
  return static_cast<int32_t>(_mm_cvtss_si64(_mm_set_ss(v * 256.0f)));
#else
  return static_cast<int32_t>(std::lrint(v * 256.0f));
#endif
}

// to_fixed with fixed_of: the same result, inlined.
inline bool to_fixed_inline(float v, int32_t limit, int32_t* fixed) {
  if (!(v > -2.0f && v < static_cast<float>(limit) + 1.0f)) return false;  // also rejects NaN
  *fixed = fixed_of(v);
  return true;
}

template <Sampling kSampling>
inline void sample_point(const ImageView& src, float sx, float sy, const uint8_t* fill, uint8_t* out) {
  int32_t fx, fy;
  if (!to_fixed_inline(sx, src.width, &fx) || !to_fixed_inline(sy, src.height, &fy)) {
    std::memcpy(out, fill, 4);
    return;
  }
  if constexpr (kSampling == Sampling::Bilinear) sample_bilinear(src, fx, fy, fill, out);
  else sample_nearest(src, fx, fy, fill, out);
}

// The vector path eight points at a time, for processors with AVX2: the same
// arithmetic in wider lanes. Returns how many points it did (a multiple of 8).
int32_t sample_run_bilinear_avx2(const ImageView& src, const uint8_t* fill, const float* sx, const float* sy,
                                 const uint8_t* ok, int32_t n, uint8_t* out);
bool avx2_sampler();
// Tests turn the AVX2 path off to hold the four-point path to the same bytes.
void allow_avx2_sampler(bool allow);

// Points a per-pixel map works out before they are sampled together: small enough
// for the stack, long enough for the vector paths.
constexpr int32_t kRowChunk = 256;

// Samples a run of points: out[i] from (sx[i], sy[i]) where ok[i], else the fill;
// the same bytes as sample_point at every pixel. Four points at a time that all
// land inside the picture with their four taps take a vector path: the corner
// weights in 16-bit lanes give each row's blend (at most 255 x 256) per channel,
// and the blend down, at most 255 x 65536 + 32768 < 2^24, is exact in single floats.
template <Sampling kSampling>
inline void sample_run(const ImageView& src, const uint8_t* fill, const float* sx, const float* sy, const uint8_t* ok,
                       int32_t n, uint8_t* out) {
  int32_t i = 0;
#if defined(__SSE2__)
  // Below these sizes every point that passes the range test converts inside int32,
  // as the scalar conversion does.
  constexpr int32_t kVectorLimit = 1 << 22;
  if (kSampling == Sampling::Bilinear && src.width < kVectorLimit && src.height < kVectorLimit) {
    if (avx2_sampler()) {
      i = sample_run_bilinear_avx2(src, fill, sx, sy, ok, n, out);
      out += static_cast<ptrdiff_t>(i) * 4;
    }
    const __m128 low = _mm_set1_ps(-2.0f), k256 = _mm_set1_ps(256.0f);
    const __m128 high_x = _mm_set1_ps(static_cast<float>(src.width) + 1.0f);
    const __m128 high_y = _mm_set1_ps(static_cast<float>(src.height) + 1.0f);
    const __m128i last_x = _mm_set1_epi32(src.width - 1), last_y = _mm_set1_epi32(src.height - 1);
    const __m128i minus_one = _mm_set1_epi32(-1), byte = _mm_set1_epi32(255), zero = _mm_setzero_si128();
    const __m128i k256i = _mm_set1_epi32(256);
    const __m128 half = _mm_set1_ps(32768.0f);
    const ptrdiff_t stride = src.stride;
    // Taps a few groups ahead are asked for early: a map that scatters its points
    // (ripples, waves) reads a new line of the picture at nearly every pixel.
    constexpr int32_t kAhead = 16;
    for (; i + 4 <= n; i += 4) {
      if (i + kAhead + 4 <= n) {
        const __m128 ax = _mm_loadu_ps(sx + i + kAhead), ay = _mm_loadu_ps(sy + i + kAhead);
        // Clamped onto the picture (NaN and wild points read the first pixel).
        __m128i px = _mm_cvttps_epi32(_mm_min_ps(_mm_max_ps(ax, _mm_setzero_ps()), high_x));
        __m128i py = _mm_cvttps_epi32(_mm_min_ps(_mm_max_ps(ay, _mm_setzero_ps()), high_y));
        px = _mm_and_si128(_mm_cmpgt_epi32(last_x, px), px);
        py = _mm_and_si128(_mm_cmpgt_epi32(last_y, py), py);
        alignas(16) int32_t pxs[4], pys[4];
        _mm_store_si128(reinterpret_cast<__m128i*>(pxs), px);
        _mm_store_si128(reinterpret_cast<__m128i*>(pys), py);
        for (int k = 0; k < 4; ++k) {
          const char* q =
              reinterpret_cast<const char*>(src.data + pys[k] * stride + static_cast<ptrdiff_t>(pxs[k]) * 4);
          _mm_prefetch(q, _MM_HINT_T0);
          _mm_prefetch(q + stride, _MM_HINT_T0);
        }
      }
      const __m128 x = _mm_loadu_ps(sx + i), y = _mm_loadu_ps(sy + i);
      int32_t flags;
      std::memcpy(&flags, ok + i, 4);
      const __m128i wanted =
          _mm_cmpgt_epi32(_mm_unpacklo_epi16(_mm_unpacklo_epi8(_mm_cvtsi32_si128(flags), zero), zero), zero);
      const __m128 in_range = _mm_and_ps(_mm_and_ps(_mm_cmpgt_ps(x, low), _mm_cmplt_ps(x, high_x)),
                                         _mm_and_ps(_mm_cmpgt_ps(y, low), _mm_cmplt_ps(y, high_y)));
      const __m128i fx = _mm_cvtps_epi32(_mm_mul_ps(x, k256)), fy = _mm_cvtps_epi32(_mm_mul_ps(y, k256));
      const __m128i x0 = _mm_srai_epi32(fx, 8), y0 = _mm_srai_epi32(fy, 8);
      const __m128i inside = _mm_and_si128(_mm_and_si128(_mm_cmpgt_epi32(x0, minus_one), _mm_cmpgt_epi32(last_x, x0)),
                                           _mm_and_si128(_mm_cmpgt_epi32(y0, minus_one), _mm_cmpgt_epi32(last_y, y0)));
      const __m128i all = _mm_and_si128(_mm_and_si128(wanted, _mm_castps_si128(in_range)), inside);
      if (flags == 0) {  // four pixels the map declined
        for (int k = 0; k < 4; ++k, out += 4) std::memcpy(out, fill, 4);
        continue;
      }
      // Per lane: all four taps inside (the vector blend), the fill (declined, or
      // too far off to touch the picture), or the plain path (taps across an edge).
      const int vector_lanes = _mm_movemask_ps(_mm_castsi128_ps(all));
      const int fill_lanes = ~_mm_movemask_ps(_mm_and_ps(_mm_castsi128_ps(wanted), in_range)) & 15;
      const __m128i wx = _mm_and_si128(fx, byte), wy = _mm_and_si128(fy, byte);
      if (vector_lanes == 15 && _mm_movemask_epi8(_mm_cmpeq_epi32(_mm_or_si128(wx, wy), zero)) == 0xFFFF) {
        // Four pixel centres: each blend gives its top-left tap as it is. Four
        // neighbours of one row (a map that only shifts by whole pixels) are one copy.
        const __m128i from = _mm_sub_epi32(x0, _mm_setr_epi32(0, 1, 2, 3));
        const __m128i same = _mm_and_si128(_mm_cmpeq_epi32(from, _mm_shuffle_epi32(from, 0)),
                                           _mm_cmpeq_epi32(y0, _mm_shuffle_epi32(y0, 0)));
        if (_mm_movemask_epi8(same) == 0xFFFF) {
          const int32_t fx0 = _mm_cvtsi128_si32(x0), fy0 = _mm_cvtsi128_si32(y0);
          std::memcpy(out, src.data + fy0 * stride + static_cast<ptrdiff_t>(fx0) * 4, 16);
          out += 16;
          continue;
        }
      }
      // Per lane (256 - wx) | wx << 16: the left and right taps' weights side by side.
      const __m128i across = _mm_or_si128(_mm_sub_epi32(k256i, wx), _mm_slli_epi32(wx, 16));
      const __m128 up = _mm_cvtepi32_ps(_mm_sub_epi32(k256i, wy)), down = _mm_cvtepi32_ps(wy);
      alignas(16) int32_t xs[4], ys[4];
      _mm_store_si128(reinterpret_cast<__m128i*>(xs), x0);
      _mm_store_si128(reinterpret_cast<__m128i*>(ys), y0);
      // The blend of lane k, its weights taken from the lane by a fixed shuffle.
      auto blend = [&](auto lane, uint8_t* o) {
        constexpr int k = decltype(lane)::value, pick = k * 0x55;
        const uint8_t* p = src.data + ys[k] * stride + static_cast<ptrdiff_t>(xs[k]) * 4;
        const __m128i weights = _mm_shuffle_epi32(across, pick);
        auto row_blend = [&](const uint8_t* q) {
          const __m128i wide = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(q)), zero);
          return _mm_cvtepi32_ps(_mm_madd_epi16(_mm_unpacklo_epi16(wide, _mm_srli_si128(wide, 8)), weights));
        };
        const __m128 top = row_blend(p), bottom = row_blend(p + stride);
        const __m128 sum = _mm_add_ps(_mm_add_ps(_mm_mul_ps(top, _mm_shuffle_ps(up, up, pick)),
                                                 _mm_mul_ps(bottom, _mm_shuffle_ps(down, down, pick))),
                                      half);
        const __m128i v = _mm_srli_epi32(_mm_cvttps_epi32(sum), 16);
        const int32_t word = _mm_cvtsi128_si32(_mm_packus_epi16(_mm_packs_epi32(v, v), zero));
        std::memcpy(o, &word, 4);
      };
      using L0 = std::integral_constant<int, 0>;
      using L1 = std::integral_constant<int, 1>;
      using L2 = std::integral_constant<int, 2>;
      using L3 = std::integral_constant<int, 3>;
      if (vector_lanes == 15) {
        blend(L0{}, out), blend(L1{}, out + 4), blend(L2{}, out + 8), blend(L3{}, out + 12);
        out += 16;
        continue;
      }
      for (int k = 0; k < 4; ++k, out += 4) {
        if (vector_lanes >> k & 1) {
          switch (k) {
            case 0:
              blend(L0{}, out);
              break;
            case 1:
              blend(L1{}, out);
              break;
            case 2:
              blend(L2{}, out);
              break;
            default:
              blend(L3{}, out);
              break;
          }
        } else if (fill_lanes >> k & 1) {
          std::memcpy(out, fill, 4);
        } else {
          sample_point<kSampling>(src, sx[i + k], sy[i + k], fill, out);
        }
      }
    }
  }
#endif
  for (; i < n; ++i, out += 4) {
    if (!ok[i]) std::memcpy(out, fill, 4);
    else sample_point<kSampling>(src, sx[i], sy[i], fill, out);
  }
}

// Rows first .. end - 1 through `map`, in row order, a run of a row at a time.
template <Sampling kSampling, class Map>
void map_rows(const ImageView& src, const ImageView& dst, const Colour& fill, Map& map, int32_t first, int32_t end) {
  alignas(16) float sx[kRowChunk], sy[kRowChunk];
  alignas(16) uint8_t ok[kRowChunk];
  for (int32_t y = first; y < end; ++y) {
    uint8_t* out = dst.row(y);
    for (int32_t x0 = 0; x0 < dst.width; x0 += kRowChunk) {
      const int32_t n = std::min(kRowChunk, dst.width - x0);
      for (int32_t i = 0; i < n; ++i) {
        sx[i] = static_cast<float>(x0 + i), sy[i] = static_cast<float>(y);
        ok[i] = map(x0 + i, y, sx[i], sy[i]);
      }
      sample_run<kSampling>(src, fill.data(), sx, sy, ok, n, out);
      out += static_cast<ptrdiff_t>(n) * 4;
    }
  }
}

// The plain loop every faster form is held to: the library's rounding call per
// coordinate, one pixel at a time.
template <Sampling kSampling, class Map>
void map_rows_reference(const ImageView& src, const ImageView& dst, const Colour& fill, Map& map, int32_t first,
                        int32_t end) {
  for (int32_t y = first; y < end; ++y) {
    uint8_t* out = dst.row(y);
    for (int32_t x = 0; x < dst.width; ++x, out += 4) {
      float sx = static_cast<float>(x), sy = static_cast<float>(y);
      int32_t fx, fy;
      if (!map(x, y, sx, sy) || !to_fixed(sx, src.width, &fx) || !to_fixed(sy, src.height, &fy)) {
        std::memcpy(out, fill.data(), 4);
        continue;
      }
      if constexpr (kSampling == Sampling::Bilinear) sample_bilinear(src, fx, fy, fill.data(), out);
      else sample_nearest(src, fx, fy, fill.data(), out);
    }
  }
}

inline bool mappable(const ImageView& src, const ImageView& dst) {
  return src.data && dst.data && src.channels == 4 && dst.channels == 4 && src.width > 0 && src.height > 0 &&
         dst.width > 0 && dst.height > 0;
}

}  // namespace detail

// Fills every pixel of dst from src through `map`, a callable
// `bool map(int32_t x, int32_t y, float& sx, float& sy)` that depends on (x, y)
// alone: bands of rows are mapped on several threads at once. A map that returns
// false, or a point off the source, gives the fill colour; bilinear taps off the
// source take the fill colour too. RGBA32 views of any size; they must not overlap.
// False for views it cannot work on.
template <Sampling kSampling, class Map>
bool inverse_map(const ImageView& src, const ImageView& dst, const Colour& fill, Map&& map) {
  if (!detail::mappable(src, dst)) return false;
  for_each_band(dst.height, int64_t{dst.width} * 4,
                [&](int32_t first, int32_t end) { detail::map_rows<kSampling>(src, dst, fill, map, first, end); });
  return true;
}

// The same for a map that works a whole row at once:
// `void map(int32_t y, float* sx, float* sy, uint8_t* ok)` gives the source points of
// row y's dst.width pixels, ok[x] = 0 where the pixel takes the fill. Each band of
// rows works on its own copy of `map`, so a map may keep scratch space from row to
// row (it must still depend on y alone). The points are sampled as inverse_map does.
template <Sampling kSampling, class RowMap>
bool inverse_map_rows(const ImageView& src, const ImageView& dst, const Colour& fill, const RowMap& map) {
  if (!detail::mappable(src, dst)) return false;
  for_each_band(dst.height, int64_t{dst.width} * 4, [&](int32_t first, int32_t end) {
    RowMap band_map = map;
    std::vector<float> sx(static_cast<size_t>(dst.width)), sy(static_cast<size_t>(dst.width));
    std::vector<uint8_t> ok(static_cast<size_t>(dst.width));
    for (int32_t y = first; y < end; ++y) {
      band_map(y, sx.data(), sy.data(), ok.data());
      detail::sample_run<kSampling>(src, fill.data(), sx.data(), sy.data(), ok.data(), dst.width, dst.row(y));
    }
  });
  return true;
}

// The plain twin of inverse_map: one thread, the library's rounding call, one
// pixel at a time. Tests hold the faster forms to its bytes.
template <Sampling kSampling, class Map>
bool inverse_map_reference(const ImageView& src, const ImageView& dst, const Colour& fill, Map&& map) {
  if (!detail::mappable(src, dst)) return false;
  detail::map_rows_reference<kSampling>(src, dst, fill, map, 0, dst.height);
  return true;
}

// The same for a map that keeps state from pixel to pixel (a random sequence): it is
// called once per destination pixel in row order, on the calling thread.
template <Sampling kSampling, class Map>
bool inverse_map_in_order(const ImageView& src, const ImageView& dst, const Colour& fill, Map&& map) {
  if (!detail::mappable(src, dst)) return false;
  detail::map_rows<kSampling>(src, dst, fill, map, 0, dst.height);
  return true;
}

}  // namespace cvl::imaging
