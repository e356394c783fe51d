// Oil paint with the window's histogram packed: each bin is one 64-bit word
// holding its count and its colour sums in separate fields, so a pixel enters
// or leaves the window with a single add or subtract (a leaving and an entering
// pixel of the same bin with one). Fields never go negative in the final
// state, so the wrap-around of the intermediate words cancels. Rows are
// independent, so bands of rows run on their own threads with their own
// histograms.
#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "imaging/artistic/oil_paint.h"
#include "imaging/parallel_bands.h"

namespace cvl::imaging {
namespace {

struct Brush {
  int32_t radius;
  std::vector<int32_t> half;  // half-widths of rows -radius..radius
  int32_t cells;              // pixels under the whole brush
};

// How a pixel is filed. By brightness with a small brush, one word per bin:
// count in bits 0..9, the three channel sums in 18 bits each (1023 pixels of
// 255 fit). By brightness with a large brush, two words per bin: count and red
// sum, green and blue sums, 32 bits each. Per channel, one word per bin and
// channel: count in bits 0..19, the channel's sum above.
enum class Packing { Narrow, Wide, PerChannel };

constexpr int32_t kNarrowCells = 1023;

template <Packing P>
struct Layout {
  static constexpr int kKeys = P == Packing::PerChannel ? 3 : 1;
  static constexpr int kWords = P == Packing::Wide ? 2 : 1;
};

// The large-brush and per-channel keys file each pixel straight from the
// source. The window histogram of one key: kWords words per bin, and the range of bins
// the window may use (widened on adding, narrowed when the mode is sought).
template <Packing P>
struct Bins {
  std::vector<uint64_t> word;
  int32_t lo = 0, hi = -1;
};

template <Packing P>
uint32_t count_of(const uint64_t* w) {
  if constexpr (P == Packing::Narrow) return uint32_t(w[0] & 0x3FF);
  else if constexpr (P == Packing::Wide) return uint32_t(w[0]);
  else return uint32_t(w[0] & 0xFFFFF);
}

// The mode: the bin of the highest count, the lowest of equals.
template <Packing P>
int32_t mode_of(Bins<P>& h) {
  constexpr int kW = Layout<P>::kWords;
  while (h.lo <= h.hi && count_of<P>(&h.word[size_t(h.lo) * kW]) == 0) ++h.lo;
  while (h.hi >= h.lo && count_of<P>(&h.word[size_t(h.hi) * kW]) == 0) --h.hi;
  int32_t best = h.lo;
  uint32_t most = count_of<P>(&h.word[size_t(best) * kW]);
  for (int32_t b = h.lo + 1; b <= h.hi; ++b) {
    const uint32_t c = count_of<P>(&h.word[size_t(b) * kW]);
    if (c > most) most = c, best = b;
  }
  return best;
}

// The mode over a plain array of `n` counts (a multiple of 8, zero past the bins):
// the lowest bin of the highest count, as mode_of finds it, eight bins a step. The
// window is never empty, so the highest count is at least 1.
int32_t mode_of_counts(const int16_t* counts, int32_t n) {
#if defined(__SSE2__)
  __m128i top = _mm_setzero_si128();
  for (int32_t b = 0; b < n; b += 8) top = _mm_max_epi16(top, _mm_loadu_si128(reinterpret_cast<const __m128i*>(counts + b)));
  top = _mm_max_epi16(top, _mm_shuffle_epi32(top, 0x4E));
  top = _mm_max_epi16(top, _mm_shuffle_epi32(top, 0xB1));
  top = _mm_max_epi16(top, _mm_shufflelo_epi16(top, 0xB1));
  top = _mm_shuffle_epi32(top, 0);
  for (int32_t b = 0; b < n; b += 8) {
    const int mask =
        _mm_movemask_epi8(_mm_cmpeq_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(counts + b)), top));
    if (mask) return b + __builtin_ctz(static_cast<unsigned>(mask)) / 2;
  }
  return 0;
#else
  int32_t best = 0;
  for (int32_t b = 1; b < n; ++b)
    if (counts[b] > counts[best]) best = b;
  return best;
#endif
}

uint8_t rounded_mean(uint64_t sum, uint32_t n) { return uint8_t((sum + n / 2) / n); }

