// Repeats, folds and blocks. Each output pixel is a copy, or a fixed linear mix, of
// input pixels chosen by position alone, so alpha carried in any channel follows the
// colour exactly.
#include "imagescript/divider_map.h"
#include "imagescript/effect_runners.h"

namespace cvl::imagescript {
namespace {

// Source column of output column x when the picture is folded back and forth in
// strips of `tile` pixels, each strip mirroring its neighbour.
int32_t fold(int32_t x, int32_t tile) {
  const int32_t p = x % (2 * tile);
  return p < tile ? p : 2 * tile - 1 - p;
}

void copy_pixel(uint8_t* dst, const uint8_t* src) { std::memcpy(dst, src, 4); }

}  // namespace

// 17: see DividerMap.
bool run_divider(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  const DividerMap map(v, w, h);
  if (!map.changes_nothing()) remap_separable(rgba, w, h, Edge::Clamp, map);
  return true;
}

// 18: values 3 and 4 the width and height of the strips in pixels that the picture's
// top-left corner is folded into, mirrored tile by tile like a woven carpet; 0 leaves
// that direction alone.
bool run_carpet(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  const int32_t tw = std::min(std::max(v(3), 0), w), th = std::min(std::max(v(4), 0), h);
  if ((tw == 0 || tw == w) && (th == 0 || th == h)) return true;
  const std::vector<uint8_t> src(rgba, rgba + size_t(w) * h * 4);
  std::vector<int32_t> column(static_cast<size_t>(w));
  for (int32_t x = 0; x < w; ++x) column[size_t(x)] = tw ? fold(x, tw) : x;
  uint8_t* out = rgba;
  for (int32_t y = 0; y < h; ++y) {
    const uint8_t* row = src.data() + size_t(th ? fold(y, th) : y) * w * 4;
    for (int32_t x = 0; x < w; ++x, out += 4) copy_pixel(out, row + size_t(column[size_t(x)]) * 4);
  }
  return true;
}

// 22: value 3 the block size in pixels; each block takes the pixel at its centre.
bool run_voxel(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  const int32_t size = v(3, 8);
  if (size <= 0) return false;
  if (size == 1) return true;
  const std::vector<uint8_t> src(rgba, rgba + size_t(w) * h * 4);
  std::vector<int32_t> column(static_cast<size_t>(w));
  for (int32_t x = 0; x < w; ++x) column[size_t(x)] = std::min(x / size * size + size / 2, w - 1);
  uint8_t* out = rgba;
  for (int32_t y = 0; y < h; ++y) {
    const uint8_t* row = src.data() + size_t(std::min(y / size * size + size / 2, h - 1)) * w * 4;
    for (int32_t x = 0; x < w; ++x, out += 4) copy_pixel(out, row + size_t(column[size_t(x)]) * 4);
  }
  return true;
}

namespace {

// Makes one direction of the picture wrap without a seam: near both ends each pixel
// is mixed with the pixel half a period away, fully at the very edge and not at all
// `border` pixels in. The two ends then show neighbouring pixels of the original.
// `n` pixels `step` bytes apart, `lines` such runs `line_step` bytes apart.
void seam_blend(uint8_t* rgba, int32_t n, size_t step, int32_t lines, size_t line_step, int32_t border,
                std::vector<uint8_t>& line) {
  border = std::min(border, n / 2);
  if (border <= 0) return;
  std::vector<int32_t> weight(size_t(n), 0);  // 0..256 share of the shifted pixel
  for (int32_t i = 0; i < border; ++i) {
    const int32_t wgt = ((border - i) * 256 + border / 2) / border;
    weight[size_t(i)] = std::max(weight[size_t(i)], wgt);
    weight[size_t(n - 1 - i)] = std::max(weight[size_t(n - 1 - i)], wgt);
  }
  line.resize(size_t(n) * 4);
  for (int32_t l = 0; l < lines; ++l) {
    uint8_t* base = rgba + size_t(l) * line_step;
    for (int32_t i = 0; i < n; ++i) std::memcpy(&line[size_t(i) * 4], base + size_t(i) * step, 4);
    for (int32_t i = 0; i < n; ++i) {
      const int32_t wgt = weight[size_t(i)];
      if (!wgt) continue;
      const uint8_t* a = &line[size_t(i) * 4];
      const uint8_t* b = &line[size_t((i + n / 2) % n) * 4];
      uint8_t* out = base + size_t(i) * step;
      for (int k = 0; k < 4; ++k) out[k] = static_cast<uint8_t>((a[k] * (256 - wgt) + b[k] * wgt + 128) >> 8);
    }
  }
}

}  // namespace

// 52: value 3 the width in pixels of the band along each edge that is blended so the
// picture tiles without visible seams; 0 leaves it.
bool run_seamless(const Values& v, uint8_t* rgba, int32_t w, int32_t h) {
  const int32_t border = v(3);
  if (border < 0) return false;
  std::vector<uint8_t> line;
  seam_blend(rgba, w, 4, h, size_t(w) * 4, border, line);
  seam_blend(rgba, h, size_t(w) * 4, w, 4, border, line);
  return true;
}

}  // namespace cvl::imagescript
