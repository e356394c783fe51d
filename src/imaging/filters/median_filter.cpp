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

// Counts of the values at or below each of 16 levels (a cumulative histogram).
// Kept cumulative so that finding the level a rank falls in is one compare over
// all 16 lanes rather than a running sum with a branch per level. A window of
// radius up to 7 holds at most 225 values and counts in bytes, so that every
// 16-lane step is one vector instruction; larger windows count in 16 bits (at
// most 255^2 values).
template <typename T>
struct alignas(16 * sizeof(T)) Steps {
  T n[16];
};

// kStep<T>.at[k] counts one value at level k: 1 in lanes k..15.
template <typename T>
struct StepTable {
  Steps<T> at[16];
  constexpr StepTable() : at{} {
    for (int k = 0; k < 16; ++k)
      for (int i = 0; i < 16; ++i) at[k].n[i] = T(i >= k);
  }
};
template <typename T>
constexpr StepTable<T> kStep;

// dst = a + b - c over 16 lanes. Written as whole-register loads and stores:
// left to the compiler, byte lanes that may alias get gathered a byte at a
// time and then stall on the store of the gathered halves.
template <typename T>
inline void add_sub_into(Steps<T>& dst, const Steps<T>& a, const Steps<T>& b, const Steps<T>& c) {
#if defined(__SSE2__)
  constexpr int kRegisters = int(sizeof(T));
  __m128i sum[kRegisters];
  for (int k = 0; k < kRegisters; ++k) {
    const __m128i x = _mm_load_si128(reinterpret_cast<const __m128i*>(a.n) + k);
    const __m128i y = _mm_load_si128(reinterpret_cast<const __m128i*>(b.n) + k);
    const __m128i z = _mm_load_si128(reinterpret_cast<const __m128i*>(c.n) + k);
    sum[k] = sizeof(T) == 1 ? _mm_sub_epi8(_mm_add_epi8(x, y), z) : _mm_sub_epi16(_mm_add_epi16(x, y), z);
  }
  for (int k = 0; k < kRegisters; ++k) _mm_store_si128(reinterpret_cast<__m128i*>(dst.n) + k, sum[k]);
#else
  Steps<T> sum;
  for (int i = 0; i < 16; ++i) sum.n[i] = T(a.n[i] + b.n[i] - c.n[i]);
  dst = sum;
#endif
}

template <typename T>
constexpr Steps<T> kNone{};

template <typename T>
inline void add(Steps<T>& into, const Steps<T>& h) {
  add_sub_into(into, into, h, kNone<T>);
}
template <typename T>
inline void sub(Steps<T>& into, const Steps<T>& h) {
  add_sub_into(into, into, kNone<T>, h);
}
template <typename T>
inline void add_sub(Steps<T>& into, const Steps<T>& plus, const Steps<T>& minus) {
  add_sub_into(into, into, plus, minus);
}

// How many lanes hold at most `limit`. The counts rise with the lane, so those
// lanes are a prefix and their number is the level the rank falls in.
inline int32_t lanes_at_most(const Steps<uint8_t>& h, uint32_t limit) {
#if defined(__SSE2__)
  const __m128i l = _mm_set1_epi8(char(limit));
  const __m128i v = _mm_load_si128(reinterpret_cast<const __m128i*>(h.n));
  return std::countr_one(uint32_t(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_subs_epu8(v, l), _mm_setzero_si128()))));
#else
  int32_t k = 0;
  for (int i = 0; i < 16; ++i) k += h.n[i] <= limit;
  return k;
