// What the window extremes and their plain twin share: running extremes over a
// line by prefix and suffix blocks.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "imaging/channel_mask.h"
#include "imaging/filters/box_blur.h"
#include "imaging/image_view.h"

namespace cvl::imaging::detail {

// The running extreme of windows of k = 2r + 1 consecutive units over a line of
// n units, each unit `len` contiguous bytes (a pixel along a row, a strip of a
// row down the columns). unit(j) gives unit j of the line for j in -r .. n - 1 + r
// (the caller repeats the border); out(i) receives the extreme of units
// i - r .. i + r. Blocks of k units get prefix extremes g and suffix extremes
// h; the window starting at j is op(h[j], g[j + k - 1]).
template <class Op, class Unit, class Out>
void van_herk(int32_t n, int32_t r, size_t len, Unit unit, Out out, std::vector<uint8_t>& g, std::vector<uint8_t>& h,
              Op op) {
  const int32_t k = 2 * r + 1, padded = n + 2 * r;
  g.resize(size_t(padded) * len);
  h.resize(size_t(padded) * len);
  for (int32_t j = 0; j < padded; ++j) {
    const uint8_t* u = unit(j - r);
    uint8_t* gj = g.data() + size_t(j) * len;
    if (j % k == 0) {
      std::copy_n(u, len, gj);
    } else {
      const uint8_t* prev = gj - len;
      for (size_t i = 0; i < len; ++i) gj[i] = op(prev[i], u[i]);
    }
  }
  for (int32_t j = padded - 1; j >= 0; --j) {
    const uint8_t* u = unit(j - r);
    uint8_t* hj = h.data() + size_t(j) * len;
    if (j % k == k - 1 || j == padded - 1) {
      std::copy_n(u, len, hj);
    } else {
      const uint8_t* next = hj + len;
      for (size_t i = 0; i < len; ++i) hj[i] = op(next[i], u[i]);
    }
  }
  for (int32_t j = 0; j < n; ++j) {
    const uint8_t* a = h.data() + size_t(j) * len;
    const uint8_t* b = g.data() + size_t(j + k - 1) * len;
    uint8_t* o = out(j);
    for (size_t i = 0; i < len; ++i) o[i] = op(a[i], b[i]);
  }
}

// What both filters do first, once the shapes are checked: the radius held to the
// widest box, a radius of 0 copied, and the scratch image for the rows made.
// False when nothing is left to do.
inline bool start_extremes(const ImageView& src, const ImageView& dst, int32_t& radius, Image& scratch) {
  radius = std::min(radius, kMaxBoxRadius);
  if (radius == 0) {
    copy_view(src, dst);
    return false;
  }
  scratch = Image{std::vector<uint8_t>(size_t(src.width) * src.height * src.channels), src.width, src.height,
                  src.channels};
  return true;
}

// The extremes of every (2r + 1)-square window of src into dst: rows by running
// extremes into `mid` (src's shape), then mid's columns in strips of bytes.
template <class Op>
void running_extremes(const ImageView& src, const ImageView& mid, const ImageView& dst, int32_t radius, Op op) {
  const int32_t w = src.width, h = src.height, ch = src.channels;
  std::vector<uint8_t> g, hh;
  for (int32_t y = 0; y < h; ++y) {
    const uint8_t* row = src.row(y);
    uint8_t* out = mid.row(y);
    van_herk(
        w, radius, size_t(ch), [&](int32_t x) { return row + size_t(std::clamp(x, 0, w - 1)) * ch; },
        [&](int32_t x) { return out + size_t(x) * ch; }, g, hh, op);
  }
  constexpr size_t kStrip = 1024;
  const size_t row_bytes = size_t(w) * ch;
  for (size_t x0 = 0; x0 < row_bytes; x0 += kStrip) {
    const size_t len = std::min(kStrip, row_bytes - x0);
    van_herk(
        h, radius, len, [&](int32_t y) { return mid.row(std::clamp(y, 0, h - 1)) + x0; },
        [&](int32_t y) { return dst.row(y) + x0; }, g, hh, op);
  }
}

}  // namespace cvl::imaging::detail
