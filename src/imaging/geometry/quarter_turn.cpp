#include "imaging/geometry/quarter_turn.h"

#include <algorithm>
#include <cstring>

#include "imaging/parallel_bands.h"

namespace cvl::imaging {
namespace {

// Turns walk the source in square tiles so that both the rows read and the
// columns written stay in cache on large images.
constexpr int32_t kTile = 64;

// dst(x', y') = src(x, y) with (x', y') = map(x, y); one pixel of `Px` bytes.
template <int32_t Px, class Map>
void turn_tiled(const ImageView& src, const ImageView& dst, Map map) {
  // Every source pixel lands on a pixel of its own, so rows of tiles may go to
  // several threads.
  const int32_t tile_rows = (src.height + kTile - 1) / kTile;
  for_each_band(tile_rows, int64_t(src.width) * kTile, [&](int32_t first, int32_t end) {
    for (int32_t ty = first * kTile; ty < std::min(end * kTile, src.height); ty += kTile) {
      const int32_t y_end = std::min(ty + kTile, src.height);
      for (int32_t tx = 0; tx < src.width; tx += kTile) {
        const int32_t x_end = std::min(tx + kTile, src.width);
        for (int32_t y = ty; y < y_end; ++y) {
          const uint8_t* s = src.row(y) + static_cast<ptrdiff_t>(tx) * Px;
          for (int32_t x = tx; x < x_end; ++x, s += Px) {
            const auto [dx, dy] = map(x, y);
            std::memcpy(dst.row(dy) + static_cast<ptrdiff_t>(dx) * Px, s, Px);
          }
        }
      }
    }
  });
}

template <int32_t Px>
void turn(const ImageView& src, const ImageView& dst, QuarterTurn t) {
  const int32_t w = src.width, h = src.height;
  struct At {
    int32_t x, y;
  };
  switch (t) {
    case QuarterTurn::Right: turn_tiled<Px>(src, dst, [h](int32_t x, int32_t y) { return At{h - 1 - y, x}; }); break;
    case QuarterTurn::Left: turn_tiled<Px>(src, dst, [w](int32_t x, int32_t y) { return At{y, w - 1 - x}; }); break;
    case QuarterTurn::Half:
      turn_tiled<Px>(src, dst, [w, h](int32_t x, int32_t y) { return At{w - 1 - x, h - 1 - y}; });
      break;
  }
}

}  // namespace

bool rotate_quarter(const ImageView& src, const ImageView& dst, QuarterTurn t) {
  if (!src.data || !dst.data || src.channels != dst.channels || src.width <= 0 || src.height <= 0) return false;
  const bool swapped = t != QuarterTurn::Half;
  if (dst.width != (swapped ? src.height : src.width) || dst.height != (swapped ? src.width : src.height))
    return false;
  switch (src.channels) {
    case 1: turn<1>(src, dst, t); return true;
    case 2: turn<2>(src, dst, t); return true;
    case 3: turn<3>(src, dst, t); return true;
    case 4: turn<4>(src, dst, t); return true;
    case 8: turn<8>(src, dst, t); return true;
    default: return false;
  }
}

}  // namespace cvl::imaging
