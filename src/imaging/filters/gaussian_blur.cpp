#include "imaging/filters/gaussian_blur.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "imaging/channel_mask.h"
#include "imaging/cpu_features.h"
#include "imaging/parallel_bands.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace cvl::imaging {
namespace {

// Third-order recursive Gaussian after Young and van Vliet: w[n] = B x[n] +
// a1 w[n-1] + a2 w[n-2] + a3 w[n-3] forwards, then the same backwards over w.
// The coefficients are normalised so that a constant input passes unchanged.
struct Recursion {
  float B, a1, a2, a3;
};

Recursion recursion_for(float sigma) {
  const double s = sigma;
  const double q = s >= 2.5 ? 0.98711 * s - 0.96330 : 3.97156 - 4.14554 * std::sqrt(1.0 - 0.26891 * s);
  const double q2 = q * q, q3 = q2 * q;
  const double b0 = 1.57825 + 2.44413 * q + 1.4281 * q2 + 0.422205 * q3;
  const double b1 = 2.44413 * q + 2.85619 * q2 + 1.26661 * q3;
  const double b2 = -(1.4281 * q2 + 1.26661 * q3);
  const double b3 = 0.422205 * q3;
  const double a1 = b1 / b0, a2 = b2 / b0, a3 = b3 / b0;
  return {float(1.0 - (a1 + a2 + a3)), float(a1), float(a2), float(a3)};
}

// The filter runs on 64 independent lanes at once (a strip of columns, or the
// same pixel of a block of rows): the recursion is serial along a line, so
// interleaving many lines is what keeps the arithmetic units busy. `load(i,
// lanes)` fetches step i, `store(i, lanes)` takes the finished values. `buf`
// holds (n + 6) x 64 floats: the line itself with three rows of edge values on
// either side, filtered in place (forwards, then backwards over the forward
// result), so the history of the recursion is read straight from the rows just
// written. Down the columns a strip is 256 bytes wide (Lanes = 256): rows are a
// whole stride apart, so each step lands on another memory page, and the wider
// strip pays for each page walk with four cache lines instead of one.
constexpr int32_t kLanes = 64, kColumnLanes = 256, kPad = 3;

template <int Lanes>
inline void step(float* out, const float* p1, const float* p2, const float* p3, const Recursion& r) {
  for (int32_t j = 0; j < Lanes; ++j) out[j] = r.B * out[j] + r.a1 * p1[j] + r.a2 * p2[j] + r.a3 * p3[j];
}

template <int Lanes, class Load, class Store>
void recurse(int32_t n, const Recursion& r, float* buf, Load load, Store store) {
  float* line = buf + kPad * Lanes;
  const auto at = [line](int32_t i) { return line + ptrdiff_t(i) * Lanes; };
  load(0, at(0));
  for (int32_t i = 1; i <= kPad; ++i) std::copy(at(0), at(1), at(-i));
  for (int32_t i = 0; i < n; ++i) {
    if (i > 0) load(i, at(i));
    step<Lanes>(at(i), at(i - 1), at(i - 2), at(i - 3), r);
  }
  for (int32_t i = 0; i < kPad; ++i) std::copy(at(n - 1), at(n), at(n + i));
  for (int32_t i = n - 1; i >= 0; --i) {
    step<Lanes>(at(i), at(i + 1), at(i + 2), at(i + 3), r);
    store(i, at(i));
  }
}

// Lane conversions go through 64-byte staging arrays so that both directions
// are whole-vector loops.
template <int Lanes = kLanes>
inline void bytes_to_lanes(const uint8_t* b, float* v) {
  for (int32_t j = 0; j < Lanes; ++j) v[j] = b[j];
}
// The clamp as std::max and then std::min work it out, (v < 0 ? 0 : v) then
// (255 < v ? 255 : v): maxps(0, v) and minps(255, v) pick exactly so (their
// second operand when the comparison fails), sixteen lanes a step instead of a
// compare and a branch for each.
template <int Lanes = kLanes>
inline void lanes_to_bytes(const float* v, uint8_t* b) {
  int32_t j = 0;
#if defined(__SSE2__)
  const __m128 zero = _mm_setzero_ps(), top = _mm_set1_ps(255.0f), half = _mm_set1_ps(0.5f);
  const auto word = [&](int32_t k) {
    const __m128 x = _mm_min_ps(top, _mm_max_ps(zero, _mm_loadu_ps(v + k)));
    return _mm_cvttps_epi32(_mm_add_ps(x, half));
  };
  for (; j + 16 <= Lanes; j += 16) {
    const __m128i lo = _mm_packs_epi32(word(j), word(j + 4)), hi = _mm_packs_epi32(word(j + 8), word(j + 12));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(b + j), _mm_packus_epi16(lo, hi));
  }
#endif
  for (; j < Lanes; ++j) b[j] = uint8_t(int32_t(std::min(std::max(v[j], 0.0f), 255.0f) + 0.5f));
}

