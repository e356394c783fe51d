#include "effects/script_tile.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "imagescript/imagescript.h"
#include "codecs/codec.h"
#include "imaging/geometry/resample_separable.h"
#include "imaging/tone/grey.h"

namespace cvl {

bool render_script_or_image(const char* path, imaging::Image& out) {
  if (!path || !*path) return false;
  if (imagescript::render_script(path, out) == imagescript::ScriptResult::Ok && !out.empty()) return true;
  if (imaging::decode_file(path, out) && out.channels == 4 && out.width > 0 && out.height > 0) return true;
  out = imaging::Image{};
  return false;
}

void repeat_tile(const imaging::Image& tile, uint8_t* out, int32_t width, int32_t height, bool mirror) {
  const int32_t tw = tile.width, th = tile.height;
  if (tw <= 0 || th <= 0) return;
  const size_t row_bytes = size_t(width) * 4;
  for (int32_t y = 0; y < height; ++y) {
    const int32_t band = y / th, ty = y % th;
    const int32_t sy = mirror && (band & 1) ? th - 1 - ty : ty;
    const uint8_t* src = tile.pixels.data() + size_t(sy) * tw * 4;
    uint8_t* dst = out + size_t(y) * row_bytes;
    for (int32_t x0 = 0, column = 0; x0 < width; x0 += tw, ++column) {
      const int32_t n = std::min(tw, width - x0);
      if (mirror && (column & 1)) {
        for (int32_t i = 0; i < n; ++i) std::memcpy(dst + size_t(x0 + i) * 4, src + size_t(tw - 1 - i) * 4, 4);
      } else {
        std::memcpy(dst + size_t(x0) * 4, src, size_t(n) * 4);
      }
    }
    for (size_t i = 3; i < row_bytes; i += 4) dst[i] = 255;
  }
}

imaging::Image scale_tile(const imaging::Image& tile, double percent) {
  constexpr double kMaxEdge = 8192;
  auto side = [&](int32_t n) {
    return static_cast<int32_t>(std::clamp(std::trunc(n * percent * 0.01), 1.0, kMaxEdge));
  };
  imaging::Image out;
  out.width = side(tile.width);
  out.height = side(tile.height);
  if (out.width == tile.width && out.height == tile.height) return tile;
  out.pixels.assign(size_t(out.width) * out.height * 4, 0);
  imaging::Image& in = const_cast<imaging::Image&>(tile);
  if (!imaging::resample(in.view(), out.view(), imaging::ResampleMethod::Bicubic)) return tile;
  return out;
}

bool tiled_script(const char* path, int32_t width, int32_t height, imaging::Image& out) {
  imaging::Image tile;
  if (width <= 0 || height <= 0 || !render_script_or_image(path, tile)) return false;
  out.width = width;
  out.height = height;
  out.channels = 4;
  out.pixels.assign(size_t(width) * size_t(height) * 4, 0);
  repeat_tile(tile, out.pixels.data(), width, height);
  return true;
}

namespace {

// The side of the small repeat for an image side n and tile side t: n itself when
// that is short, else the least side of at least t + 2 (an edge, every place of
// the tile inside, an edge) that ends at the same place of the tile as n does.
int32_t small_side(int32_t n, int32_t t) { return n <= t + 2 ? n : t + 2 + (n - t - 2) % t; }

// Where pixel i of a side of n falls in the small repeat of side m.
int32_t small_index(int32_t i, int32_t n, int32_t m, int32_t t) {
  if (m == n || i == 0) return i;
  return i == n - 1 ? m - 1 : 1 + (i - 1) % t;
}

}  // namespace

bool tiled_script_through(const char* path, int32_t width, int32_t height, const TileOp& op, imaging::Image& out) {
  imaging::Image tile;
  if (width <= 0 || height <= 0 || !render_script_or_image(path, tile)) return false;
  const int32_t tw = tile.width, th = tile.height;
  if (tw <= 0 || th <= 0) {
    // Nothing to repeat: the op sees the empty (all zero) image tiled_script gives.
    out.width = width, out.height = height, out.channels = 4;
    out.pixels.assign(size_t(width) * size_t(height) * 4, 0);
    return op(out.pixels.data(), width, height);
  }
  const int32_t sw = small_side(width, tw), sh = small_side(height, th);
  imaging::Image small;
  small.width = sw, small.height = sh;
  small.pixels.resize(size_t(sw) * size_t(sh) * 4);
  repeat_tile(tile, small.pixels.data(), sw, sh);
  if (!op(small.pixels.data(), sw, sh)) return false;
  out.width = width, out.height = height, out.channels = 4;
  out.pixels.resize(size_t(width) * size_t(height) * 4);
  const size_t row_bytes = size_t(width) * 4;
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* row = out.pixels.data() + size_t(y) * row_bytes;
    const int32_t sy = small_index(y, height, sh, th);
    // A row inside the image repeats the one a tile above it.
    if (sh != height && y > th && y < height - 1) {
      std::memcpy(row, row - size_t(th) * row_bytes, row_bytes);
      continue;
    }
    const uint8_t* from = small.pixels.data() + size_t(sy) * size_t(sw) * 4;
    if (sw == width) {
      std::memcpy(row, from, row_bytes);
      continue;
    }
    // The left edge, the tile's places 1 .. tw in turn, the right edge.
    std::memcpy(row, from, 4);
    for (int32_t x = 1; x < width - 1; x += tw)
      std::memcpy(row + size_t(x) * 4, from + 4, size_t(std::min(tw, width - 1 - x)) * 4);
    std::memcpy(row + row_bytes - 4, from + size_t(sw - 1) * 4, 4);
  }
  return true;
}

// Grey ignores alpha, which tiled_script makes opaque, so the grey of the
// repeated tile is the repeated grey of the tile's part the canvas shows.
bool tiled_script_grey(const char* path, int32_t width, int32_t height, std::vector<uint8_t>& grey) {
  imaging::Image tile;
  if (width <= 0 || height <= 0 || !render_script_or_image(path, tile)) return false;
  if (tile.width <= 0 || tile.height <= 0) {
    grey.assign(size_t(width) * size_t(height), 0);  // the grey of tiled_script's empty image
    return true;
  }
  const int32_t tw = std::min(tile.width, width), th = std::min(tile.height, height);
  std::vector<uint8_t> tile_grey(size_t(tw) * size_t(th));
  if (!imaging::image_to_grey(imaging::ImageView{tile.pixels.data(), tw, th, 4, tile.width * 4}, tile_grey.data(), tw))
    return false;
  grey.resize(size_t(width) * size_t(height));
  for (int32_t y = 0; y < height; ++y) {
    uint8_t* row = grey.data() + size_t(y) * size_t(width);
    if (y >= th) {
      std::memcpy(row, row - size_t(th) * size_t(width), size_t(width));
      continue;
    }
    const uint8_t* from = tile_grey.data() + size_t(y) * size_t(tw);
    for (int32_t x = 0; x < width; x += tw) std::memcpy(row + x, from, size_t(std::min(tw, width - x)));
  }
  return true;
}

}  // namespace cvl