#endif
}
inline int32_t lanes_at_most(const Steps<uint16_t>& h, uint32_t limit) {
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

// The column histograms of one strip of columns: 16 coarse levels (value / 16)
// each, and each coarse level's 16 fine ones, all cumulative. The fine
// histograms are stored level by level, so that sliding one level's window
// along a row reads memory in order. Column t of a strip starting at x0 is
// picture column x0 - radius + t, the border repeated: the windows then read
// their columns without clamping.
template <typename T>
struct Strip {
  int32_t capacity = 0;
  std::vector<Steps<T>> coarse, fine;
  explicit Strip(int32_t columns) : capacity(columns), coarse(size_t(columns)), fine(size_t(columns) * 16) {}
  void clear() {
    std::memset(static_cast<void*>(coarse.data()), 0, coarse.size() * sizeof(Steps<T>));
    std::memset(static_cast<void*>(fine.data()), 0, fine.size() * sizeof(Steps<T>));
  }
  Steps<T>& fine_at(int32_t level, int32_t t) { return fine[size_t(level) * size_t(capacity) + size_t(t)]; }
  void count_in(int32_t t, int32_t v) {
    add(coarse[size_t(t)], kStep<T>.at[v >> 4]);
    add(fine_at(v >> 4, t), kStep<T>.at[v & 15]);
  }
  // One value leaves column t and another comes in. Without a branch on
  // whether they share a coarse level: in grainy pictures that is a coin toss.
  void replace(int32_t t, int32_t gone, int32_t come) {
    add_sub(coarse[size_t(t)], kStep<T>.at[come >> 4], kStep<T>.at[gone >> 4]);
    add(fine_at(come >> 4, t), kStep<T>.at[come & 15]);
    sub(fine_at(gone >> 4, t), kStep<T>.at[gone & 15]);
  }
};

// The medians of one row of one channel in the strip starting at x0: `n`
// outputs written `step` bytes apart.
//
// The window keeps only its coarse histogram up to date for every pixel. Its
// fine histograms are brought up to date one coarse level at a time, when the
// median falls in that level: a level last brought up a few pixels back slides
// over the columns passed since, one long out of date is summed afresh. Along
// a row the median mostly stays in one or two levels, so most pixels slide one
// level's 16 lanes instead of all 256.
template <typename T>
void median_row(Strip<T>& strip, int32_t r, int32_t n, uint8_t* d, int32_t step) {
  const int32_t span = 2 * r;
  const uint32_t rank = (uint32_t(span + 1) * uint32_t(span + 1)) / 2;
  const Steps<T>* coarse_col = strip.coarse.data();
  Steps<T> coarse = coarse_col[0];
  for (int32_t t = 1; t <= span; ++t) add(coarse, coarse_col[t]);
  Steps<T> fine[16];
  int32_t stamp[16];
  // No fine level is up to date at the strip's first pixel.
  std::fill(std::begin(stamp), std::end(stamp), -span - 2);
  // The level the last pixel used is kept apart, in registers, and goes back
  // to `fine` when the median leaves it.
  Steps<T> kept{};
  int32_t kept_level = -1;
  for (int32_t i = 0; i < n; ++i) {
    if (i > 0) add_sub(coarse, coarse_col[i + span], coarse_col[i - 1]);
    const int32_t level = lanes_at_most(coarse, rank);
    const uint32_t below = level > 0 ? coarse.n[level - 1] : 0;
    const Steps<T>* fine_col = &strip.fine_at(level, 0);
    if (level == kept_level) {
      add_sub(kept, fine_col[i + span], fine_col[i - 1]);
    } else {
      if (kept_level >= 0) fine[kept_level] = kept, stamp[kept_level] = i - 1;
      kept = fine[level];
      if (i - stamp[level] > r) {
        kept = fine_col[i];
        for (int32_t t = i + 1; t <= i + span; ++t) add(kept, fine_col[t]);
      } else {
        for (int32_t k = stamp[level] + 1; k <= i; ++k) add_sub(kept, fine_col[k + span], fine_col[k - 1]);
      }
      kept_level = level;
    }
    d[size_t(i) * step] = uint8_t(level * 16 + lanes_at_most(kept, rank - below));
  }
}

// Output columns [x0, x1) of rows [first, end) of the channels listed, each
// with its strip of column histograms. The column histograms start from the
// band's first window and are carried down from there, so a band gives the
// rows the whole picture would. All channels are carried down together so
// that each row of the source is read from memory once.
// `kCount`, when not 0, is `any_count` known to the compiler, so that the
// channels of a pixel are carried down unrolled.
template <typename T, int kCount>
void median_strip(const ImageView& in, const ImageView& out, const int32_t* channels, int32_t any_count, int32_t r,
                  int32_t first, int32_t end, int32_t x0, int32_t x1, Strip<T>* strips, int32_t* offset) {
  const int32_t count = kCount ? kCount : any_count;
  const int32_t w = in.width, h = in.height, ch = in.channels;
  const int32_t n = x1 - x0 + 2 * r;
  for (int32_t t = 0; t < n; ++t) offset[t] = std::clamp(x0 - r + t, 0, w - 1) * ch;
  for (int32_t k = 0; k < count; ++k) strips[k].clear();
  for (int32_t y = first - r; y <= first + r; ++y) {
    const uint8_t* row = in.row(std::clamp(y, 0, h - 1));
    for (int32_t k = 0; k < count; ++k)
      for (int32_t t = 0; t < n; ++t) strips[k].count_in(t, row[offset[t] + channels[k]]);
  }
  for (int32_t y = first; y < end; ++y) {
    if (y > first) {
      const uint8_t* gone_row = in.row(std::max(y - r - 1, 0));
      const uint8_t* come_row = in.row(std::min(y + r, h - 1));
      for (int32_t t = 0; t < n; ++t)
        for (int32_t k = 0; k < count; ++k) {
          const int32_t gone = gone_row[offset[t] + channels[k]], come = come_row[offset[t] + channels[k]];
          if (gone != come) strips[k].replace(t, gone, come);
        }
    }
    for (int32_t k = 0; k < count; ++k)
      median_row(strips[k], r, x1 - x0, out.row(y) + size_t(x0) * ch + channels[k], ch);
  }
}

// The largest radius whose window count, (2 radius + 1)^2, fits a byte.
constexpr int32_t kByteCountRadius = 7;

// The strip width: wide enough that the 2 radius columns each strip repeats of
// its neighbours' cost little, narrow enough that its histograms stay in cache.
int32_t strip_width(int32_t r) { return std::max(384, 4 * r); }

template <typename T>
void median_channels(const ImageView& in, const ImageView& out, uint32_t channel_mask, int32_t r, int32_t first,
                     int32_t end) {
  std::vector<int32_t> channels;
  for (int32_t c = 0; c < in.channels && c < 32; ++c)
    if (channel_mask >> c & 1) channels.push_back(c);
  if (channels.empty()) return;
  const int32_t count = int32_t(channels.size());
  const int32_t step = strip_width(r), columns = std::min(step, in.width) + 2 * r;
  std::vector<Strip<T>> strips(size_t(count), Strip<T>{columns});
  std::vector<int32_t> offset(static_cast<size_t>(columns));
  const auto strip = count == 4 ? median_strip<T, 4> : count == 3 ? median_strip<T, 3> : median_strip<T, 0>;
  for (int32_t x0 = 0; x0 < in.width; x0 += step)
    strip(in, out, channels.data(), count, r, first, end, x0, std::min(x0 + step, in.width), strips.data(),
          offset.data());
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
  for_each_band(src.height, int64_t(src.width) * src.channels * 600, [&](int32_t first, int32_t end) {
    if (radius <= kByteCountRadius) median_channels<uint8_t>(in, dst, channel_mask, radius, first, end);
    else median_channels<uint16_t>(in, dst, channel_mask, radius, first, end);
  });
  return true;
}

}  // namespace cvl::imaging
