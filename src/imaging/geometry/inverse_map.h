// The one inverse-mapping sampler under every geometric transform.
//
// A transform is only its coordinate map: for the centre of each destination
// pixel it names the source point to read. The map is a template argument, so it
// is inlined into the row loop (no call per pixel through a pointer). Coordinates
// are in pixel-centre units: pixel (x, y) covers [x - 0.5, x + 0.5], and a map that
// returns (x, y) itself copies the image exactly.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>

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
  const uint8_t* p = (x < 0 || y < 0 || x >= src.width || y >= src.height)
                         ? fill
                         : src.row(y) + static_cast<ptrdiff_t>(x) * 4;
  std::memcpy(out, p, 4);
}

}  // namespace detail

namespace detail {

template <Sampling kSampling, class Map>
void map_rows(const ImageView& src, const ImageView& dst, const Colour& fill, Map& map, int32_t first, int32_t end) {
  for (int32_t y = first; y < end; ++y) {
    uint8_t* out = dst.row(y);
    for (int32_t x = 0; x < dst.width; ++x, out += 4) {
      float sx = static_cast<float>(x), sy = static_cast<float>(y);
      int32_t fx, fy;
      if (!map(x, y, sx, sy) || !to_fixed(sx, src.width, &fx) || !to_fixed(sy, src.height, &fy)) {
        std::memcpy(out, fill.data(), 4);
        continue;
      }
      if constexpr (kSampling == Sampling::Bilinear)
        sample_bilinear(src, fx, fy, fill.data(), out);
      else
        sample_nearest(src, fx, fy, fill.data(), out);
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
  for_each_band(dst.height, int64_t{dst.width} * 4, [&](int32_t first, int32_t end) {
    detail::map_rows<kSampling>(src, dst, fill, map, first, end);
  });
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
