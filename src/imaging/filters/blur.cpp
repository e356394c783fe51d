#include "imaging/filters/blur.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <cstddef>
#include <vector>

#include "imaging/parallel_bands.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace cvl::imaging {
namespace {

// Rounded division of a window sum by the window, (sum + window / 2) / window,
// as a multiply: with m = ceil(2^40 / window), n * m / 2^40 floors to n / window
// whenever n * window < 2^40. Window sums of 8-bit values stay under that for
// windows below 2^16, of 16-bit values for windows below 2^12; wider windows
// take the dividing passes.
struct WindowDivide {
  uint64_t half, m;
  explicit WindowDivide(uint64_t w) : half(w / 2), m(((uint64_t(1) << 40) + w - 1) / w) {}
  uint64_t operator()(uint64_t sum) const { return ((sum + half) * m) >> 40; }
};
template <class T>
constexpr uint64_t kMaxMultiplyWindow = sizeof(T) == 1 ? 65535 : 4095;

// One horizontal pass over rows [first, end): each row padded by its edge
// values into a scratch line, then a running sum along it.
template <class T>
void box_rows(T* plane, int32_t width, int32_t stride, int32_t radius, int32_t first, int32_t end) {
  std::vector<T> line(size_t(width) + 2 * size_t(radius) + 1);
  const WindowDivide divide(2 * uint64_t(radius) + 1);
  for (int32_t y = first; y < end; ++y) {
    T* row = plane + ptrdiff_t(y) * stride;
    std::fill(line.begin(), line.begin() + radius, row[0]);
    std::copy(row, row + width, line.begin() + radius);
    std::fill(line.begin() + radius + width, line.end(), row[width - 1]);
    uint64_t sum = 0;
    for (int32_t i = 0; i <= 2 * radius; ++i) sum += line[size_t(i)];
    const T* leave = line.data();
    const T* enter = line.data() + 2 * radius + 1;
    for (int32_t x = 0; x < width; ++x) {
      row[x] = static_cast<T>(divide(sum));
      sum += uint64_t(enter[x]) - uint64_t(leave[x]);
    }
  }
}

// One vertical pass over columns [first, end): a running sum for every column
// carried down the rows together, reading the pass's input from `copy`.
template <class T>
void box_columns(T* plane, const T* copy, int32_t height, int32_t stride, int32_t radius, int32_t first, int32_t end) {
  const int32_t n = end - first;
  std::vector<uint64_t> sum(size_t(n), 0);
  const WindowDivide divide(2 * uint64_t(radius) + 1);
  const auto row_of = [&](int32_t y) { return copy + ptrdiff_t(std::clamp(y, 0, height - 1)) * stride + first; };
  for (int32_t i = -radius; i <= radius; ++i) {
    const T* r = row_of(i);
    for (int32_t x = 0; x < n; ++x) sum[size_t(x)] += r[x];
  }
  for (int32_t y = 0; y < height; ++y) {
    T* out = plane + ptrdiff_t(y) * stride + first;
    const T* enter = row_of(y + radius + 1);
    const T* leave = row_of(y - radius);
    for (int32_t x = 0; x < n; ++x) {
      out[x] = static_cast<T>(divide(sum[size_t(x)]));
      sum[size_t(x)] += uint64_t(enter[x]) - uint64_t(leave[x]);
    }
  }
}

// Each pass's rows (horizontal) or columns (vertical) are independent, so both
// run in bands; the vertical pass reads a copy of the plane as the pass found it.
template <class T>
void blur_plane(T* plane, int32_t width, int32_t height, int32_t stride, int32_t radius, int32_t passes) {
  if (!plane || width <= 0 || height <= 0 || radius <= 0 || passes <= 0) return;
  if (2 * uint64_t(radius) + 1 > kMaxMultiplyWindow<T>) {
    if constexpr (sizeof(T) == 1) blur_plane8_reference(plane, width, height, stride, radius, passes);
    else blur_plane16_reference(plane, width, height, stride, radius, passes);
    return;
  }
  std::vector<T> copy(size_t(height) * size_t(stride));
  for (int32_t p = 0; p < passes; ++p) {
    for_each_band(height, int64_t(width) * 2,
                  [&](int32_t first, int32_t end) { box_rows(plane, width, stride, radius, first, end); });
    for_each_band(height, int64_t(width), [&](int32_t first, int32_t end) {
      std::copy(plane + ptrdiff_t(first) * stride, plane + ptrdiff_t(end - 1) * stride + width,
                copy.begin() + ptrdiff_t(first) * stride);
    });
    for_each_band(width, int64_t(height) * 2, [&](int32_t first, int32_t end) {
      box_columns(plane, copy.data(), height, stride, radius, first, end);
    });
  }
}

// floor(n / window) for n below 2^24 and a window below 2^16 as a float
// quotient: the quotient is below 256, so its rounding error is under 2^-16,
// less than the 1 / window by which a quotient that is not whole stays clear of
// the next whole number; a whole quotient comes out exact. Unlike the 64-bit
// multiply of WindowDivide this runs many lanes at once.
constexpr int32_t kMaxFloatWindow = 65535;

inline void divide_row(const int32_t* sums, uint8_t* out, int32_t n, int32_t window) {
  const int32_t half = window / 2;
  const float w = float(window);
  for (int32_t i = 0; i < n; ++i) out[i] = static_cast<uint8_t>(int32_t(float(sums[i] + half) / w));
}

// Copies a row of `width` pixels of `ch` bytes into `line` with `radius` copies of
// its edge pixels either side.
void pad_row(uint8_t* line, const uint8_t* row, int32_t width, int32_t ch, int32_t radius) {
  const size_t n = size_t(width) * size_t(ch);
  for (int32_t k = 0; k < radius; ++k) {
    std::memcpy(line + size_t(k) * ch, row, size_t(ch));
    std::memcpy(line + size_t(radius + width + k) * ch, row + n - ch, size_t(ch));
  }
  std::memcpy(line + size_t(radius) * ch, row, n);
}

// Horizontal pass over rows [first, end) of an interleaved image, in place:
// each row padded by its edge pixels, then a window sum for every byte (added
// up directly for narrow windows, which runs many bytes at once, slid along
// for wide ones).
void interleaved_rows(uint8_t* image, int32_t width, int32_t stride, int32_t ch, int32_t radius, int32_t first,
                      int32_t end) {
  const int32_t n = width * ch, window = 2 * radius + 1;
  std::vector<uint8_t> line(size_t(width + 2 * radius) * size_t(ch));
  std::vector<int32_t> sums(static_cast<size_t>(n));
  for (int32_t y = first; y < end; ++y) {
    uint8_t* row = image + ptrdiff_t(y) * stride;
    pad_row(line.data(), row, width, ch, radius);
    const uint8_t* l = line.data();
    int32_t* s = sums.data();
    if (radius <= 8) {
      for (int32_t i = 0; i < n; ++i) s[i] = l[i];
      for (int32_t k = 1; k < window; ++k) {
        const uint8_t* from = l + ptrdiff_t(k) * ch;
        for (int32_t i = 0; i < n; ++i) s[i] += from[i];
      }
    } else {
      for (int32_t c = 0; c < ch; ++c) {
        int32_t sum = 0;
        for (int32_t k = 0; k < window; ++k) sum += l[k * ch + c];
        for (int32_t x = 0; x < width; ++x) {
          s[x * ch + c] = sum;
          if (x + 1 < width) sum += l[(x + window) * ch + c] - l[x * ch + c];
        }
      }
    }
    divide_row(s, row, n, window);
  }
}

// Vertical pass over rows [first, end) from `in` into `out` (not the same rows):
// a sum for every byte column, updated by the row entering and the row leaving.
void interleaved_columns(const uint8_t* in, int32_t in_stride, uint8_t* out, int32_t out_stride, int32_t n,
                         int32_t height, int32_t radius, int32_t first, int32_t end) {
  const int32_t window = 2 * radius + 1;
  std::vector<int32_t> sums(size_t(n), 0);
  const auto row_of = [&](int32_t y) { return in + ptrdiff_t(std::clamp(y, 0, height - 1)) * in_stride; };
  for (int32_t k = -radius; k <= radius; ++k) {
    const uint8_t* r = row_of(first + k);
    for (int32_t i = 0; i < n; ++i) sums[size_t(i)] += r[i];
  }
  int32_t* s = sums.data();
  for (int32_t y = first; y < end; ++y) {
    if (y > first) {
      const uint8_t *enter = row_of(y + radius), *leave = row_of(y - radius - 1);
      for (int32_t i = 0; i < n; ++i) s[i] += int32_t(enter[i]) - int32_t(leave[i]);
    }
    divide_row(s, out + ptrdiff_t(y) * out_stride, n, window);
  }
}

// Windows of up to 257 bytes sum below 2^16, so sums fit 16-bit lanes, eight to
// a register, and the rounded quotient (sum + window / 2) / window is a 16-bit
// multiply-high and a shift. The multiplier is searched for once a blur and
// checked against the division for every numerator the window can give, so
// only a checked one is used (else the wider passes above run).
constexpr int32_t kMaxShortWindow = 257;

struct ShortDivide {
  uint16_t half = 0, m = 0;
  int32_t shift = 0;
  bool ok = false;
  explicit ShortDivide(int32_t window) : half(uint16_t(window / 2)) {
    if (window > kMaxShortWindow) return;
    const uint32_t top = uint32_t(255 * window + window / 2);
    for (int32_t s = 0; s <= 8 && !ok; ++s) {
      const uint64_t mm = ((uint64_t(1) << (16 + s)) + uint64_t(window) - 1) / uint64_t(window);
      if (mm > 0xFFFF) break;
      bool exact = true;
      for (uint32_t n = 0; n <= top && exact; ++n) exact = (((n * uint32_t(mm)) >> 16) >> s) == n / uint32_t(window);
      if (exact) ok = true, m = uint16_t(mm), shift = s;
    }
  }
  uint8_t operator()(uint16_t sum) const {
    return static_cast<uint8_t>(((uint32_t(uint16_t(sum + half)) * m) >> 16) >> shift);
  }
};

#if defined(__SSE2__)
// Sixteen 16-bit sums (two registers) to sixteen bytes.
inline __m128i divide16(__m128i lo, __m128i hi, const ShortDivide& div) {
  const __m128i half = _mm_set1_epi16(int16_t(div.half)), m = _mm_set1_epi16(int16_t(div.m));
  const __m128i shift = _mm_cvtsi32_si128(div.shift);
  lo = _mm_srl_epi16(_mm_mulhi_epu16(_mm_add_epi16(lo, half), m), shift);
  hi = _mm_srl_epi16(_mm_mulhi_epu16(_mm_add_epi16(hi, half), m), shift);
  return _mm_packus_epi16(lo, hi);
}
#endif

// interleaved_rows with 16-bit sums, added up directly across the window.
void short_rows(uint8_t* image, int32_t width, int32_t stride, int32_t ch, int32_t radius, const ShortDivide& div,
                int32_t first, int32_t end) {
  const int32_t n = width * ch, window = 2 * radius + 1;
  std::vector<uint8_t> line(size_t(width + 2 * radius) * size_t(ch));
  for (int32_t y = first; y < end; ++y) {
    uint8_t* row = image + ptrdiff_t(y) * stride;
    pad_row(line.data(), row, width, ch, radius);
    const uint8_t* l = line.data();
    int32_t i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    for (; i + 16 <= n; i += 16) {
      __m128i lo = zero, hi = zero;
      for (int32_t k = 0; k < window; ++k) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(l + i + ptrdiff_t(k) * ch));
        lo = _mm_add_epi16(lo, _mm_unpacklo_epi8(v, zero));
        hi = _mm_add_epi16(hi, _mm_unpackhi_epi8(v, zero));
      }
      _mm_storeu_si128(reinterpret_cast<__m128i*>(row + i), divide16(lo, hi, div));
    }
#endif
    for (; i < n; ++i) {
      uint16_t sum = 0;
      for (int32_t k = 0; k < window; ++k) sum = uint16_t(sum + l[i + ptrdiff_t(k) * ch]);
      row[i] = div(sum);
    }
  }
}

