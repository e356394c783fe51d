// What a colour or mask dab settles before its first row, and the per-pixel
// steps that both the specialised row loops and the plain reference path use.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "brush/brush_mix.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace cvl {

// A read position in one of the per-pixel variation tables. Each dab starts
// unset; a row restarts it at a random place near the table's start when it is
// unset or too close to the end for a whole row of reads.
struct VaryCursor {
  const uint8_t* data = nullptr;
  uint32_t length = 0;
  int64_t pos = -1;  // -1: unset
  int32_t amount = 0;  // pix_color_vary / pix_lum_vary; 0 = off

  bool on() const { return amount > 0; }
  uint8_t next() { return data[pos++]; }
};

// How the write step treats the painted pixel.
enum class WriteKind : uint8_t {
  Paint,         // colour and alpha take the mix result
  Erase,         // alpha alone takes the mix result
  General,       // locks, alpha level and the layer's alpha rules
  GeneralRemix,  // as General, and the result goes back into the blend buffer
};

struct DabFrame;
struct DabRowScratch;  // one footprint row's working values, private to the row code

// The passes the specialised row code chose for a dab: coverage, the per-pixel
// source colour (null: every pixel takes the dab colour) and the mix and write.
struct DabRowPlan {
  void (*cover)(const DabFrame&, int32_t y, int32_t tr, DabRowScratch&) = nullptr;
  void (*source)(DabFrame&, DabRowScratch&) = nullptr;
  void (*mix)(DabFrame&, int32_t y, const DabRowScratch&, const uint32_t* source, int32_t source_step) = nullptr;
};

struct DabFrame {
  // Footprint on the canvas, right and bottom exclusive, already clipped.
  int32_t x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  int32_t cx = 0;         // tip column offset of the first footprint column
  int32_t ry0 = 0;        // footprint row index of canvas row y0
  int32_t cols = 0;       // columns that are painted in each row
  bool straight_run = false;   // the columns sample one run of each tip row (the scale table steps by one)
  int32_t paint_rows_end = 0;  // rows at or beyond this are not painted (destination height)

  // Tip, grit and the scale table.
  const uint16_t* tip = nullptr;
  int32_t capacity = 0;  // brush_capacity: row stride of tip, grit and blend buffer
  const int32_t* scale = nullptr;
  const uint8_t* grit = nullptr;  // null: no grit
  int32_t density_threshold = 0;
  bool rotate = false;
  float rot_cos = 0, rot_sin = 0;
  int32_t rot_centre = 0;
  int32_t rot_bound = 0;  // rotated samples must lie in 0..rot_bound-1

  // Coverage factors.
  uint32_t opacity_scale = 128;  // 128 at full opacity, so (tip * 128) >> 7 == tip
  bool solid = false;
  const uint8_t* texture = nullptr;  // canvas-sized, or null
  const uint16_t* mask = nullptr;    // canvas-sized while the mask takes part, else null
  int32_t canvas_width = 0;

  // Source colour.
  uint32_t dab[4] = {};
  uint32_t primary_products[4] = {};  // blend_primary_strength * dab channel
  uint32_t primary_keep = 0;
  bool primary = false;
  bool image_brush = false;
  bool blending = false;
  uint16_t* blend = nullptr;  // blend buffer pixels
  VaryCursor color_vary, lum_vary;

  // Mix and write.
  int32_t mode = kBrushMixNormal;
  MixKernel kernel = MixKernel::LowNormal;
  DabRowPlan plan;  // filled when the specialised rows are selected
  MixContext mix;
  WriteKind write = WriteKind::Paint;
  uint16_t* dest = nullptr;
  int32_t dest_stride = 0;  // words
  bool erasing = false, blob_locked = false, color_locked = false, alpha_rule = false;
  int32_t alpha_level = 0;
  uint32_t remix_strength = 0, remix_keep = 0;

