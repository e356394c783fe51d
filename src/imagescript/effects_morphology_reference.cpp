// The square extremes (25 and 26) as first written: each line padded, filtered a
// channel at a time with blocks found by remainders, the columns walked pixel by
// pixel. The fast runners must give these bytes.
#include "imagescript/morphology_reference.h"

#include <algorithm>
#include <vector>

namespace cvl::imagescript {
namespace {

template <bool kMax>
uint8_t pick(uint8_t a, uint8_t b) {
  return kMax ? std::max(a, b) : std::min(a, b);
}

// Filters one line of n values (`line`, padded by `r` copies of its end values on both
// sides inside `padded`) with the window 2r + 1, writing n results to `out`.
template <bool kMax>
void filter_line(std::vector<uint8_t>& padded, int32_t n, int32_t r, std::vector<uint8_t>& fwd,
                 std::vector<uint8_t>& back, uint8_t* out) {
  const int32_t k = 2 * r + 1, len = n + 2 * r;
  fwd.resize(static_cast<size_t>(len)), back.resize(static_cast<size_t>(len));
  for (int32_t i = 0; i < len; ++i)
    fwd[size_t(i)] = i % k ? pick<kMax>(fwd[size_t(i - 1)], padded[size_t(i)]) : padded[size_t(i)];
  for (int32_t i = len - 1; i >= 0; --i)
    back[size_t(i)] =
        (i + 1) % k && i + 1 < len ? pick<kMax>(back[size_t(i + 1)], padded[size_t(i)]) : padded[size_t(i)];
  for (int32_t i = 0; i < n; ++i) out[i] = pick<kMax>(back[size_t(i)], fwd[size_t(i + 2 * r)]);
}

// Runs the filter along `lines` lines of n pixels (`step` bytes apart, lines
// `line_step` apart) for each of the four channels.
template <bool kMax>
void filter_lines(uint8_t* rgba, int32_t n, size_t step, int32_t lines, size_t line_step, int32_t r) {
  std::vector<uint8_t> padded(size_t(n + 2 * r)), fwd, back, out(static_cast<size_t>(n));
  for (int32_t l = 0; l < lines; ++l) {
    uint8_t* base = rgba + size_t(l) * line_step;
    for (int c = 0; c < 4; ++c) {
      for (int32_t i = 0; i < n + 2 * r; ++i) padded[size_t(i)] = base[size_t(std::clamp(i - r, 0, n - 1)) * step + c];
      filter_line<kMax>(padded, n, r, fwd, back, out.data());
      for (int32_t i = 0; i < n; ++i) base[size_t(i) * step + c] = out[size_t(i)];
    }
  }
}

template <bool kMax>
bool run_rank(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  const int32_t size = v(3, 1);
  if (size < 1) return false;
  const int32_t r = std::min(size - 1, std::max(w, h));
  if (r == 0) return true;
  filter_lines<kMax>(rgba, w, 4, h, size_t(w) * 4, r);
  filter_lines<kMax>(rgba, h, size_t(w) * 4, w, 4, r);
  return true;
}

}  // namespace

bool run_maximum_reference(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  return run_rank<true>(v, rgba, w, h);
}
bool run_minimum_reference(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  return run_rank<false>(v, rgba, w, h);
}

}  // namespace cvl::imagescript