// The same a lane at a time, as the plain twin has always written it.
template <int Lanes = kLanes>
inline void lanes_to_bytes_plain(const float* v, uint8_t* b) {
  for (int32_t j = 0; j < Lanes; ++j) b[j] = uint8_t(int32_t(std::min(std::max(v[j], 0.0f), 255.0f) + 0.5f));
}

// Writes `count` finished bytes; a channel outside the mask keeps its old byte.
inline void put_bytes(uint8_t* out, const uint8_t* done, int32_t count, int32_t channels, uint32_t mask, bool full) {
  if (full) {
    std::memcpy(out, done, size_t(count));
    return;
  }
  for (int32_t j = 0; j < count; ++j)
    if (mask >> (j % channels) & 1) out[j] = done[j];
}

// Horizontal pass: a block of 64 / C rows, lane k*C + c holding channel c of
// row k. Channels outside the mask are first copied from the source, then left
// alone.
template <int C>
void blur_row_block(const ImageView& src, const ImageView& dst, int32_t y0, const Recursion& r, float* buf,
                    uint32_t mask, bool full, bool plain) {
  constexpr int32_t per_block = kLanes / C;
  const int32_t rows = std::min(per_block, src.height - y0);
  const uint8_t* in[per_block];
  uint8_t* out[per_block];
  for (int32_t k = 0; k < rows; ++k) {
    in[k] = src.row(y0 + k), out[k] = dst.row(y0 + k);
    if (!full && in[k] != out[k]) std::memcpy(out[k], in[k], size_t(src.width) * C);
  }
  alignas(64) uint8_t stage[kLanes] = {};
  auto load = [&](int32_t i, float* x) {
    for (int32_t k = 0; k < rows; ++k) std::memcpy(stage + k * C, in[k] + i * C, C);
    bytes_to_lanes(stage, x);
  };
  auto store = [&](int32_t i, const float* v) {
    if (plain) lanes_to_bytes_plain(v, stage);
    else lanes_to_bytes(v, stage);
    for (int32_t k = 0; k < rows; ++k) put_bytes(out[k] + i * C, stage + k * C, C, C, mask, full);
  };
  recurse<kLanes>(src.width, r, buf, load, store);
}

// Vertical pass, in place: a strip of `k` consecutive bytes of every row,
// starting on a pixel boundary.
void blur_column_strip(const ImageView& img, int32_t offset, int32_t k, const Recursion& r, float* buf, uint32_t mask,
                       bool full, bool plain) {
  alignas(64) uint8_t stage[kColumnLanes] = {};
  constexpr int32_t kAhead = 4;  // rows fetched ahead, so page walks overlap the arithmetic
  auto load = [&](int32_t y, float* x) {
    if (y + kAhead < img.height) __builtin_prefetch(img.row(y + kAhead) + offset);
    std::memcpy(stage, img.row(y) + offset, size_t(k));
    bytes_to_lanes<kColumnLanes>(stage, x);
  };
  auto store = [&](int32_t y, const float* v) {
    if (y >= kAhead) __builtin_prefetch(img.row(y - kAhead) + offset, 1);
    if (plain) lanes_to_bytes_plain<kColumnLanes>(v, stage);
    else lanes_to_bytes<kColumnLanes>(v, stage);
    put_bytes(img.row(y) + offset, stage, k, img.channels, mask, full);
  };
  recurse<kColumnLanes>(img.height, r, buf, load, store);
}

// The row blocks [first, end) and the column strips [first, end) of a band.
template <int C>
void row_blocks(const ImageView& src, const ImageView& dst, const Recursion& r, uint32_t mask, bool full, int32_t first,
                int32_t end, float* buf, bool plain = false) {
  constexpr int32_t per_block = kLanes / C;
  for (int32_t b = first; b < end; ++b) blur_row_block<C>(src, dst, b * per_block, r, buf, mask, full, plain);
}