// interleaved_columns with 16-bit sums.
void short_columns(const uint8_t* in, int32_t in_stride, uint8_t* out, int32_t out_stride, int32_t n, int32_t height,
                   int32_t radius, const ShortDivide& div, int32_t first, int32_t end) {
  std::vector<uint16_t> sums(static_cast<size_t>(n), 0);
  const auto row_of = [&](int32_t y) { return in + ptrdiff_t(std::clamp(y, 0, height - 1)) * in_stride; };
  uint16_t* s = sums.data();
  for (int32_t k = -radius; k <= radius; ++k) {
    const uint8_t* r = row_of(first + k);
    for (int32_t i = 0; i < n; ++i) s[i] = uint16_t(s[i] + r[i]);
  }
  for (int32_t y = first; y < end; ++y) {
    uint8_t* o = out + ptrdiff_t(y) * out_stride;
    const uint8_t *enter = row_of(y + radius), *leave = row_of(y - radius - 1);
    const bool move = y > first;
    int32_t i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    for (; i + 16 <= n; i += 16) {
      __m128i lo = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
      __m128i hi = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i + 8));
      if (move) {
        const __m128i e = _mm_loadu_si128(reinterpret_cast<const __m128i*>(enter + i));
        const __m128i g = _mm_loadu_si128(reinterpret_cast<const __m128i*>(leave + i));
        lo = _mm_sub_epi16(_mm_add_epi16(lo, _mm_unpacklo_epi8(e, zero)), _mm_unpacklo_epi8(g, zero));
        hi = _mm_sub_epi16(_mm_add_epi16(hi, _mm_unpackhi_epi8(e, zero)), _mm_unpackhi_epi8(g, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(s + i), lo);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(s + i + 8), hi);
      }
      _mm_storeu_si128(reinterpret_cast<__m128i*>(o + i), divide16(lo, hi, div));
    }
