#include "brush/dab.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "brush/dab_rows.h"
#include "brush/grit.h"
#include "core/tool_settings.h"
#include "core/engine.h"
#include "core/rand.h"
#include "undo/stroke_rect.h"

namespace cvl {

namespace {

DabPath g_path = DabPath::Specialised;

constexpr uint32_t kFull = 65535;
constexpr int32_t kGritRowChoices = 25;

// The per-dab colour offset: (color_vary / 2 - rand() % color_vary) * 256, wide
// enough that no amount overflows before the clamp.
int64_t dab_colour_offset(int32_t amount) { return (int64_t{amount / 2} - crt_rand() % amount) * 256; }

// The dab colour: the paint colour, shifted as a whole by the colour variation
// (alpha too, so a negative shift thins the dab), or white without alpha to erase.
void set_dab_colour(DabFrame& f, const ToolSettings& t) {
  for (int ch = 0; ch < 3; ++ch) f.dab[ch] = t.paint_color[static_cast<size_t>(ch)];
  f.dab[3] = kFull;
  if (t.color_vary >= 1) {
    const int64_t o = dab_colour_offset(t.color_vary);
    for (int ch = 0; ch < 4; ++ch) f.dab[ch] = dab::clamp_channel(f.dab[ch] + o);
  }
  if (t.erase_once) f.dab[0] = f.dab[1] = f.dab[2] = kFull, f.dab[3] = 0;
}

// A fresh grit pattern once the stroke has run its drawing length: another of
// the 20 buffers, entered at a random row and column.
void choose_grit_pattern(Engine& e, const ToolSettings& t, GritPosition& g) {
  if (t.grit_dot_size == 0 || e.drawing_length >= 1) return;
  int32_t k;
  do {
    k = crt_rand() % kGritBuffers;
  } while (k == g.buffer && g.offset == 0);
  const int32_t row = crt_rand() % kGritRowChoices;
  g = {k, row * e.brush_capacity + crt_rand() % kGritRowChoices};
  e.drawing_length = t.drawing_length_reset;
}

// The footprint: scaled_size square centred on (x, y), clipped to the canvas.
// Widens the stroke rectangle (and the paint layer's) even when nothing of it
// lies on the canvas; that is bookkeeping the host relies on.
void place_footprint(DabFrame& f, const Engine& e, const ToolSettings& t, StrokeRect& stroke, int32_t x, int32_t y) {
  const int64_t size = std::clamp<int32_t>(t.scaled_size, 0, kScaleTableSize);
  const int64_t left = int64_t{x} - size / 2, top = int64_t{y} - size / 2;
  f.cx = 0;
  f.ry0 = 0;
  int64_t x0 = left, y0 = top;
  if (x0 < 0) {
    f.cx = -x0 < size ? t.scale_table[static_cast<size_t>(-x0)] : 0;
    x0 = 0;
  }
  if (y0 < 0) {
    f.ry0 = static_cast<int32_t>(std::min<int64_t>(-y0, size));
    y0 = 0;
  }
  const auto clip = [](int64_t v) { return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); };
  f.x0 = clip(x0);
  f.y0 = clip(y0);
  f.x1 = clip(std::min<int64_t>(left + size, e.canvas_width));
  f.y1 = clip(std::min<int64_t>(top + size, e.canvas_height));
  f.canvas_width = e.canvas_width;
  widen_stroke_rect(stroke, f.x0, f.y0, f.x1, f.y1);
}

void widen_paint_rect(Layer& p, const DabFrame& f) {
  p.changed_left = std::min(p.changed_left, f.x0);
  p.changed_top = std::min(p.changed_top, f.y0);
  p.changed_right = std::max(p.changed_right, f.x1);
  p.changed_bottom = std::max(p.changed_bottom, f.y1);
}

// A variation table takes part when it can give a whole row of reads after any
// restart; a table left from a smaller brush capacity cannot, and is skipped.
VaryCursor vary_cursor(const RandArrayByte& table, int32_t amount, int32_t capacity, int32_t size) {
  VaryCursor c;
  if (amount <= 0 || !table.data || int64_t{table.length} < int64_t{capacity} + size) return c;
  c.data = table.data.get();
  c.length = table.length;
  c.amount = amount;
  return c;
}

void restart_if_needed(VaryCursor& c, int32_t capacity, int32_t size) {
  if (c.on() && (c.pos < 0 || c.pos + size >= c.length)) c.pos = crt_rand() % capacity;
}

// The sampling half of the frame, shared by colour and mask dabs: tip, grit,
// rotation, coverage factors, variation tables. `columns` limits the painted
// columns to the destination's width.
void set_sampling(DabFrame& f, const Engine& e, const ToolSettings& t, const GritPosition& grit, int32_t dest_width) {
  f.tip = e.brush_alpha.get();
  f.capacity = e.brush_capacity;
  f.scale = t.scale_table.data();
  f.grit = t.grit_dot_size != 0 ? grit_bytes(e, grit) : nullptr;
  f.density_threshold = t.density_threshold;
  f.rotate = t.rotate_mode == 1;
  f.rot_cos = t.rotate_cos;
  f.rot_sin = t.rotate_sin;
  f.rot_centre = t.brush_size / 2;
  f.rot_bound = std::min(t.brush_size, e.brush_capacity);
  // A negative opacity would wrap the coverage to huge values; it paints nothing.
  f.opacity_scale = t.opacity_percent < 100 ? static_cast<uint32_t>(std::clamp(t.opacity_scale, 0, 128)) : 128u;
  f.texture = e.texture_map.get();
  const int32_t size = std::clamp<int32_t>(t.scaled_size, 0, kScaleTableSize);
  f.color_vary = vary_cursor(e.pix_color_vary_table, t.pix_color_vary, e.brush_capacity, size);
  f.lum_vary = vary_cursor(e.pix_lum_vary_table, t.pix_lum_vary, e.brush_capacity, size);

  // Columns whose tip sample would fall outside the tip's rows of the buffers
  // (a brush as large as the capacity, sampled from a clipped edge) are left
  // unpainted rather than read from the next row or past the end.
  f.cols = std::max(0, std::min(f.x1, dest_width) - f.x0);
  while (f.cols > 0 && dab::straight_column(f, f.cols - 1) >= f.capacity) --f.cols;
  f.straight_run = true;
  for (int32_t j = 1; j < f.cols && f.straight_run; ++j) f.straight_run = f.scale[j] == f.scale[0] + j;
}

void set_blending(DabFrame& f, const Engine& e, const ToolSettings& t) {
  f.blending = t.blend_strength != 0 && !t.blend_disabled_once && e.blend_buffer.pixels;
  f.blend = f.blending ? e.blend_buffer.pixels.get() : nullptr;
  f.image_brush = t.image_brush_mode != 0;
  f.primary = t.blend_primary_strength > 0;
  f.primary_keep = static_cast<uint32_t>(t.blend_primary_keep);
  for (int ch = 0; ch < 4; ++ch) f.primary_products[ch] = static_cast<uint32_t>(t.blend_primary_strength) * f.dab[ch];
  f.remixing = f.blending && t.blend_remix != 0;
  f.remix_strength = static_cast<uint32_t>(t.blend_strength);
  f.remix_keep = static_cast<uint32_t>(t.blend_keep);
}

void set_mix(DabFrame& f, const ToolSettings& t) {
  f.erasing = t.erase_once != 0;
  f.mode = t.mix_mode;
  f.mix.strength = static_cast<uint32_t>(t.mix_strength);
  f.mix.keep = static_cast<uint32_t>(t.mix_keep);
  // A shift count outside 0..31 is taken as the processor takes it, modulo 32.
  f.mix.shift = static_cast<uint32_t>(t.mix_shift) & 31u;
  for (int b = 0; b < 4; ++b)
    for (int ch = 0; ch < 3; ++ch) f.mix.banks[b][ch] = t.color_banks[static_cast<size_t>(b)][static_cast<size_t>(ch)];
  f.mix.source_alpha_mask = f.erasing ? 0u : 0xFFFFFFFFu;
  f.mix.blending = f.blending;
  f.mix.erasing = f.erasing;
  f.kernel = select_mix_kernel(f.mode, f.blending, f.erasing);
  f.blob_locked = t.blob_locked != 0;
  f.color_locked = t.color_locked != 0;
  f.alpha_level = t.alpha_level;
}

WriteKind write_kind(const DabFrame& f) {
  if (f.remixing) return WriteKind::GeneralRemix;
  if (f.erasing) return f.blob_locked ? WriteKind::General : WriteKind::Erase;
  const bool plain = !f.color_locked && f.alpha_rule && !f.blob_locked && f.alpha_level < 1;
  return plain ? WriteKind::Paint : WriteKind::General;
}

// The layer a colour dab paints: the paint layer while it has pixels, else the
// current layer. Alpha may change on the paint layer, or on a painting layer
// (above the background) that neither the layer nor the tool locks.
Layer* destination(Engine& e, const ToolSettings& t, bool& alpha_rule) {
  if (e.paint_layer.has_pixels()) {
    alpha_rule = true;
    return &e.paint_layer;
  }
  Layer* cur = e.current_layer && e.current_layer->has_pixels() ? e.current_layer : nullptr;
  alpha_rule = cur && cur->lockAlpha == 0 && t.alpha_locked == 0 && e.current_layer_num > 1;
  return cur;
}

// Asks for the bytes [p, p + bytes) of one row, a cache line at a time. Both
// prefetch helpers are forced inline: a call to a function that only
// prefetches has no effect the compiler can see, and it drops the call. The
// lines are asked for into the outer caches (locality 2) rather than the
// first level: a few rows of requests then wait in the larger queue of the
// outer cache instead of stalling the loads the mix issues now, and scattered
// dabs ran 10 to 35% faster so.
[[gnu::always_inline]] inline void prefetch_span(const void* p, size_t bytes) {
  const uintptr_t first = reinterpret_cast<uintptr_t>(p) & ~uintptr_t{63};
  const uintptr_t end = reinterpret_cast<uintptr_t>(p) + bytes;
  for (uintptr_t line = first; line < end; line += 64) __builtin_prefetch(reinterpret_cast<const void*>(line), 0, 2);
}

// Asks for rows [from, to) of the canvas-sized planes the dab reads and writes.
// Scattered over a large canvas each row of a dab lies on pages nothing has
// touched lately, and met one after another the misses queue behind each
// other; asked for a few rows ahead they overlap with the arithmetic. Without
// rotation only the span of the row where the tip is not 0 is asked for, and
// rows the dab does not paint not at all.
[[gnu::always_inline]] inline void prefetch_rows(const DabFrame& f, int32_t from, int32_t to) {
  if (f.cols <= 0) return;
  to = std::min(to, std::min(f.y1, f.paint_rows_end));
  const size_t width = static_cast<size_t>(f.canvas_width);
  for (int32_t y = std::max(from, f.y0); y < to; ++y) {
    int32_t first = 0, last = f.cols;
    if (!f.rotate) {
      const int32_t tr = f.scale[f.ry0 + (y - f.y0)];
      if (tr < 0 || tr >= f.capacity) continue;
      dab::tip_span(f, tr, first, last);
      if (first >= last) continue;
    }
    const size_t row = static_cast<size_t>(y), x = static_cast<size_t>(f.x0) + static_cast<size_t>(first);
    const size_t at = row * width + x, cols = static_cast<size_t>(last - first);
    if (f.dest) prefetch_span(f.dest + row * static_cast<size_t>(f.dest_stride) + x * 4, cols * 8);
    if (f.mask) prefetch_span(f.mask + at, cols * 2);
    if (f.mask_plane) prefetch_span(f.mask_plane + at, cols * 2);
    if (f.texture) prefetch_span(f.texture + at, cols);
  }
}

// Rows ahead to ask for. A few rows cover a miss while the rows between are
// mixed; asking for more at once only fills the queue of outstanding misses
// (each row also needs its own page looked up), and the prefetches then wait
// in line with the loads the mix needs now. Wide rows get fewer.
int32_t prefetch_distance(const DabFrame& f) {
  const size_t cols = static_cast<size_t>(std::max(f.cols, 1));
  const size_t row = cols * ((f.dest ? 8 : 0) + (f.mask || f.mask_plane ? 2 : 0) + (f.texture ? 1 : 0));
  return static_cast<int32_t>(std::clamp<size_t>(8192 / std::max<size_t>(row, 1), 1, 4));
}

// Renders the rows; rows before asked_end have been asked for already.
void run_rows(DabFrame& f, DabRowFn row, const ToolSettings& t, int32_t asked_end) {
  const int32_t size = std::clamp<int32_t>(t.scaled_size, 0, kScaleTableSize);
  const int32_t ahead = prefetch_distance(f);
  prefetch_rows(f, std::max(f.y0, asked_end), f.y0 + ahead);
  for (int32_t y = f.y0; y < f.y1; ++y) {
    prefetch_rows(f, y + ahead, y + ahead + 1);
    restart_if_needed(f.color_vary, f.capacity, size);
    restart_if_needed(f.lum_vary, f.capacity, size);
    const int32_t tr = f.scale[f.ry0 + (y - f.y0)];
    if (f.cols > 0 && y < f.paint_rows_end && tr >= 0 && tr < f.capacity) row(f, y, tr);
  }
}

bool has_brush(const Engine& e) { return e.brush_alpha && e.brush_capacity > 0; }

// What a dab reads and writes besides the canvas and the tool: the grit
// position, the stroke rectangle, and the row code chosen.
struct DabContext {
  GritPosition& grit;
  StrokeRect& stroke;
  DabPath path;
};

void paint_colour_dab(Engine& e, const ToolSettings& t, const DabContext& c, int32_t x, int32_t y) {
  if (!has_brush(e)) return;
  DabFrame f;
  set_dab_colour(f, t);
  choose_grit_pattern(e, t, c.grit);
  place_footprint(f, e, t, c.stroke, x, y);
  if (e.paint_layer.has_pixels()) widen_paint_rect(e.paint_layer, f);
  Layer* dest = destination(e, t, f.alpha_rule);
  if (!dest) return;
  f.dest = dest->data();
  f.dest_stride = dest->row_stride;
  f.paint_rows_end = std::min(f.y1, dest->height);
  f.mask = e.mask_active() ? e.mask.get() : nullptr;
  f.solid = t.solid_mode != 0;
  // The first rows are asked for before the rest of the frame is settled, so
  // that their misses overlap with that work (set_sampling settles the columns
  // and the tip the requests are trimmed to).
  set_sampling(f, e, t, c.grit, dest->width);
  const int32_t asked_end = f.y0 + prefetch_distance(f);
  prefetch_rows(f, f.y0, asked_end);
  set_blending(f, e, t);
  set_mix(f, t);
  f.write = write_kind(f);
  run_rows(f, c.path == DabPath::Generic ? colour_row_generic : select_colour_row(f), t, asked_end);
}

// The mask value a paint colour selects: dark colours select fully, white
// deselects, and the colour variation shifts it (any overflow selects fully).
uint32_t mask_target(const ToolSettings& t) {
  const int32_t l = (t.paint_color[0] + t.paint_color[1] + t.paint_color[2]) / 3;
  int64_t m = l < 256 ? 65535 : 65280 - l;
  if (t.color_vary > 0) {
    m += dab_colour_offset(t.color_vary);
    if (m > 65535 || m < 0) m = 65535;
  }
  if (t.erase_once) m = 65535;
  return static_cast<uint32_t>(m);
}

void paint_mask_dab(Engine& e, ToolSettings& t, const DabContext& c, int32_t x, int32_t y) {
  if (has_brush(e)) {
    DabFrame f;
    f.mask_target = mask_target(t);
    f.dab[0] = f.dab[1] = f.dab[2] = f.dab[3] = f.mask_target;
    choose_grit_pattern(e, t, c.grit);
    place_footprint(f, e, t, c.stroke, x, y);
    if (e.mask) {
      f.mask_plane = e.mask.get();
      f.paint_rows_end = f.y1;
      f.mask_solid = t.solid_mode != 0;
      set_sampling(f, e, t, c.grit, e.canvas_width);
      set_blending(f, e, t);
      run_rows(f, c.path == DabPath::Generic ? mask_row_generic : select_mask_row(f), t, f.y0);
    }
  }
  t.blend_disabled_once = 0;
}

}  // namespace

void set_dab_path(DabPath path) { g_path = path; }

void draw_dab_grit_mask(Engine& e, ToolSettings& t, int32_t x, int32_t y) {
  paint_mask_dab(e, t, {current_grit(), stroke_rect(), g_path}, x, y);
}

void draw_dab_grit(Engine& e, ToolSettings& t, int32_t x, int32_t y, int32_t r, int32_t g, int32_t b) {
  const DabContext c{current_grit(), stroke_rect(), g_path};
  t.paint_color = {static_cast<uint16_t>(r & 0xFF00), static_cast<uint16_t>(g & 0xFF00),
                   static_cast<uint16_t>(b & 0xFF00), 65535};
  // The mask maker (and an erase switch set with it) lasts the whole mask stroke.
  if (t.mask_maker_on) {
    paint_mask_dab(e, t, c, x, y);
    return;
  }
  paint_colour_dab(e, t, c, x, y);
  t.blend_disabled_once = 0;
  t.mask_maker_on = 0;
  t.erase_once = 0;
}

}  // namespace cvl
