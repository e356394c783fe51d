#include "imaging/filters/median_filter.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "imaging/channel_mask.h"
#include "imaging/parallel_bands.h"

namespace cvl::imaging {
namespace {

// Counts of the values at or below each of 16 levels (a cumulative histogram),
// 16 bits each: a window holds at most 255^2 values. Kept cumulative so that
// finding the level a rank falls in is one compare over all 16 lanes rather
// than a running sum with a branch per level.
struct alignas(32) Steps {
  uint16_t n[16];
};

// kStep[k] counts one value at level k: 1 in lanes k..15.
struct StepTable {
  Steps at[16];
  constexpr StepTable() : at{} {
    for (int k = 0; k < 16; ++k)
      for (int i = 0; i < 16; ++i) at[k].n[i] = uint16_t(i >= k);
  }
};
constexpr StepTable kStep;

// Simple loops over 16 lanes, which the compiler turns into vector adds.
inline void add(Steps& into, const Steps& h) {
  for (int i = 0; i < 16; ++i) into.n[i] = uint16_t(into.n[i] + h.n[i]);
}
inline void sub(Steps& into, const Steps& h) {
  for (int i = 0; i < 16; ++i) into.n[i] = uint16_t(into.n[i] - h.n[i]);
}
inline void add_sub(Steps& into, const Steps& plus, const Steps& minus) {
  for (int i = 0; i < 16; ++i) into.n[i] = uint16_t(into.n[i] + plus.n[i] - minus.n[i]);
}

// How many lanes hold at most `limit`. The counts rise with the lane, so those
// lanes are a prefix and their number is the level the rank falls in.
inline int32_t lanes_at_most(const Steps& h, uint16_t limit) {
#if defined(__SSE2__)
  const __m128i l = _mm_set1_epi16(int16_t(limit)), zero = _mm_setzero_si128();
  const __m128i lo = _mm_cmpeq_epi16(_mm_subs_epu16(_mm_load_si128(reinterpret_cast<const __m128i*>(h.n)), l), zero);
  const __m128i hi =
      _mm_cmpeq_epi16(_mm_subs_epu16(_mm_load_si128(reinterpret_cast<const __m128i*>(h.n + 8)), l), zero);
  return std::countr_one(uint32_t(_mm_movemask_epi8(_mm_packs_epi16(lo, hi))));
#else
  int32_t k = 0;
  for (int i = 0; i < 16; ++i) k += h.n[i] <= limit;
  return k;
#endif
}

// One column's histogram: 16 coarse levels (value / 16), and each coarse
// level's 16 fine ones, all cumulative.
struct Column {
  Steps coarse;
  Steps fine[16];
};

inline void count_in(Column& col, int32_t v) {
  add(col.coarse, kStep.at[v >> 4]);
  add(col.fine[v >> 4], kStep.at[v & 15]);
}
inline void count_out(Column& col, int32_t v) {
  sub(col.coarse, kStep.at[v >> 4]);
  sub(col.fine[v >> 4], kStep.at[v & 15]);
}

// Output columns [x0, x1) of rows [first, end) of one channel. The columns
// are worked in strips narrow enough for their histograms to stay in cache;
// `cols` holds those of columns [lo, hi), which the windows of the strip reach
// (the border repeated). The column histograms start from the band's first
// window and are carried down from there, so a band gives the rows the whole
// picture would.
//
// The window keeps only its coarse histogram up to date for every pixel. Its
// fine histograms are brought up to date one coarse level at a time, when the
// median falls in that level: a level last brought up a few pixels back slides
// over the columns passed since, one long out of date is summed afresh. Along
// a row the median mostly stays in one or two levels, so most pixels slide one
// level's 16 lanes instead of all 256.
void median_strip(const ImageView& in, const ImageView& out, int32_t channel, int32_t r, int32_t first, int32_t end,
                  int32_t x0, int32_t x1, std::vector<Column>& cols) {
  const int32_t w = in.width, h = in.height, ch = in.channels;
  const int32_t lo = std::max(x0 - r, 0), hi = std::min(x1 + r, w);
  const auto col = [&](int32_t x) -> Column& { return cols[size_t(std::clamp(x, 0, w - 1) - lo)]; };
  std::memset(static_cast<void*>(cols.data()), 0, size_t(hi - lo) * sizeof(Column));
  for (int32_t y = first - r; y <= first + r; ++y) {
    const uint8_t* row = in.row(std::clamp(y, 0, h - 1)) + channel;
    for (int32_t x = lo; x < hi; ++x) count_in(cols[size_t(x - lo)], row[size_t(x) * ch]);
  }
  const uint32_t rank = (uint32_t(2 * r + 1) * uint32_t(2 * r + 1)) / 2;
  Steps coarse;
  Steps fine[16];
  int32_t stamp[16];
  for (int32_t y = first; y < end; ++y) {
    if (y > first) {
      const uint8_t* gone_row = in.row(std::max(y - r - 1, 0)) + channel;
      const uint8_t* come_row = in.row(std::min(y + r, h - 1)) + channel;
      for (int32_t x = lo; x < hi; ++x) {
        const int32_t gone = gone_row[size_t(x) * ch], come = come_row[size_t(x) * ch];
        if (gone == come) continue;
        Column& c = cols[size_t(x - lo)];
        count_out(c, gone);
        count_in(c, come);
      }
    }
    std::memset(&coarse, 0, sizeof coarse);
    for (int32_t x = x0 - r; x <= x0 + r; ++x) add(coarse, col(x).coarse);
    // No fine level is up to date at the strip's first pixel.
    std::fill(std::begin(stamp), std::end(stamp), x0 - 2 * r - 2);
    uint8_t* d = out.row(y) + channel;
    for (int32_t x = x0; x < x1; ++x) {
      if (x > x0) add_sub(coarse, col(x + r).coarse, col(x - r - 1).coarse);
      const int32_t level = lanes_at_most(coarse, uint16_t(rank));
      const uint32_t below = level > 0 ? coarse.n[level - 1] : 0;
      Steps& f = fine[level];
      const int32_t behind = x - stamp[level];
      if (behind > r) {
        f = col(x - r).fine[level];
        for (int32_t k = x - r + 1; k <= x + r; ++k) add(f, col(k).fine[level]);
      } else {
        for (int32_t k = stamp[level] + 1; k <= x; ++k) add_sub(f, col(k + r).fine[level], col(k - r - 1).fine[level]);
      }
      stamp[level] = x;
      d[size_t(x) * ch] = uint8_t(level * 16 + lanes_at_most(f, uint16_t(rank - below)));
    }
  }
}

// The strip width: wide enough that the 2 radius columns each strip repeats of
// its neighbours' cost little, narrow enough that its histograms stay in cache.
int32_t strip_width(int32_t r) { return std::max(192, 4 * r); }

void median_channel(const ImageView& in, const ImageView& out, int32_t channel, int32_t r, int32_t first, int32_t end,
                    std::vector<Column>& cols) {
  const int32_t step = strip_width(r);
  for (int32_t x0 = 0; x0 < in.width; x0 += step)
    median_strip(in, out, channel, r, first, end, x0, std::min(x0 + step, in.width), cols);
}

inline void order(uint8_t& a, uint8_t& b) {
  const uint8_t lo = std::min(a, b), hi = std::max(a, b);
  a = lo, b = hi;
}

// The median of nine by the classic 19-exchange network.
inline uint8_t median9(uint8_t p[9]) {
  order(p[1], p[2]), order(p[4], p[5]), order(p[7], p[8]);
  order(p[0], p[1]), order(p[3], p[4]), order(p[6], p[7]);
  order(p[1], p[2]), order(p[4], p[5]), order(p[7], p[8]);
  order(p[0], p[3]), order(p[5], p[8]), order(p[4], p[7]);
  order(p[3], p[6]), order(p[1], p[4]), order(p[2], p[5]);
  order(p[4], p[7]), order(p[4], p[2]), order(p[6], p[4]);
  order(p[4], p[2]);
  return p[4];
}

// Radius 1 is common enough (and the histograms heavy enough for it) to get
// its own path: the network over every byte of a row at once, which the compiler
// turns into byte-wide vector minimum and maximum.
void median3x3(const ImageView& in, const ImageView& out, uint32_t channel_mask, int32_t first, int32_t end) {
  const int32_t w = in.width, h = in.height, ch = in.channels;
  const size_t n = size_t(w) * ch;
  std::vector<uint8_t> row(n);
  for (int32_t y = first; y < end; ++y) {
    const uint8_t* a = in.row(std::max(y - 1, 0));
    const uint8_t* b = in.row(y);
    const uint8_t* c = in.row(std::min(y + 1, h - 1));
    for (size_t i = 0; i < n; ++i) {
      // Left and right neighbours, the border repeated.
      const size_t l = i >= size_t(ch) ? i - ch : i, r = i + ch < n ? i + ch : i;
      uint8_t p[9] = {a[l], a[i], a[r], b[l], b[i], b[r], c[l], c[i], c[r]};
      row[i] = median9(p);
    }
    uint8_t* d = out.row(y);
    for (size_t i = 0; i < n; ++i)
      if (channel_mask >> (i % size_t(ch)) & 1) d[i] = row[i];
  }
}

}  // namespace

bool median_filter(const ImageView& src, const ImageView& dst, int32_t radius, uint32_t channel_mask) {
  if (!same_shape(src, dst) || radius < 0) return false;
  radius = std::min(radius, kMaxMedianRadius);
  // Rows are read up to `radius` below the one written, so filtering in place
  // reads from a copy.
  Image copy;
  const ImageView in = unaliased_source(src, dst, copy);
  copy_view(in, dst);
  if (radius == 0) return true;
  // Every row is worked out from the source alone, so rows run in bands.
  if (radius == 1) {
    for_each_band(src.height, int64_t(src.width) * src.channels * 20,
                  [&](int32_t first, int32_t end) { median3x3(in, dst, channel_mask, first, end); });
    return true;
  }
  for_each_band(src.height, int64_t(src.width) * src.channels * 600, [&](int32_t first, int32_t end) {
    std::vector<Column> cols(size_t(std::min(strip_width(radius) + 2 * radius, src.width)));
    for (int32_t c = 0; c < src.channels; ++c)
      if (channel_mask >> c & 1) median_channel(in, dst, c, radius, first, end, cols);
  });
  return true;
}

}  // namespace cvl::imaging