#endif
    for (; i < n; ++i) {
      if (move) s[i] = uint16_t(s[i] + enter[i] - leave[i]);
      o[i] = div(s[i]);
    }
  }
}

}  // namespace

// Each pass: the rows in place, then the columns into the other of the image
// and one packed scratch image, so the passes go back and forth between them
// and the result is copied home once at the end if it landed in the scratch.
void blur_interleaved8(uint8_t* image, int32_t width, int32_t height, int32_t stride, int32_t channels, int32_t radius,
                       int32_t passes) {
  if (!image || width <= 0 || height <= 0 || channels <= 0 || radius <= 0 || passes <= 0) return;
  if (2 * int64_t(radius) + 1 > kMaxFloatWindow) {
    std::vector<uint8_t> plane(size_t(width) * size_t(height));
    for (int32_t c = 0; c < channels; ++c) {
      for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
          plane[size_t(y) * width + x] = image[ptrdiff_t(y) * stride + x * channels + c];
      blur_plane8_reference(plane.data(), width, height, width, radius, passes);
      for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x)
          image[ptrdiff_t(y) * stride + x * channels + c] = plane[size_t(y) * width + x];
    }
    return;
  }
  const int32_t n = width * channels;
  std::vector<uint8_t> scratch(size_t(n) * size_t(height));
  uint8_t* a = image;
  uint8_t* b = scratch.data();
  int32_t a_stride = stride, b_stride = n;
  const ShortDivide div(2 * radius + 1);
  for (int32_t p = 0; p < passes; ++p) {
    for_each_band(height, int64_t(n) * 3, [&](int32_t first, int32_t end) {
      if (div.ok) short_rows(a, width, a_stride, channels, radius, div, first, end);
      else interleaved_rows(a, width, a_stride, channels, radius, first, end);
    });
    for_each_band(height, int64_t(n) * 2, [&](int32_t first, int32_t end) {
      if (div.ok) short_columns(a, a_stride, b, b_stride, n, height, radius, div, first, end);
      else interleaved_columns(a, a_stride, b, b_stride, n, height, radius, first, end);
    });
    std::swap(a, b);
    std::swap(a_stride, b_stride);
  }
  if (a != image)
    for (int32_t y = 0; y < height; ++y)
      std::memcpy(image + ptrdiff_t(y) * stride, a + ptrdiff_t(y) * a_stride, size_t(n));
}

