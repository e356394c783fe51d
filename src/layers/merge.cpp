#include "layers/merge.h"

#include <algorithm>
#include <cstring>

#include "core/canvas_geometry.h"
#include "layers/rect_clip.h"
#include "layers/pixel_access.h"
#include "layers/composite.h"
#include "layers/layer_stack.h"
#include "layers/mix_mode_names.h"
#include "imaging/parallel_bands.h"

namespace cvl {

int32_t find_layer_mask(const Engine& e, int32_t slot) {
  const int32_t top = std::min(e.top_layer, kLayerSlots - 1);
  for (int32_t s = slot + 1; s <= top; ++s) {
    const Layer& layer = e.layer_slots[static_cast<size_t>(s)];
    if (!layer.has_pixels() || !layer.visible) continue;
    return layer.mixMode == kModeLayerMask ? s : 0;
  }
  return 0;
}

namespace {

// The layer-mask pixels for compositing `layer`: they are addressed with the
// layer's own stride and offsets, so a mask of another shape is not used.
const uint16_t* layer_mask_pixels(const Engine& e, int32_t slot, const Layer& layer) {
  const int32_t mask_slot = find_layer_mask(e, slot);
  if (mask_slot == 0) return nullptr;
  const Layer& mask = e.layer_slots[static_cast<size_t>(mask_slot)];
  if (mask.width != layer.width || mask.height != layer.height) return nullptr;
  return mask.data();
}

CompositeArgs layer_source(const Engine& e, int32_t slot, const Layer& layer) {
  CompositeArgs args;
  args.src = layer.data();
  args.src_stride = layer.row_stride;
  args.layer_mask = layer_mask_pixels(e, slot, layer);
  args.layer_mask_mode = args.layer_mask ? kModeLayerMask : 0;
  args.mode = layer.mixMode;
  args.opacity = layer.opacity;
  return args;
}

}  // namespace

void merge_layer(Engine& e, int32_t src_slot, int32_t dst_slot) {
  const Layer* src = layer_with_pixels(e, src_slot);
  Layer* dst = layer_with_pixels(e, dst_slot);
  if (!src || !dst) return;
  CompositeArgs args = layer_source(e, src_slot, *src);
  args.width = std::min(src->width, dst->width);
  args.height = std::min(src->height, dst->height);
  args.dst = dst->data();
  args.dst_stride = dst->row_stride;
  args.same_alpha = src->mixMode == dst->mixMode && src->mixMode > 20;
  composite(args);
}

void merge_layer_into_rect(Engine& e, int32_t slot, uint16_t* dst, int32_t x, int32_t y, int32_t width,
                           int32_t height) {
  const Layer* layer = layer_with_pixels(e, slot);
  if (!layer || !dst) return;
  // Only the part of the rectangle inside the layer is read; the buffer keeps
  // its origin at the requested corner.
  const int32_t x0 = std::max(x, 0), y0 = std::max(y, 0);
  const int32_t x1 = end_within(x, width, layer->width), y1 = end_within(y, height, layer->height);
  if (x1 <= x0 || y1 <= y0) return;
  CompositeArgs args = layer_source(e, slot, *layer);
  args.x = x0;
  args.y = y0;
  args.width = x1 - x0;
  args.height = y1 - y0;
  args.dst = dst;
  args.dst_x = x0 - x;
  args.dst_y = y0 - y;
  args.dst_stride = width * 4;
  composite(args);
}

void merge_rect(Engine& e, uint16_t* dst, int32_t x, int32_t y, int32_t width, int32_t height) {
  if (!dst || width <= 0 || height <= 0) return;
  std::memset(dst, 0, static_cast<size_t>(width) * static_cast<size_t>(height) * 8);
  // The background is copied, not blended, and only when shown exactly as 1.
  const Layer& background = e.slot(kBackgroundSlot);
  if (background.visible == 1) get_rgba64_layer_rect(e, dst, width * 8, kBackgroundSlot, x, y, width, height);
  for (int32_t slot = 2; slot < kLayerSlots; ++slot) {
    const Layer& layer = e.slot(slot);
    if (layer.has_pixels() && layer.visible) merge_layer_into_rect(e, slot, dst, x, y, width, height);
  }
}

int32_t colour_at_merged(Engine& e, int32_t x, int32_t y) {
  uint16_t pixel[4];
  merge_rect(e, pixel, x, y, 1, 1);
  if ((pixel[3] >> 8) == 0) return -1;
  return (pixel[0] >> 8) << 16 | (pixel[1] >> 8) << 8 | (pixel[2] >> 8);
}

void merge_rgba32_into_layer(const Engine& e, const uint8_t* image, Layer& layer, int32_t mode, int32_t layer_mask_mode,
                             int32_t opacity, bool keep_dst_alpha) {
  if (!image || !layer.has_pixels()) return;
  const LayerSpan span = canvas_span(e, layer);
  if (span.cols <= 0 || span.rows <= 0) return;
  // Widened a row at a time: the result is the same as widening the whole
  // image first, without a canvas-sized scratch image.
  const int32_t stride = e.canvas_width * 4;
  CompositeArgs args;
  args.width = span.cols;
  args.height = 1;
  args.dst_stride = layer.row_stride;
  args.mode = mode;
  args.layer_mask_mode = layer_mask_mode;
  args.opacity = opacity;
  args.keep_dst_alpha = keep_dst_alpha;
  imaging::for_each_band(span.rows, span.cols, [&](int32_t first, int32_t end) {
    Buffer<uint16_t> row = Buffer<uint16_t>::try_allocate(static_cast<size_t>(span.cols) * 4);
    if (!row) return;
    CompositeArgs band = args;
    band.src = row.get();
    for (int32_t y = first; y < end; ++y) {
      const uint8_t* s = image + static_cast<size_t>(y) * static_cast<size_t>(stride);
      for (size_t i = 0; i < static_cast<size_t>(span.cols) * 4; ++i) row[i] = static_cast<uint16_t>(s[i] << 8);
      band.dst = layer_row(layer, y);
      composite(band);
    }
  });
}

}  // namespace cvl