  // Mask dab.
  uint16_t* mask_plane = nullptr;  // the mask being painted
  uint32_t mask_target = 0;        // M: the value the paint colour selects
  bool mask_solid = false;
  bool remixing = false;
};

namespace dab {

constexpr uint32_t kFull = 65535;

inline uint32_t clamp_channel(int64_t v) { return static_cast<uint32_t>(std::clamp<int64_t>(v, 0, kFull)); }

// Index of the tip sample for footprint column j in tip row tr: the straight
// sample, or the rotated one when it lands inside the tip.
inline int32_t straight_column(const DabFrame& f, int32_t j) { return f.cx + f.scale[j]; }

inline int32_t rotated_sample(const DabFrame& f, int32_t j, int32_t tr) {
  const int32_t c = f.rot_centre;
  const int32_t col = straight_column(f, j);
  const int32_t dx = col - c, dy = tr - c;
  const float fx = static_cast<float>(dx), fy = static_cast<float>(dy);
  const int32_t rc = c + static_cast<int32_t>(fx * f.rot_cos - fy * f.rot_sin);
  const int32_t rr = c + static_cast<int32_t>(fy * f.rot_cos + fx * f.rot_sin);
  const bool inside = rc >= 0 && rc < f.rot_bound && rr >= 0 && rr < f.rot_bound;
  return inside ? rr * f.capacity + rc : tr * f.capacity + col;
}

// The first index in [from, to) whose sample is not 0, or to.
inline int32_t first_nonzero(const uint16_t* s, int32_t from, int32_t to) {
#if defined(__SSE2__) && defined(__GNUC__)
  const __m128i zero = _mm_setzero_si128();
  for (; from + 8 <= to; from += 8) {
    const int zeros =
        _mm_movemask_epi8(_mm_cmpeq_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + from)), zero));
    if (zeros != 0xFFFF) return from + __builtin_ctz(~zeros & 0xFFFF) / 2;
  }
#endif
  while (from < to && s[from] == 0) ++from;
  return from;
}

// One past the last index in [from, to) whose sample is not 0, or from.
inline int32_t end_of_nonzero(const uint16_t* s, int32_t from, int32_t to) {
#if defined(__SSE2__) && defined(__GNUC__)
  const __m128i zero = _mm_setzero_si128();
  for (; to - 8 >= from; to -= 8) {
    const int zeros =
        _mm_movemask_epi8(_mm_cmpeq_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s + to - 8)), zero));
    if (zeros != 0xFFFF) return to - 8 + (31 - __builtin_clz(~zeros & 0xFFFF)) / 2 + 1;
  }
#endif
  while (to > from && s[to - 1] == 0) --to;
  return to;
}

// Footprint columns [first, last) of tip row tr outside which every straight
// sample is 0. A round tip leaves the corners of its square empty; a dab
// without rotation paints nothing there, so its rows need not read or write them.
inline void tip_span(const DabFrame& f, int32_t tr, int32_t& first, int32_t& last) {
  const uint16_t* row = f.tip + static_cast<ptrdiff_t>(tr) * f.capacity + f.cx;
  if (f.straight_run && f.cols > 0) {
    row += f.scale[0];
    first = first_nonzero(row, 0, f.cols);
    last = end_of_nonzero(row, first, f.cols);
    return;
  }
  first = 0, last = f.cols;
  while (first < last && row[f.scale[first]] == 0) ++first;
  while (last > first && row[f.scale[last - 1]] == 0) --last;
}

// Coverage from the tip value, opacity and texture; 0 means the pixel is skipped.
inline uint32_t tip_coverage(const DabFrame& f, uint32_t tip) { return (tip * f.opacity_scale) >> 7; }
inline uint32_t textured(uint32_t v, uint8_t t) { return t < 255 ? (t * v) >> 8 : v; }
inline uint32_t masked(uint32_t v, uint16_t m) { return m < kFull ? (m * v) >> 16 : v; }

// The per-pixel colour offset from a colour-table byte.
inline int32_t colour_offset(int32_t amount, uint8_t u) { return ((amount & ~1) - (u % amount) * 2) * 128; }

