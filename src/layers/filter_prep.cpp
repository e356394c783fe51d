#include "layers/filter_prep.h"

#include <algorithm>
#include <array>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/canvas_geometry.h"
#include "core/selection_weight.h"
#include "imaging/parallel_bands.h"
#include "layers/pixel_access.h"
#include "layers/rect_clip.h"

namespace cvl {

namespace {

size_t pixel_count(int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) return 0;
  return static_cast<size_t>(width) * static_cast<size_t>(height);
}

// Every pixel on its own, so runs of pixels may go to several threads.
template <class T, class F>
void for_each_pixel(T* image, size_t count, const F& f) {
  if (!image || count == 0) return;
  imaging::for_each_run(count, 1, [&](size_t first, size_t end) {
    T* p = image + first * 4;
    for (size_t i = first; i < end; ++i, p += 4) f(p);
  });
}

// Like for_each_pixel, but only for pixels whose alpha is neither 0 nor 255 (which
// premultiplying and its inverse leave as they are); most pictures are mostly such
// pixels, skipped four at a time.
template <class F>
void for_each_translucent_pixel(uint8_t* image, size_t count, const F& f) {
  if (!image || count == 0) return;
  imaging::for_each_run(count, 1, [&](size_t first, size_t end) {
    uint8_t* p = image + first * 4;
    size_t i = first;
#if defined(__SSE2__)
    const __m128i alpha = _mm_set1_epi32(static_cast<int32_t>(0xFF000000u));
    const __m128i zero = _mm_setzero_si128();
    for (; i + 4 <= end; i += 4, p += 16) {
      const __m128i a = _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), alpha);
      if (_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi32(a, alpha), _mm_cmpeq_epi32(a, zero))) == 0xFFFF) continue;
      for (int k = 0; k < 4; ++k)
        if (p[k * 4 + 3] != 0 && p[k * 4 + 3] != 255) f(p + k * 4);
    }
#endif
    for (; i < end; ++i, p += 4)
      if (p[3] != 0 && p[3] != 255) f(p);
  });
}

// Both directions of the 8-bit premultiply looked up by (alpha, value): 64 KiB each,
// every entry what the formula gives, so a pixel costs three loads instead of three
// divisions.
using ByteTable = std::array<uint8_t, 256 * 256>;

const ByteTable& premultiply_table() {
  static const ByteTable table = [] {
    ByteTable t{};
    for (uint32_t a = 0; a < 256; ++a)
      for (uint32_t v = 0; v < 256; ++v) t[a << 8 | v] = static_cast<uint8_t>(a / 255.0 * (v + 1));
    return t;
  }();
  return table;
}

const ByteTable& unpremultiply_table() {
  static const ByteTable table = [] {
    ByteTable t{};
    for (uint32_t a = 1; a < 256; ++a)
      for (uint32_t v = 0; v < 256; ++v) t[a << 8 | v] = static_cast<uint8_t>(std::min<uint32_t>(255, v * 255u / a));
    return t;
  }();
  return table;
}

inline void unpremultiply32(uint8_t* p, const ByteTable& t) {
  const uint8_t* row = t.data() + (uint32_t{p[3]} << 8);
  for (int c = 0; c < 3; ++c) p[c] = row[p[c]];
}

}  // namespace

void adjust_rgba32_pre_filter(uint8_t* image, int32_t width, int32_t height) {
  const ByteTable& t = premultiply_table();
  for_each_translucent_pixel(image, pixel_count(width, height), [&t](uint8_t* p) {
    const uint8_t* row = t.data() + (uint32_t{p[3]} << 8);
    for (int c = 0; c < 3; ++c) p[c] = row[p[c]];
  });
}

void adjust_rgba32_post_filter(uint8_t* image, int32_t width, int32_t height) {
  const ByteTable& t = unpremultiply_table();
  for_each_translucent_pixel(image, pixel_count(width, height), [&t](uint8_t* p) { unpremultiply32(p, t); });
}

void adjust_rgba64_pre_filter(uint16_t* image, int32_t width, int32_t height) {
  for_each_pixel(image, pixel_count(width, height), [](uint16_t* p) {
    const uint32_t a = p[3];
    if (a == 0) return;
    for (int c = 0; c < 3; ++c) p[c] = static_cast<uint16_t>(a / 65535.0 * p[c]);
  });
}