template <Packing P>
void paint_rows(const ImageView& src, const ImageView& dst, const Brush& brush, int32_t levels, int32_t first,
                int32_t end) {
  constexpr int kKeys = Layout<P>::kKeys, kW = Layout<P>::kWords;
  constexpr bool kPerChannel = P == Packing::PerChannel;
  const int32_t w = src.width, h = src.height, radius = brush.radius;
  // Bins by value (per channel) or by the channel total (brightness).
  std::array<uint8_t, 766> bin_of{};
  for (int32_t v = 0; v < 766; ++v)
    bin_of[size_t(v)] = uint8_t((kPerChannel ? std::min(v, 255) : v / 3) * levels / 256);
  std::array<Bins<P>, kKeys> bins;
  for (Bins<P>& b : bins) b.word.assign(size_t(levels) * kW, 0);
  std::vector<const uint8_t*> rows;
  std::vector<int32_t> halves;

  // Files pixel p (sign 1) or takes it out (sign all ones, minus one).
  auto file = [&](const uint8_t* p, uint64_t sign) {
    if constexpr (P == Packing::Wide) {
      const int32_t b = bin_of[size_t(p[0] + p[1] + p[2])];
      uint64_t* at = &bins[0].word[size_t(b) * 2];
      at[0] += sign * (1 | uint64_t(p[0]) << 32);
      at[1] += sign * (uint64_t(p[1]) | uint64_t(p[2]) << 32);
      if (sign == 1) bins[0].lo = std::min(bins[0].lo, b), bins[0].hi = std::max(bins[0].hi, b);
    } else {
      for (int c = 0; c < 3; ++c) {
        const int32_t b = bin_of[p[c]];
        bins[size_t(c)].word[size_t(b)] += sign * (1 | uint64_t(p[c]) << 20);
        if (sign == 1)
          bins[size_t(c)].lo = std::min(bins[size_t(c)].lo, b), bins[size_t(c)].hi = std::max(bins[size_t(c)].hi, b);
      }
    }
  };
  for (int32_t y = first; y < end; ++y) {
    for (Bins<P>& b : bins) std::fill(b.word.begin(), b.word.end(), 0), b.lo = levels, b.hi = -1;
    const int32_t dy0 = std::max(-radius, -y), dy1 = std::min(radius, h - 1 - y);
    rows.clear(), halves.clear();
    for (int32_t dy = dy0; dy <= dy1; ++dy) {
      rows.push_back(src.row(y + dy));
      halves.push_back(brush.half[size_t(dy + radius)]);
    }
    const size_t n = rows.size();
    for (size_t i = 0; i < n; ++i)
      for (int32_t x = 0; x <= std::min(halves[i], w - 1); ++x) file(rows[i] + size_t(x) * 3, 1);
    uint8_t* out = dst.row(y);
    for (int32_t x = 0; x < w; ++x, out += 3) {
      if (x > 0)
        for (size_t i = 0; i < n; ++i) {
          const int32_t leaving = x - 1 - halves[i], entering = x + halves[i];
          if (leaving >= 0) file(rows[i] + size_t(leaving) * 3, ~uint64_t(0));
          if (entering < w) file(rows[i] + size_t(entering) * 3, 1);
        }
      if constexpr (P == Packing::Wide) {
        const uint64_t* v = &bins[0].word[size_t(mode_of(bins[0])) * 2];
        const uint32_t count = uint32_t(v[0]);
        out[0] = rounded_mean(v[0] >> 32, count);
        out[1] = rounded_mean(uint32_t(v[1]), count);
        out[2] = rounded_mean(v[1] >> 32, count);
      } else {
        for (int c = 0; c < 3; ++c) {
          const uint64_t v = bins[size_t(c)].word[size_t(mode_of(bins[size_t(c)]))];
          out[c] = rounded_mean(v >> 20, uint32_t(v & 0xFFFFF));
        }
      }
    }
  }
}

