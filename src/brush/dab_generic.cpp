// The reference rows: one pixel at a time, every step in the order the engine
// defines, each setting tested where it applies. The specialised rows must give
// the same words; this path also serves the rare dab whose pixels depend on one
// another within a row (rotated sampling while remixing).
#include "brush/dab_rows.h"

namespace cvl {

namespace {

dab::PixelSwitches switches(const DabFrame& f, bool mask, bool solid) {
  return {f.rotate,           f.grit != nullptr, f.texture != nullptr, mask,   solid,
          f.color_vary.on(), f.lum_vary.on(),   f.primary,            f.image_brush};
}

const uint8_t* texture_row(const DabFrame& f, int32_t y) {
  return f.texture ? f.texture + static_cast<size_t>(y) * static_cast<size_t>(f.canvas_width) + f.x0 : nullptr;
}

}  // namespace

void colour_row_generic(DabFrame& f, int32_t y, int32_t tr) {
  const dab::PixelSwitches sw = switches(f, f.mask != nullptr, f.solid);
  const uint8_t* tex = texture_row(f, y);
  const uint16_t* mask = f.mask ? f.mask + static_cast<size_t>(y) * static_cast<size_t>(f.canvas_width) + f.x0 : nullptr;
  uint16_t* p = f.dest + static_cast<size_t>(y) * static_cast<size_t>(f.dest_stride) + static_cast<size_t>(f.x0) * 4;
  for (int32_t j = 0; j < f.cols; ++j, p += 4) {
    int32_t index = 0;
    uint32_t v = dab::pixel_coverage(f, sw, j, tr, tex, mask, index);
    if (v == 0) continue;
    uint32_t s[4];
    uint16_t* b = f.blending ? f.blend + static_cast<size_t>(index) * 4 : nullptr;
    if (f.blending)
      dab::blended_source(f, sw, f.color_vary, f.lum_vary, b, v, s);
    else
      dab::plain_source(f, sw, f.color_vary, f.lum_vary, s);
    uint32_t d[4];
    dab::load_pixel(p, d);
    const MixResult m = mix_pixel_generic(f.mode, f.mix, s, v, d);
    dab::write_general(f, m, p);
    if (f.remixing) dab::remix(f, s, m, d[3], b);
  }
}

void mask_row_generic(DabFrame& f, int32_t y, int32_t tr) {
  const dab::PixelSwitches sw = switches(f, false, false);
  const uint8_t* tex = texture_row(f, y);
  uint16_t* m = f.mask_plane + static_cast<size_t>(y) * static_cast<size_t>(f.canvas_width) + f.x0;
  for (int32_t j = 0; j < f.cols; ++j) {
    int32_t index = 0;
    const uint32_t v = dab::pixel_coverage(f, sw, j, tr, tex, nullptr, index);
    if (v == 0) continue;
    uint16_t* b = f.blending ? f.blend + static_cast<size_t>(tr) * 4 * static_cast<size_t>(f.capacity) +
                                   dab::straight_column(f, j)
                             : nullptr;
    const uint32_t value = dab::mask_source(f, sw, f.blending, f.color_vary, f.lum_vary, b);
    dab::mask_write(f, f.mask_solid ? dab::kFull : v, value, m + j, b, f.remixing);
  }
}

}  // namespace cvl
