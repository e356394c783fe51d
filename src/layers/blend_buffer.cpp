#include "layers/blend_buffer.h"

#include <algorithm>
#include <cstring>

#include "core/tool_settings.h"
#include "core/engine.h"
#include "layers/pixel_access.h"
#include "layers/layer_stack.h"

namespace cvl {

namespace {

// Where the brush square around a centre meets the source: canvas columns
// [left, right) and rows [top, bottom), starting at patch cell (px, py).
struct PatchClip {
  int32_t n = 0;
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  int32_t px = 0, py = 0;
  bool crossed = false;  // part of the square lies outside
};

// The patch edge: the brush size, never more than the buffer holds.
int32_t patch_size(const Engine& e, const ToolSettings& t) { return std::clamp(t.brush_size, 0, e.brush_capacity); }

PatchClip clip_patch(int32_t n, int32_t x, int32_t y, int32_t width, int32_t height) {
  PatchClip c;
  c.n = n;
  const int32_t h = c.n / 2;
  const int32_t l = x - h, t = y - h, r = l + c.n, b = t + c.n;
  c.left = std::max(l, 0);
  c.top = std::max(t, 0);
  c.right = std::min(r, width);
  c.bottom = std::min(b, height);
  c.px = c.left - l;
  c.py = c.top - t;
  c.crossed = l < 0 || t < 0 || r > width || b > height;
  return c;
}

uint16_t* patch_cell(const BlendBuffer& bb, int32_t col, int32_t row, int32_t channels) {
  return bb.pixels.get() + static_cast<size_t>(row) * static_cast<size_t>(bb.row_stride) +
         static_cast<size_t>(col) * static_cast<size_t>(channels);
}

bool blending_on(const Engine& e, const ToolSettings& t) { return t.blend_strength != 0 && e.blend_buffer.pixels; }

// The pick-up over a source of the given size (canvas-sized unless a layer is smaller).
int32_t pick_up_from(const Engine& e, const ToolSettings& t, int32_t x, int32_t y, const uint16_t* source,
                     int32_t width, int32_t height, int32_t amount, bool pick_up) {
  if (!blending_on(e, t)) return 0;
  if (!source) return 1;
  const BlendBuffer& bb = e.blend_buffer;
  const int32_t c = std::clamp(amount, 0, 256), k = 256 - c;
  const uint16_t paint_alpha = static_cast<uint16_t>((c & 255) << 8);
  const uint16_t empty_alpha = pick_up ? static_cast<uint16_t>((k & 255) << 8) : paint_alpha;
  const PatchClip clip = clip_patch(patch_size(e, t), x, y, width, height);
  if (clip.crossed) {
    for (int32_t row = 0; row < clip.n; ++row)
      for (int32_t col = 0; col < clip.n; ++col) {
        uint16_t* cell = patch_cell(bb, col, row, 4);
        if (pick_up) {
          cell[3] = 65535;
        } else {
          std::copy(t.paint_color.begin(), t.paint_color.begin() + 3, cell);
          cell[3] = paint_alpha;
        }
      }
  }
  const uint16_t* mask = e.mask_active() ? e.mask.get() : nullptr;
  for (int32_t row = clip.top; row < clip.bottom; ++row) {
    const size_t at = static_cast<size_t>(row) * static_cast<size_t>(width);
    for (int32_t col = clip.left; col < clip.right; ++col) {
      const uint16_t* s = source + (at + static_cast<size_t>(col)) * 4;
      uint16_t* cell = patch_cell(bb, clip.px + col - clip.left, clip.py + row - clip.top, 4);
      int32_t a = s[3];
      if (mask) {
        const uint32_t m = mask[static_cast<size_t>(row) * static_cast<size_t>(e.canvas_width) + static_cast<size_t>(col)];
        const uint32_t w = m == 65535 ? 65535 : (m * 65535) >> 16;
        a = static_cast<int32_t>(w / 65535.0 * a);
      }
      if (a == 0) {
        std::copy(t.paint_color.begin(), t.paint_color.begin() + 3, cell);
        cell[3] = empty_alpha;
        continue;
      }
      // The + 1 keeps picked-up colour from ever reaching 0 where the canvas shows.
      for (int ch = 0; ch < 3; ++ch)
        cell[ch] = static_cast<uint16_t>(std::min(65280, ((c * t.paint_color[ch] + k * s[ch]) >> 8) + 1));
      cell[3] = static_cast<uint16_t>((c * t.paint_color[3] + k * a) >> 8);
    }
  }
  return 1;
}

int32_t pick_up_layer(const Engine& e, const ToolSettings& t, int32_t x, int32_t y, const Layer* layer, int32_t amount,
                      bool pick_up) {
  if (!blending_on(e, t)) return 0;
  if (!layer || !layer->has_pixels()) return 1;
  if (layer->width != e.canvas_width) return 1;  // rows must follow the canvas stride
  return pick_up_from(e, t, x, y, layer->data(), e.canvas_width, std::min(e.canvas_height, layer->height), amount,
                      pick_up);
}

}  // namespace

int32_t do_copy_blend_buffer(const Engine& e, const ToolSettings& t, int32_t x, int32_t y, const uint16_t* source,
                             int32_t amount, bool pick_up) {
  return pick_up_from(e, t, x, y, source, e.canvas_width, e.canvas_height, amount, pick_up);
}

int32_t copy_blend_buffer_surface(const Engine& e, const ToolSettings& t, int32_t x, int32_t y, int32_t amount,
                                  bool pick_up) {
  return pick_up_layer(e, t, x, y, current_layer_with_pixels(e), amount, pick_up);
}

int32_t copy_blend_buffer_layer(Engine& e, const ToolSettings& t, int32_t slot, int32_t x, int32_t y, int32_t amount) {
  return pick_up_layer(e, t, x, y, layer_with_pixels(e, slot), amount, false);
}

int32_t copy_blend_buffer_under_layer(const Engine& e, const ToolSettings& t, int32_t x, int32_t y, int32_t amount) {
  return pick_up_from(e, t, x, y, e.under_layer.pixels.get(), e.canvas_width, e.canvas_height, amount, false);
}

int32_t copy_blend_buffer_trace(const Engine& e, const ToolSettings& t, int32_t x, int32_t y, int32_t amount) {
  return pick_up_layer(e, t, x, y, e.trace_layer, amount, false);
}

int32_t do_copy_blend_buffer_mask(const Engine& e, const ToolSettings& t, int32_t x, int32_t y, int32_t amount) {
  if (!blending_on(e, t)) return 0;
  if (!e.mask) return 1;
  const BlendBuffer& bb = e.blend_buffer;
  const auto& pc = t.paint_color;
  const int32_t c = std::clamp(amount, 0, 256), k = 256 - c;
  const int32_t lum = (pc[0] + pc[1] + pc[2]) / 3;
  // The paint's own mask value; a paint colour above 65280 counts as black.
  const int32_t v = lum <= 255 ? 65535 : std::max(0, 65280 - lum);
  const PatchClip clip = clip_patch(patch_size(e, t), x, y, e.canvas_width, e.canvas_height);
  if (clip.crossed)
    for (int32_t row = 0; row < clip.n; ++row)
      for (int32_t col = 0; col < clip.n; ++col) *patch_cell(bb, col, row, 1) = static_cast<uint16_t>(v);
  for (int32_t row = clip.top; row < clip.bottom; ++row) {
    const uint16_t* m = e.mask.get() + static_cast<size_t>(row) * static_cast<size_t>(e.canvas_width);
    for (int32_t col = clip.left; col < clip.right; ++col)
      *patch_cell(bb, clip.px + col - clip.left, clip.py + row - clip.top, 1) =
          static_cast<uint16_t>(std::min(65280, ((m[col] * k + c * v) >> 8) + 1));
  }
  return 1;
}

void clear_blend_buffer(const Engine& e) {
  if (!e.blend_buffer.pixels) return;
  const size_t cap = static_cast<size_t>(std::max(e.brush_capacity, 0));
  std::memset(e.blend_buffer.pixels.get(), 0, cap * cap * 2);
}

void filter_blend_buffer(const Engine& e, const ToolSettings& tool, int32_t kind, int32_t level_percent) {
  const BlendBuffer& bb = e.blend_buffer;
  if (!bb.pixels) return;
  const int32_t n = patch_size(e, tool);
  const int32_t t = static_cast<int32_t>(level_percent * 655.35);
  for (int32_t row = 0; row < n; ++row)
    for (int32_t col = 0; col < n; ++col) {
      uint16_t* p = patch_cell(bb, col, row, 4);
      switch (kind) {
        case 289:
          p[0] = p[1] = p[2] = static_cast<uint16_t>((p[0] + p[1] + p[2]) / 3);
          break;
        case 290:
          for (int ch = 0; ch < 3; ++ch) p[ch] = static_cast<uint16_t>(65535 - p[ch]);
          break;
        case 291:
          for (int ch = 0; ch < 3; ++ch)
            if (p[ch] < t) p[ch] = 0;
          break;
        case 292:
          for (int ch = 0; ch < 3; ++ch)
            if (p[ch] > t) p[ch] = 65280;
          break;
        default:
          return;
      }
    }
}

}  // namespace cvl
