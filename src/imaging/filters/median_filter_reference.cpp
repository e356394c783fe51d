// The median as it was first written: every column keeps a full 256-bin
// histogram and each pixel's window histogram slides along the row by whole
// histograms, every radius from 1 up the same way. The fast median filter must
// give these bytes exactly; the differential tests hold it to that.
#include <algorithm>
#include <cstring>
#include <vector>

#include "imaging/channel_mask.h"
#include "imaging/filters/median_filter.h"
#include "imaging/parallel_bands.h"

namespace cvl::imaging {
namespace {

// A 256-bin histogram with its 16 coarse sums, counts in 16 bits.
struct Histogram {
  uint16_t coarse[16];
  uint16_t fine[256];
};

inline void add(Histogram& into, const Histogram& h) {
  for (int i = 0; i < 16; ++i) into.coarse[i] = uint16_t(into.coarse[i] + h.coarse[i]);
  for (int i = 0; i < 256; ++i) into.fine[i] = uint16_t(into.fine[i] + h.fine[i]);
}
inline void add_sub(Histogram& into, const Histogram& plus, const Histogram& minus) {
  for (int i = 0; i < 16; ++i) into.coarse[i] = uint16_t(into.coarse[i] + plus.coarse[i] - minus.coarse[i]);
  for (int i = 0; i < 256; ++i) into.fine[i] = uint16_t(into.fine[i] + plus.fine[i] - minus.fine[i]);
}

// The value with `rank` values below it (0-based) in the histogram.
inline uint8_t value_of_rank(const Histogram& h, uint32_t rank) {
  int32_t c = 0;
  uint32_t below = 0;
  while (below + h.coarse[c] <= rank) below += h.coarse[c++];
  int32_t v = c * 16;
  while (below + h.fine[v] <= rank) below += h.fine[v++];
  return uint8_t(v);
}

// Rows [first, end) of one channel. The column histograms start from the
// band's first window and are carried down from there, so a band gives the
// rows the whole picture would.
void median_channel(const ImageView& in, const ImageView& out, int32_t channel, int32_t r, int32_t first, int32_t end,
                    std::vector<Histogram>& columns) {
  const int32_t w = in.width, h = in.height, ch = in.channels;
  const auto value = [&](int32_t x, int32_t y) { return in.row(std::clamp(y, 0, h - 1))[size_t(x) * ch + channel]; };
  const auto count = [&](int32_t x, int32_t v, int32_t delta) {
    Histogram& col = columns[size_t(x)];
    col.fine[v] = uint16_t(col.fine[v] + delta);
    col.coarse[v >> 4] = uint16_t(col.coarse[v >> 4] + delta);
  };
  std::memset(columns.data(), 0, columns.size() * sizeof(Histogram));
  for (int32_t y = first - r; y <= first + r; ++y)
    for (int32_t x = 0; x < w; ++x) count(x, value(x, y), 1);
  const uint32_t rank = (uint32_t(2 * r + 1) * uint32_t(2 * r + 1)) / 2;
  Histogram window;
  for (int32_t y = first; y < end; ++y) {
    if (y > first) {
      const uint8_t* gone_row = in.row(std::max(y - r - 1, 0)) + channel;
      const uint8_t* come_row = in.row(std::min(y + r, h - 1)) + channel;
      for (int32_t x = 0; x < w; ++x) {
        const int32_t gone = gone_row[size_t(x) * ch], come = come_row[size_t(x) * ch];
        if (gone == come) continue;
        count(x, gone, -1);
        count(x, come, 1);
      }
    }
    std::memset(&window, 0, sizeof window);
    for (int32_t x = -r; x <= r; ++x) add(window, columns[size_t(std::clamp(x, 0, w - 1))]);
    uint8_t* d = out.row(y) + channel;
    for (int32_t x = 0; x < w; ++x) {
      d[size_t(x) * ch] = value_of_rank(window, rank);
      if (x + 1 < w) add_sub(window, columns[size_t(std::min(x + r + 1, w - 1))], columns[size_t(std::max(x - r, 0))]);
    }
  }
}

}  // namespace

bool median_filter_reference(const ImageView& src, const ImageView& dst, int32_t radius, uint32_t channel_mask) {
  if (!same_shape(src, dst) || radius < 0) return false;
  radius = std::min(radius, kMaxMedianRadius);
  Image copy;
  const ImageView in = unaliased_source(src, dst, copy);
  copy_view(in, dst);
  if (radius == 0) return true;
  for_each_band(src.height, int64_t(src.width) * src.channels * 600, [&](int32_t first, int32_t end) {
    std::vector<Histogram> columns(size_t(src.width));
    for (int32_t c = 0; c < src.channels; ++c)
      if (channel_mask >> c & 1) median_channel(in, dst, c, radius, first, end, columns);
  });
  return true;
}

}  // namespace cvl::imaging
