#include "mask/marker_colour.h"

#include <bit>
#include <vector>

namespace cvl {

int32_t find_marker_colour(const uint8_t* rgba, size_t pixels) {
  // The answer is nearly always a red beside green and blue 0, so look there
  // first with a 256-entry table before paying for the full 2 MB colour set.
  bool red_seen[256] = {};
  const uint8_t* p = rgba;
  for (size_t i = 0; i < pixels; ++i, p += 4)
    if ((p[1] | p[2]) == 0) red_seen[p[0]] = true;
  for (int32_t r = 0; r < 256; ++r)
    if (!red_seen[r]) return r;

  // One bit per colour, indexed by the packed value itself, so the first
  // clear bit is the answer.
  std::vector<uint64_t> seen((size_t{1} << 24) / 64, 0);
  p = rgba;
  for (size_t i = 0; i < pixels; ++i, p += 4) {
    const uint32_t c = p[0] | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16;
    seen[c >> 6] |= uint64_t{1} << (c & 63);
  }
  for (size_t w = 0; w < seen.size(); ++w)
    if (~seen[w] != 0) return static_cast<int32_t>(w * 64 + static_cast<size_t>(std::countr_zero(~seen[w])));
  return 256;
}

}  // namespace cvl
