#include "imaging/geometry/resample.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace cvl::imaging {
namespace {

template <class T>
T* row_of(T* data, int32_t stride_bytes, int32_t y) {
  return reinterpret_cast<T*>(reinterpret_cast<uint8_t*>(data) + static_cast<ptrdiff_t>(y) * stride_bytes);
}

// One axis of a bilinear resize: the two source indices and the 16-bit weight of the second.
struct Tap {
  int32_t i0, i1;
  uint32_t w1;
};

std::vector<Tap> bilinear_taps(int32_t src, int32_t dst) {
  std::vector<Tap> taps(static_cast<size_t>(dst));
  const double scale = double(src) / dst;
  for (int32_t i = 0; i < dst; ++i) {
    double s = (i + 0.5) * scale - 0.5;
    s = std::clamp(s, 0.0, double(src - 1));
    const int32_t i0 = static_cast<int32_t>(s);
    const int32_t i1 = std::min(i0 + 1, src - 1);
    taps[size_t(i)] = {i0, i1, static_cast<uint32_t>((s - i0) * 256.0 + 0.5)};
  }
  return taps;
}

template <class View>
bool usable(const View& src, const View& dst) {
  return src.data && dst.data && src.width > 0 && src.height > 0 && dst.width > 0 && dst.height > 0 &&
         src.channels == dst.channels && src.channels > 0;
}

template <class T, class View>
void resize_bilinear_t(const View& src, const View& dst) {
  if (!usable(src, dst)) return;
  const int32_t ch = src.channels;
  const auto xs = bilinear_taps(src.width, dst.width);
  const auto ys = bilinear_taps(src.height, dst.height);
  for (int32_t y = 0; y < dst.height; ++y) {
    const Tap ty = ys[size_t(y)];
    const T* r0 = row_of(src.data, src.stride, ty.i0);
    const T* r1 = row_of(src.data, src.stride, ty.i1);
    T* out = row_of(dst.data, dst.stride, y);
    const uint64_t wy1 = ty.w1, wy0 = 256 - wy1;
    for (int32_t x = 0; x < dst.width; ++x) {
      const Tap tx = xs[size_t(x)];
      const uint64_t wx1 = tx.w1, wx0 = 256 - wx1;
      const T* a = r0 + size_t(tx.i0) * ch;
      const T* b = r0 + size_t(tx.i1) * ch;
      const T* c = r1 + size_t(tx.i0) * ch;
      const T* d = r1 + size_t(tx.i1) * ch;
      for (int32_t k = 0; k < ch; ++k) {
        const uint64_t top = a[k] * wx0 + b[k] * wx1, bottom = c[k] * wx0 + d[k] * wx1;
        out[size_t(x) * ch + size_t(k)] = static_cast<T>((top * wy0 + bottom * wy1 + 32768) >> 16);
      }
    }
  }
}

// The source span [first, last) under each destination pixel, never empty.
std::vector<std::pair<int32_t, int32_t>> area_spans(int32_t src, int32_t dst) {
  std::vector<std::pair<int32_t, int32_t>> spans(static_cast<size_t>(dst));
  for (int32_t i = 0; i < dst; ++i) {
    int32_t a = static_cast<int32_t>(int64_t(i) * src / dst);
    int32_t b = static_cast<int32_t>(int64_t(i + 1) * src / dst);
    a = std::min(a, src - 1);
    spans[size_t(i)] = {a, std::max(b, a + 1)};
  }
  return spans;
}

template <class T, class View>
void decimate_area_t(const View& src, const View& dst) {
  if (!usable(src, dst)) return;
  const int32_t ch = src.channels;
  const auto xs = area_spans(src.width, dst.width);
  const auto ys = area_spans(src.height, dst.height);
  std::vector<uint64_t> column_sums(size_t(src.width) * ch);
  for (int32_t y = 0; y < dst.height; ++y) {
    const auto [y0, y1] = ys[size_t(y)];
    std::fill(column_sums.begin(), column_sums.end(), 0);
    for (int32_t sy = y0; sy < y1; ++sy) {
      const T* r = row_of(src.data, src.stride, sy);
      for (size_t i = 0; i < column_sums.size(); ++i) column_sums[i] += r[i];
    }
    T* out = row_of(dst.data, dst.stride, y);
    for (int32_t x = 0; x < dst.width; ++x) {
      const auto [x0, x1] = xs[size_t(x)];
      const uint64_t count = uint64_t(x1 - x0) * uint64_t(y1 - y0);
      for (int32_t k = 0; k < ch; ++k) {
        uint64_t sum = 0;
        for (int32_t sx = x0; sx < x1; ++sx) sum += column_sums[size_t(sx) * ch + size_t(k)];
        out[size_t(x) * ch + size_t(k)] = static_cast<T>((sum + count / 2) / count);
      }
    }
  }
}

}  // namespace

void resize_bilinear(const ImageView& src, const ImageView& dst) { resize_bilinear_t<uint8_t>(src, dst); }
void resize_bilinear(const ImageView16& src, const ImageView16& dst) { resize_bilinear_t<uint16_t>(src, dst); }
void decimate_area(const ImageView& src, const ImageView& dst) { decimate_area_t<uint8_t>(src, dst); }
void decimate_area(const ImageView16& src, const ImageView16& dst) { decimate_area_t<uint16_t>(src, dst); }

void to_grey8(const ImageView& src, const ImageView& dst) {
  if (!src.data || !dst.data || dst.channels != 1 || src.width != dst.width || src.height != dst.height) return;
  for (int32_t y = 0; y < src.height; ++y) {
    const uint8_t* s = src.row(y);
    uint8_t* d = dst.row(y);
    if (src.channels == 1) {
      std::memcpy(d, s, size_t(src.width));
      continue;
    }
    if (src.channels < 3) return;
    for (int32_t x = 0; x < src.width; ++x, s += src.channels)
      d[x] = static_cast<uint8_t>((77u * s[0] + 150u * s[1] + 29u * s[2] + 128u) >> 8);
  }
}

}  // namespace cvl::imaging