// The luminance factor from a luminance-table byte.
inline float lum_factor(int32_t amount, uint8_t u) {
  return static_cast<float>(128 - (amount >> 1) + u % amount) * (1.0f / 256.0f);
}

// Darkens (t <= 0.5) or lightens a channel; amounts beyond the host's range
// would leave 0..65535, so the result is held there.
inline uint32_t lum_vary(uint32_t ch, float t) {
  const float c = static_cast<float>(ch);
  const float r = t <= 0.5f ? c - c * (0.5f - t) * 2.0f : c + (t - 0.5f) * 2.0f * (65535.0f - c);
  return r <= 0.0f ? 0u : r >= 65535.0f ? kFull : static_cast<uint32_t>(r);
}

// What a pixel's steps depend on. The specialised rows pass compile-time
// constants, so every test on these folds away; the reference path passes the
// dab's settings as they are.
struct PixelSwitches {
  bool rotate, grit, texture, mask, solid;      // coverage
  bool color_vary, lum_vary, primary, image;    // source
};

// Tip sample index and coverage V of footprint column j (V = 0: not painted).
inline uint32_t pixel_coverage(const DabFrame& f, const PixelSwitches& sw, int32_t j, int32_t tr, const uint8_t* tex,
                               const uint16_t* mask, int32_t& index) {
  index = sw.rotate ? rotated_sample(f, j, tr) : tr * f.capacity + straight_column(f, j);
  if (sw.grit && f.grit[index] > f.density_threshold) return 0;
  uint32_t v = tip_coverage(f, f.tip[index]);
  if (sw.texture) v = textured(v, tex[j]);
  if (sw.mask) v = masked(v, mask[j]);
  if (sw.solid && v != 0) v = kFull;
  return v;
}

// Source colour without blending: the dab colour, varied per pixel. The
// luminance variation starts again from the dab colour, so the colour offset
// keeps only its effect on alpha.
inline void plain_source(const DabFrame& f, const PixelSwitches& sw, VaryCursor& cv, VaryCursor& lv, uint32_t s[4]) {
  s[0] = f.dab[0], s[1] = f.dab[1], s[2] = f.dab[2], s[3] = f.dab[3];
  if (sw.color_vary) {
    const int32_t o = colour_offset(cv.amount, cv.next());
    for (int ch = 0; ch < 4; ++ch) s[ch] = clamp_channel(int64_t{s[ch]} + o);
  }
  if (sw.lum_vary) {
    const float t = lum_factor(lv.amount, lv.next());
    for (int ch = 0; ch < 3; ++ch) s[ch] = lum_vary(f.dab[ch], t);
  }
}

// Source colour with blending: the blend pixel, varied, then mixed back with the
// dab colour. Image-brush mode lets the picked-up alpha thin the coverage.
inline void blended_source(const DabFrame& f, const PixelSwitches& sw, VaryCursor& cv, VaryCursor& lv,
                           const uint16_t* b, uint32_t& v, uint32_t s[4]) {
  s[0] = b[0], s[1] = b[1], s[2] = b[2], s[3] = b[3];
  if (sw.image && s[3] < kFull) {
    v = (v * s[3]) >> 16;
    s[3] = kFull;
    if (v == 0) v = 1;
  }
  if (sw.color_vary) {
    const int32_t o = colour_offset(cv.amount, cv.next());
    for (int ch = 0; ch < 3; ++ch) s[ch] = clamp_channel(int64_t{s[ch]} + o);
  }
  if (sw.lum_vary) {
    const float t = lum_factor(lv.amount, lv.next());
    for (int ch = 0; ch < 3; ++ch) s[ch] = lum_vary(s[ch], t);
  }
  if (sw.primary)
    for (int ch = 0; ch < 4; ++ch) s[ch] = (f.primary_keep * s[ch] + f.primary_products[ch]) >> 8;
}

