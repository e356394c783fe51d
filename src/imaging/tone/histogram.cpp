#include "imaging/tone/histogram.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "imaging/tone/grey.h"
#include "imaging/tone/lightness.h"

namespace cvl::imaging {
namespace {

using Counts = std::array<uint64_t, 256>;
using Table = std::array<uint8_t, 256>;

bool colour_view(const ImageView& image) {
  return image.data && image.width > 0 && image.height > 0 && (image.channels == 3 || image.channels == 4) &&
         image.stride >= image.width * image.channels;
}

// Calls `visit(pixel)` for every pixel that is seen (alpha not 0 on 4 channels).
template <class Visit>
void for_seen_pixels(const ImageView& image, Visit&& visit) {
  const int32_t ch = image.channels;
  for (int32_t y = 0; y < image.height; ++y) {
    uint8_t* p = image.row(y);
    for (int32_t x = 0; x < image.width; ++x, p += ch)
      if (ch == 3 || p[3] != 0) visit(p);
  }
}

// Counts per channel (0..2) and of the luma (3).
std::array<Counts, 4> count(const ImageView& image, HistogramBasis basis) {
  std::array<Counts, 4> counts{};
  if (basis == HistogramBasis::Brightness)
    for_seen_pixels(image, [&](const uint8_t* p) { ++counts[3][luma(p[0], p[1], p[2])]; });
  else
    for_seen_pixels(image, [&](const uint8_t* p) {
      ++counts[0][p[0]];
      ++counts[1][p[1]];
      ++counts[2][p[2]];
    });
  return counts;
}

uint8_t clamp_round(double v) { return static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L)); }

Table identity() {
  Table t;
  for (int v = 0; v < 256; ++v) t[v] = static_cast<uint8_t>(v);
  return t;
}

// Value range of a histogram; false when it holds fewer than two values.
bool span(const Counts& counts, int& first, int& last) {
  first = 0;
  last = 255;
  while (first < 256 && counts[first] == 0) ++first;
  while (last >= 0 && counts[last] == 0) --last;
  return first < last;
}

Table stretch_table(const Counts& counts, int32_t lo, int32_t hi) {
  int first, last;
  if (!span(counts, first, last)) return identity();
  Table t;
  const double gain = double(hi - lo) / (last - first);
  for (int v = 0; v < 256; ++v) t[v] = clamp_round(lo + (v - first) * gain);
  return t;
}

Table equalize_table(const Counts& counts, int32_t lo, int32_t hi) {
  int first, last;
  if (!span(counts, first, last)) return identity();
  uint64_t total = 0;
  for (uint64_t c : counts) total += c;
  // The cumulative count starts after the darkest value, so the darkest maps to
  // lo and the brightest to hi.
  const double below = double(total - counts[first]);
  Table t;
  uint64_t cumulative = 0;
  for (int v = 0; v < 256; ++v) {
    cumulative += counts[v];
    const double share = v < first ? 0 : (cumulative - counts[first]) / below;
    t[v] = clamp_round(lo + (hi - lo) * share);
  }
  return t;
}

template <class MakeTable>
bool remap(const ImageView& image, HistogramBasis basis, MakeTable&& make) {
  if (!colour_view(image)) return false;
  const std::array<Counts, 4> counts = count(image, basis);
  std::array<Table, 3> tables;
  for (int c = 0; c < 3; ++c) tables[c] = make(counts[basis == HistogramBasis::Brightness ? 3 : c]);
  const int32_t ch = image.channels;
  for (int32_t y = 0; y < image.height; ++y) {
    uint8_t* p = image.row(y);
    for (int32_t x = 0; x < image.width; ++x, p += ch) {
      p[0] = tables[0][p[0]];
      p[1] = tables[1][p[1]];
      p[2] = tables[2][p[2]];
    }
  }
  return true;
}

}  // namespace

bool histogram_equalize(const ImageView& image, int32_t lo, int32_t hi, HistogramBasis basis) {
  return remap(image, basis, [&](const Counts& c) { return equalize_table(c, lo, hi); });
}

bool histogram_stretch(const ImageView& image, int32_t lo, int32_t hi, HistogramBasis basis) {
  return remap(image, basis, [&](const Counts& c) { return stretch_table(c, lo, hi); });
}

bool lightness_histogram_stretch(const ImageView& image, int32_t lo, int32_t hi) {
  if (!colour_view(image)) return false;
  double darkest = 255, brightest = 0;
  for_seen_pixels(image, [&](const uint8_t* p) {
    const double l = hsl_lightness(p);
    darkest = std::min(darkest, l);
    brightest = std::max(brightest, l);
  });
  if (!(darkest < brightest)) return true;
  const double gain = (hi - lo) / (brightest - darkest);
  for_seen_pixels(image, [&](uint8_t* p) { set_hsl_lightness(p, std::clamp(lo + (hsl_lightness(p) - darkest) * gain, 0.0, 255.0)); });
  return true;
}

}  // namespace cvl::imaging