void blur_plane8(uint8_t* plane, int32_t width, int32_t height, int32_t stride, int32_t radius, int32_t passes) {
  blur_plane(plane, width, height, stride, radius, passes);
}
void blur_plane16(uint16_t* plane, int32_t width, int32_t height, int32_t stride, int32_t radius, int32_t passes) {
  blur_plane(plane, width, height, stride, radius, passes);
}

int32_t box_radius_for_sigma(double sigma) {
  if (!(sigma > 0.0)) return 0;
  const double r = (std::sqrt(1.0 + 4.0 * sigma * sigma) - 1.0) / 2.0;
  return r >= 1e6 ? 1000000 : static_cast<int32_t>(std::lround(r));
}

void gaussian_blur_plane8(const uint8_t* src, int32_t src_stride, uint8_t* dst, int32_t dst_stride, int32_t width,
                          int32_t height, double sigma) {
  if (!src || !dst || width <= 0 || height <= 0) return;
  for (int32_t y = 0; y < height; ++y) {
    std::memcpy(dst + ptrdiff_t(y) * dst_stride, src + ptrdiff_t(y) * src_stride, size_t(width));
  }
  // A radius past the plane's size blurs no further than the plane's extent does.
  const int32_t radius = std::min(box_radius_for_sigma(sigma), std::max(width, height));
  blur_plane8(dst, width, height, dst_stride, radius, 3);
}

}  // namespace cvl::imaging
