// 25 and 26: every channel replaced by its largest (or smallest) value in a square
// around the pixel. Value 3 is the square's reach plus one: 1 leaves the picture,
// 2 looks one pixel each way. Separable, and each line runs in constant time per pixel
// whatever the size (running extremes over blocks of the window's width: a window
// is the tail of one block and the head of the next). The extremes are exact, so
// the passes are free to walk the picture a whole row (or a strip of one) at a
// time: along the rows pixel by pixel with all four channels together, and down
// the columns over strips of a row, every step a run of bytes.
#include "imagescript/effect_runners.h"
#include "imaging/parallel_bands.h"

namespace cvl::imagescript {
namespace {

template <bool kMax>
uint8_t pick(uint8_t a, uint8_t b) {
  return kMax ? std::max(a, b) : std::min(a, b);
}

template <bool kMax>
void pick_into(uint8_t* out, const uint8_t* a, const uint8_t* b, size_t bytes) {
  for (size_t i = 0; i < bytes; ++i) out[i] = pick<kMax>(a[i], b[i]);
}

// Output units 0..n - 1 of one line, unit i the extreme over padded units i..i + 2r,
// where unit(j) is the padded unit j (`bytes` bytes each) and out(i) where unit i
// goes. `tail` and `head` hold a block (2r + 1 units) each.
template <bool kMax, class Unit, class Out>
void extremes_along(int32_t n, int32_t r, size_t bytes, Unit unit, Out out, uint8_t* tail, uint8_t* head) {
  const int32_t k = 2 * r + 1, padded = n + 2 * r;
  for (int32_t b0 = 0; b0 < n; b0 += k) {
    // The block's tails: tail[j] spans units b0 + j .. b0 + k - 1.
    const int32_t block = std::min(k, padded - b0);
    std::copy_n(unit(b0 + block - 1), bytes, tail + size_t(block - 1) * bytes);
    for (int32_t j = block - 2; j >= 0; --j)
      pick_into<kMax>(tail + size_t(j) * bytes, tail + size_t(j + 1) * bytes, unit(b0 + j), bytes);
    // The next block's heads: head[j] spans units b0 + k .. b0 + k + j.
    const int32_t ends = std::min(n - b0, k);  // outputs of this block
    const int32_t heads = std::min(ends - 1, padded - b0 - k);
    if (heads > 0) {
      std::copy_n(unit(b0 + k), bytes, head);
      for (int32_t j = 1; j < heads; ++j)
        pick_into<kMax>(head + size_t(j) * bytes, head + size_t(j - 1) * bytes, unit(b0 + k + j), bytes);
    }
    // Output b0 + j spans units b0 + j .. b0 + j + 2r: the tail from j and, past
    // the block's end, the next block's head up to j - 1.
    std::copy_n(tail, bytes, out(b0));
    for (int32_t j = 1; j < ends; ++j)
      pick_into<kMax>(out(b0 + j), tail + size_t(j) * bytes, head + size_t(j - 1) * bytes, bytes);
  }
}

template <bool kMax>
bool run_rank(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  const int32_t size = v(3, 1);
  if (size < 1) return false;
  const int32_t r = std::min(size - 1, std::max(w, h));
  if (r == 0) return true;
  const size_t k = size_t(2 * r + 1), row_bytes = size_t(w) * 4;
  std::vector<uint8_t> across(row_bytes * size_t(h));
  // Along the rows into `across`, a pixel (four channels) per unit.
  imaging::for_each_band(h, int64_t(w) * 12, [&](int first, int end) {
    std::vector<uint8_t> tail(k * 4), head(k * 4);
    for (int32_t y = first; y < end; ++y) {
      const uint8_t* row = rgba + size_t(y) * row_bytes;
      uint8_t* out = across.data() + size_t(y) * row_bytes;
      extremes_along<kMax>(
          w, r, 4, [&](int32_t j) { return row + size_t(std::clamp(j - r, 0, w - 1)) * 4; },
          [&](int32_t i) { return out + size_t(i) * 4; }, tail.data(), head.data());
    }
  });
  // Down the columns back into the picture, a strip of a row per unit; each band
  // runs its own rows' windows.
  constexpr size_t kStrip = 1024;
  imaging::for_each_band(h, int64_t(w) * 12, [&](int first, int end) {
    std::vector<uint8_t> tail(k * kStrip), head(k * kStrip);
    for (size_t x0 = 0; x0 < row_bytes; x0 += kStrip) {
      const size_t bytes = std::min(kStrip, row_bytes - x0);
      extremes_along<kMax>(
          end - first, r, bytes,
          [&](int32_t j) { return across.data() + size_t(std::clamp(first + j - r, 0, h - 1)) * row_bytes + x0; },
          [&](int32_t i) { return rgba + size_t(first + i) * row_bytes + x0; }, tail.data(), head.data());
    }
  });
  return true;
}

}  // namespace

bool run_maximum(const Values& v, uint8_t* rgba, int32_t w, int32_t h) { return run_rank<true>(v, rgba, w, h); }
bool run_minimum(const Values& v, uint8_t* rgba, int32_t w, int32_t h) { return run_rank<false>(v, rgba, w, h); }

}  // namespace cvl::imagescript