void column_strips(const ImageView& img, const Recursion& r, uint32_t mask, bool full, int32_t first, int32_t end,
                   float* buf, bool plain = false) {
  // Strips a whole number of pixels wide, so every strip starts on channel 0.
  const int32_t row_bytes = img.width * img.channels, strip = kColumnLanes / img.channels * img.channels;
  for (int32_t k = first; k < end; ++k) {
    const int32_t off = k * strip;
    blur_column_strip(img, off, std::min(strip, row_bytes - off), r, buf, mask, full, plain);
  }
}

#if defined(__x86_64__) || defined(__i386__)
// The same loops built for AVX2, eight lanes to an instruction instead of four.
// Not for fused multiply-adds: each product and sum is rounded on its own, as
// the plain build rounds it, so both give the same floats lane by lane.
template <int C>
__attribute__((target("avx2"), flatten)) void row_blocks_avx2(const ImageView& src, const ImageView& dst,
                                                              const Recursion& r, uint32_t mask, bool full,
                                                              int32_t first, int32_t end, float* buf) {
  row_blocks<C>(src, dst, r, mask, full, first, end, buf);
}

__attribute__((target("avx2"), flatten)) void column_strips_avx2(const ImageView& img, const Recursion& r,
                                                                 uint32_t mask, bool full, int32_t first, int32_t end,
                                                                 float* buf) {
  column_strips(img, r, mask, full, first, end, buf);
}

bool has_avx2() {
  return cpu_has_avx2();
}
#else
bool has_avx2() { return false; }
#endif

// Each lane is a line of its own, so blocks of rows and strips of columns can
// go to different threads without changing a value.
template <int C>
void blur_rows(const ImageView& src, const ImageView& dst, const Recursion& r, uint32_t mask, bool full, bool wide,
               bool plain) {
  constexpr int32_t per_block = kLanes / C;
  const int32_t blocks = (src.height + per_block - 1) / per_block;
  for_each_band(blocks, int64_t(src.width) * per_block * 8, [&](int32_t first, int32_t end) {
    std::vector<float> buf((size_t(src.width) + 2 * kPad) * kLanes, 0.0f);
#if defined(__x86_64__) || defined(__i386__)
    if (wide) return row_blocks_avx2<C>(src, dst, r, mask, full, first, end, buf.data());
#endif
    row_blocks<C>(src, dst, r, mask, full, first, end, buf.data(), plain);
  });
}

void blur_columns(const ImageView& img, const Recursion& r, uint32_t mask, bool full, bool wide, bool plain) {
  const int32_t row_bytes = img.width * img.channels, strip = kColumnLanes / img.channels * img.channels;
  const int32_t strips = (row_bytes + strip - 1) / strip;
  for_each_band(strips, int64_t(img.height) * strip * 8, [&](int32_t first, int32_t end) {
    // Lanes that a short strip leaves unused stay zero.
    std::vector<float> buf((size_t(img.height) + 2 * kPad) * kColumnLanes, 0.0f);
#if defined(__x86_64__) || defined(__i386__)
    if (wide) return column_strips_avx2(img, r, mask, full, first, end, buf.data());
#endif
    column_strips(img, r, mask, full, first, end, buf.data(), plain);
  });
}

// `plain`: the twin, built for every x86-64 and writing its bytes a lane at a time.
bool blur_with(const ImageView& src, const ImageView& dst, float sigma, uint32_t channel_mask, bool wide, bool plain) {
  if (!same_shape(src, dst)) return false;
  if (!(sigma >= 0.5f) || !std::isfinite(sigma)) {
    copy_view(src, dst);
    return true;
  }
  const Recursion r = recursion_for(sigma);
  const int32_t ch = src.channels;
  const bool full = all_channels(channel_mask, ch);
  if (ch == 4) blur_rows<4>(src, dst, r, channel_mask, full, wide, plain);
  else if (ch == 3) blur_rows<3>(src, dst, r, channel_mask, full, wide, plain);
  else blur_rows<1>(src, dst, r, channel_mask, full, wide, plain);
  blur_columns(dst, r, channel_mask, full, wide, plain);
  return true;
}

}  // namespace

bool gaussian_blur(const ImageView& src, const ImageView& dst, float sigma, uint32_t channel_mask) {
  return blur_with(src, dst, sigma, channel_mask, has_avx2(), false);
}

bool gaussian_blur_reference(const ImageView& src, const ImageView& dst, float sigma, uint32_t channel_mask) {
  return blur_with(src, dst, sigma, channel_mask, false, true);
}

}  // namespace cvl::imaging