// The brightness key with a small brush, the common case: each source row is
// filed once into a ring of 2 * radius + 1 rows holding every pixel's bin and
// packed word, so a step of the window is a pair of plain loads and one add
// per brush row.
void paint_rows_narrow(const ImageView& src, const ImageView& dst, const Brush& brush, int32_t levels, int32_t first,
                       int32_t end) {
  const int32_t w = src.width, h = src.height, radius = brush.radius, ring = 2 * radius + 1;
  std::array<uint8_t, 766> bin_of{};
  for (int32_t v = 0; v < 766; ++v) bin_of[size_t(v)] = uint8_t(v / 3 * levels / 256);
  std::vector<uint8_t> ring_bins(size_t(ring) * size_t(w));
  std::vector<uint64_t> ring_words(size_t(ring) * size_t(w));
  int32_t next_row = std::max(0, first - radius);
  auto file_row = [&](int32_t sy) {
    const uint8_t* p = src.row(sy);
    uint8_t* b = &ring_bins[size_t(sy % ring) * size_t(w)];
    uint64_t* word = &ring_words[size_t(sy % ring) * size_t(w)];
    for (int32_t x = 0; x < w; ++x, p += 3) {
      b[x] = bin_of[size_t(p[0] + p[1] + p[2])];
      word[x] = 1 | uint64_t(p[0]) << 10 | uint64_t(p[1]) << 28 | uint64_t(p[2]) << 46;
    }
  };
  Bins<Packing::Narrow> hist;
  hist.word.assign(size_t(levels), 0);
  // The bins' counts again, as 16-bit numbers, so the mode is found eight bins a step.
  const int32_t padded = (levels + 7) / 8 * 8;
  std::vector<int16_t> counts(size_t(padded), 0);
  struct Line {
    const uint8_t* bin;
    const uint64_t* word;
    int32_t half;
  };
  std::vector<Line> lines;
  for (int32_t y = first; y < end; ++y) {
    for (; next_row <= std::min(h - 1, y + radius); ++next_row) file_row(next_row);
    std::fill(hist.word.begin(), hist.word.end(), 0);
    std::fill(counts.begin(), counts.end(), int16_t{0});
    const int32_t dy0 = std::max(-radius, -y), dy1 = std::min(radius, h - 1 - y);
    lines.clear();
    for (int32_t dy = dy0; dy <= dy1; ++dy) {
      const size_t slot = size_t((y + dy) % ring) * size_t(w);
      lines.push_back({&ring_bins[slot], &ring_words[slot], brush.half[size_t(dy + radius)]});
    }
    auto enter = [&](int32_t b, uint64_t word) {
      hist.word[size_t(b)] += word;
      ++counts[size_t(b)];
    };
    for (const Line& l : lines)
      for (int32_t x = 0; x <= std::min(l.half, w - 1); ++x) enter(l.bin[x], l.word[x]);
    uint8_t* out = dst.row(y);
    for (int32_t x = 0; x < w; ++x, out += 3) {
      if (x > 0)
        for (const Line& l : lines) {
          const int32_t leaving = x - 1 - l.half, entering = x + l.half;
          if (leaving >= 0 && entering < w) {
            const int32_t bq = l.bin[leaving], bp = l.bin[entering];
            if (bq == bp) {
              hist.word[size_t(bp)] += l.word[entering] - l.word[leaving];
            } else {
              hist.word[size_t(bq)] -= l.word[leaving];
              --counts[size_t(bq)];
              enter(bp, l.word[entering]);
            }
          } else if (leaving >= 0) {
            hist.word[size_t(l.bin[leaving])] -= l.word[leaving];
            --counts[size_t(l.bin[leaving])];
          } else if (entering < w) {
            enter(l.bin[entering], l.word[entering]);
          }
        }
      const uint64_t v = hist.word[size_t(mode_of_counts(counts.data(), padded))];
      const uint32_t count = uint32_t(v & 0x3FF);
      out[0] = rounded_mean((v >> 10) & 0x3FFFF, count);
      out[1] = rounded_mean((v >> 28) & 0x3FFFF, count);
      out[2] = rounded_mean(v >> 46, count);
    }
  }
}

}  // namespace

bool oil_paint(const ImageView& src, const ImageView& dst, int32_t radius, int32_t levels, uint32_t flags) {
  if (!rgb24_pair(src, dst)) return false;
  Brush brush;
  brush.radius = radius = std::clamp(radius, 0, 256);
  levels = std::clamp(levels, 1, 256);
  brush.half.assign(size_t(2 * radius + 1), radius);
  if (flags & kOilRound)
    for (int32_t dy = -radius; dy <= radius; ++dy)
      brush.half[size_t(dy + radius)] = int32_t(std::sqrt(double(radius) * radius - double(dy) * dy + 0.25));
  brush.cells = 0;
  for (const int32_t hw : brush.half) brush.cells += 2 * hw + 1;
  const bool per_channel = flags & kOilPerChannel;
  const int64_t work_per_row = int64_t(src.width) * (4 * radius + 2) * (per_channel ? 3 : 1);
  for_each_band(src.height, work_per_row, [&](int32_t first, int32_t end) {
    if (per_channel) paint_rows<Packing::PerChannel>(src, dst, brush, levels, first, end);
    else if (brush.cells <= kNarrowCells) paint_rows_narrow(src, dst, brush, levels, first, end);
    else paint_rows<Packing::Wide>(src, dst, brush, levels, first, end);
  });
  return true;
}

}  // namespace cvl::imaging
