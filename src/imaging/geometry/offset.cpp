#include "imaging/geometry/offset.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace cvl::imaging {
namespace {

// The source index for destination index i along an axis of n pixels, or -1
// where the fill colour shows.
int32_t source_index(int64_t i, int64_t shift, int32_t n, EdgeMode mode) {
  const int64_t s = i - shift;
  if (s >= 0 && s < n) return static_cast<int32_t>(s);
  switch (mode) {
    case EdgeMode::Wrap: return static_cast<int32_t>(((s % n) + n) % n);
    case EdgeMode::Repeat: return s < 0 ? 0 : n - 1;
    case EdgeMode::Fill: return -1;
  }
  return -1;
}

}  // namespace

bool edge_mode_from_code(int32_t code, EdgeMode* mode) {
  switch (code) {
    case 0:
    case 3: *mode = EdgeMode::Fill; return true;
    case 1: *mode = EdgeMode::Wrap; return true;
    case 2: *mode = EdgeMode::Repeat; return true;
    default: return false;
  }
}

bool offset_image(const ImageView& src, const ImageView& dst, int32_t dx, int32_t dy, EdgeMode mode,
                  const uint8_t* fill) {
  if (!src.data || !dst.data || src.width != dst.width || src.height != dst.height || src.channels != dst.channels ||
      src.width <= 0 || src.height <= 0 || (mode == EdgeMode::Fill && !fill))
    return false;
  const int32_t w = src.width, ch = src.channels;
  std::vector<int32_t> xs(static_cast<size_t>(w));
  for (int32_t x = 0; x < w; ++x) xs[size_t(x)] = source_index(x, dx, w, mode);
  // The stretch of a destination row that is a plain run of the source row.
  const int32_t run_start = std::clamp<int64_t>(dx, 0, w), run_end = std::clamp<int64_t>(int64_t(w) + dx, 0, w);
  for (int32_t y = 0; y < dst.height; ++y) {
    uint8_t* d = dst.row(y);
    const int32_t sy = source_index(y, dy, src.height, mode);
    if (sy < 0) {
      for (int32_t x = 0; x < w; ++x) std::memcpy(d + size_t(x) * ch, fill, size_t(ch));
      continue;
    }
    const uint8_t* s = src.row(sy);
    if (run_end > run_start)
      std::memcpy(d + size_t(run_start) * ch, s + size_t(run_start - dx) * ch, size_t(run_end - run_start) * ch);
    for (int32_t x = 0; x < w; ++x) {
      if (x == run_start && run_end > run_start) x = run_end;
      if (x >= w) break;
      const int32_t sx = xs[size_t(x)];
      std::memcpy(d + size_t(x) * ch, sx < 0 ? fill : s + size_t(sx) * ch, size_t(ch));
    }
  }
  return true;
}

}  // namespace cvl::imaging