void adjust_rgba64_post_filter(uint16_t* image, int32_t width, int32_t height) {
  for_each_pixel(image, pixel_count(width, height), [](uint16_t* p) {
    const uint32_t a = p[3];
    if (a == 0) return;
    for (int c = 0; c < 3; ++c) p[c] = static_cast<uint16_t>(std::min<uint32_t>(65535, p[c] * 65535u / a));
  });
}

void adjust_rgba32_for_alpha_comp(const Engine& e, int32_t flag, uint8_t* image) {
  if (flag == 0) return;
  const ByteTable& t = unpremultiply_table();
  for_each_pixel(image, e.canvas_pixels(), [&t](uint8_t* p) {
    if (p[3] != 0) unpremultiply32(p, t);
  });
}

void adjust_rgba32_by_mask_and_texture(const Engine& e, uint8_t* image, int32_t width, int32_t height) {
  adjust_rgba32_rect_by_mask_and_texture(e, image, 0, 0, width, height);
}

void adjust_rgba32_rect_by_mask_and_texture(const Engine& e, uint8_t* image, int32_t x, int32_t y, int32_t width,
                                            int32_t height) {
  const uint8_t* texture = e.texture_map.get();
  const uint16_t* mask = e.mask_active() ? e.mask.get() : nullptr;
  if (!image || (!texture && !mask)) return;
  const int32_t left = std::max(x, 0), top = std::max(y, 0);
  const int32_t right = end_within(x, width, e.canvas_width), bottom = end_within(y, height, e.canvas_height);
  if (right <= left || bottom <= top) return;
  imaging::for_each_band(bottom - top, right - left, [&](int32_t first, int32_t end) {
    for (int32_t row = top + first; row < top + end; ++row) {
      uint8_t* p =
          image + (static_cast<size_t>(row - y) * static_cast<size_t>(width) + static_cast<size_t>(left - x)) * 4;
      const size_t at = static_cast<size_t>(row) * static_cast<size_t>(e.canvas_width);
      for (int32_t col = left; col < right; ++col, p += 4) {
        if (!texture) {
          // A fully selected run keeps its alpha (the weight is exactly 1).
          const int32_t whole = mask_run(mask + at + static_cast<size_t>(col), right - col, kWholeWord, true);
          col += whole, p += static_cast<size_t>(whole) * 4;
          if (col == right) break;
        }
        uint32_t w = texture ? texture_weight_plain(texture[at + static_cast<size_t>(col)]) : 65535;
        if (mask) w = mask_weight_word(w, mask[at + static_cast<size_t>(col)]);
        p[3] = static_cast<uint8_t>(w / 65535.0 * p[3]);
      }
    }
  });
}

void set_colour_alpha(const Engine& e, uint8_t r, uint8_t g, uint8_t b) {
  Layer* layer = current_layer_with_pixels(e);
  if (!layer) return;
  const uint16_t colour[4] = {static_cast<uint16_t>(r * 257), static_cast<uint16_t>(g * 257),
                              static_cast<uint16_t>(b * 257), 0};
  const LayerSpan span = canvas_span(e, *layer);
  for (int32_t y = 0; y < span.rows; ++y) {
    uint16_t* p = layer_row(*layer, y);
    for (int32_t x = 0; x < span.cols; ++x, p += 4)
      if (p[3] < 256) std::copy(colour, colour + 4, p);
  }
}

void set_colour_alpha_rgba_buf(uint8_t* image, int32_t width, int32_t height, uint8_t r, uint8_t g, uint8_t b) {
  for_each_pixel(image, pixel_count(width, height), [=](uint8_t* p) {
    if (p[3] != 0) return;
    p[0] = r;
    p[1] = g;
    p[2] = b;
  });
}

void set_colour_rgba_buf(uint8_t* image, int32_t width, int32_t height, uint8_t r, uint8_t g, uint8_t b) {
  for_each_pixel(image, pixel_count(width, height), [=](uint8_t* p) {
    p[0] = r;
    p[1] = g;
    p[2] = b;
  });
}

}  // namespace cvl