// The mask dab's value J for one pixel: the target M, or the picked-up mask
// value, varied; an offset that leaves 0..65535 selects fully.
inline uint32_t mask_source(const DabFrame& f, const PixelSwitches& sw, bool blend, VaryCursor& cv, VaryCursor& lv,
                            const uint16_t* b) {
  const uint32_t m = f.mask_target;
  uint32_t j = blend ? *b : m;
  if (sw.color_vary) {
    const int64_t x = int64_t{j} + colour_offset(cv.amount, cv.next());
    j = x < 0 || x > kFull ? kFull : static_cast<uint32_t>(x);
  }
  if (sw.lum_vary) j = lum_vary(blend ? j : m, lum_factor(lv.amount, lv.next()));
  if (blend && sw.primary) j = (f.primary_products[0] + j * f.primary_keep) >> 8;
  return j;
}

// Paints J into the mask word with coverage w; the remix carries the old mask
// value back into the picked-up plane.
inline void mask_write(const DabFrame& f, uint32_t w, uint32_t j, uint16_t* m, uint16_t* b, bool remixing) {
  const uint32_t old = *m;
  *m = static_cast<uint16_t>(((((65536 - w) * old) >> 8) + w * j / 256) >> 8);
  if (remixing) *b = static_cast<uint16_t>(std::min(kFull, ((f.remix_strength * j + old * f.remix_keep) >> 8) + 1));
}

// The blend remix: the painted result is written back into the blend pixel so
// that the brush carries the colour it has just laid down.
inline void remix(const DabFrame& f, const uint32_t s[4], const MixResult& r, uint32_t da, uint16_t* b) {
  const uint32_t sa = r.source_alpha;
  if (sa == 0) {
    b[0] = static_cast<uint16_t>(r.d[0]), b[1] = static_cast<uint16_t>(r.d[1]), b[2] = static_cast<uint16_t>(r.d[2]);
    b[3] = static_cast<uint16_t>((f.remix_keep * da) >> 8);
  } else if (da == 0) {
    b[0] = static_cast<uint16_t>(s[0]), b[1] = static_cast<uint16_t>(s[1]), b[2] = static_cast<uint16_t>(s[2]);
    b[3] = static_cast<uint16_t>((f.remix_strength * sa) >> 8);
  } else {
    // The + 1 stops at 65535 so a full channel does not wrap to 0.
    for (int ch = 0; ch < 3; ++ch)
      b[ch] = static_cast<uint16_t>(std::min(kFull, ((f.remix_keep * r.d[ch] + f.remix_strength * s[ch]) >> 8) + 1));
    b[3] = static_cast<uint16_t>((f.remix_keep * da + f.remix_strength * sa) >> 8);
  }
}

// The write step with every rule: erasing touches alpha only (a blob lock keeps
// thin pixels and a floor under solid ones); painting keeps colour under the
// colour lock and alpha where the layer or the blob lock protects it.
inline void write_general(const DabFrame& f, const MixResult& r, uint16_t* p) {
  const uint32_t da = p[3], a = r.c[3];
  if (f.erasing) {
    if (!f.blob_locked) p[3] = static_cast<uint16_t>(a);
    else if (da > 8191) p[3] = static_cast<uint16_t>(std::max<uint32_t>(a, 9215));
    return;
  }
  if (!f.color_locked)
    p[0] = static_cast<uint16_t>(r.c[0]), p[1] = static_cast<uint16_t>(r.c[1]), p[2] = static_cast<uint16_t>(r.c[2]);
  if (f.alpha_rule && (!f.blob_locked || (da > 8191 && a > 8191)))
    p[3] = static_cast<uint16_t>(f.alpha_level >= 1 ? static_cast<uint32_t>(f.alpha_level) : a);
}

inline void load_pixel(const uint16_t* p, uint32_t d[4]) { d[0] = p[0], d[1] = p[1], d[2] = p[2], d[3] = p[3]; }

}  // namespace dab

}  // namespace cvl
