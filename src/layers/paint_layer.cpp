#include "layers/paint_layer.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "core/canvas_geometry.h"
#include "imaging/filters/blur.h"
#include "layers/composite.h"
#include "layers/layer_stack.h"
#include "layers/mix_mode_names.h"

namespace cvl {

namespace {

void empty_changed_area(const Engine& e, Layer& p) {
  p.changed_left = e.canvas_width;
  p.changed_top = e.canvas_height;
  p.changed_right = 0;
  p.changed_bottom = 0;
}

size_t paint_words(const Layer& p) { return static_cast<size_t>(p.width) * static_cast<size_t>(p.height) * 4; }

struct Rect {
  int32_t left, top, right, bottom;
  bool empty() const { return right <= left || bottom <= top; }
};

// The changed area, clipped to a width x height image.
Rect changed_within(const Layer& p, int32_t width, int32_t height) {
  return {std::max(p.changed_left, 0), std::max(p.changed_top, 0), std::min(p.changed_right, width),
          std::min(p.changed_bottom, height)};
}

}  // namespace

void clear_paint_layer(Engine& e) {
  Layer& p = e.paint_layer;
  if (p.has_pixels()) std::memset(p.data(), 0, paint_words(p) * 2);
  empty_changed_area(e, p);
}

void create_paint_layer(Engine& e, int32_t opacity_percent, const char* mode_name) {
  Layer& p = e.paint_layer;
  if (mode_name && std::strlen(mode_name) < 50) std::strcpy(p.mode_name, mode_name);
  p.visible = 1;
  p.lockAlpha = 0;
  p.opacity = static_cast<uint16_t>(static_cast<int32_t>(opacity_percent * 2.56));
  p.mixMode = mode_from_name(mode_name);
  if (!p.has_pixels()) {
    p.width = e.canvas_width;
    p.height = e.canvas_height;
    p.row_stride = p.width * 4;
    p.pixels = Buffer<uint16_t>::try_allocate(paint_words(p));
    clear_paint_layer(e);
    // Dabs would then land on the layer itself; the host must hear of it.
    if (!p.has_pixels()) throw std::bad_alloc();
  }
}

void clear_paint_layer_old(Engine& e) {
  Layer& p = e.paint_layer;
  if (p.has_pixels()) {
    std::memset(p.data(), 0xFF, paint_words(p) * 2);
    const Rect r = changed_within(p, p.width, p.height);
    for (int32_t y = r.top; y < r.bottom && !r.empty(); ++y)
      std::memset(layer_row(p, y) + static_cast<size_t>(r.left) * 4, 0, static_cast<size_t>(r.right - r.left) * 8);
  }
  empty_changed_area(e, p);
}

void delete_paint_layer(Engine& e) { e.paint_layer.pixels.reset(); }

void merge_paint_layer(Engine& e, int32_t slot) {
  Layer& p = e.paint_layer;
  Layer* dst = layer_with_pixels(e, slot);
  if (p.has_pixels() && dst) {
    const Rect r = changed_within(p, std::min(p.width, dst->width), std::min(p.height, dst->height));
    if (!r.empty()) {
      CompositeArgs args;
      args.src = p.data();
      args.x = r.left;
      args.y = r.top;
      args.width = r.right - r.left;
      args.height = r.bottom - r.top;
      args.src_stride = p.row_stride;
      args.dst = dst->data();
      args.dst_x = r.left;
      args.dst_y = r.top;
      args.dst_stride = dst->row_stride;
      args.mode = p.mixMode;
      args.opacity = p.opacity;
      composite(args);
    }
  }
  clear_paint_layer(e);
}

void blur_paint_layer_alpha(Engine& e) {
  Layer& p = e.paint_layer;
  if (!p.has_pixels() || p.width <= 0 || p.height <= 0) return;
  const size_t n = static_cast<size_t>(p.width) * static_cast<size_t>(p.height);
  Buffer<uint8_t> planes = Buffer<uint8_t>::try_allocate(n * 2);
  if (!planes) return;
  uint8_t* a = planes.get();
  uint8_t* b = a + n;
  uint16_t* px = p.data();
  for (size_t i = 0; i < n; ++i) a[i] = b[i] = static_cast<uint8_t>(px[i * 4 + 3] >> 8);
  // A full-strength blur of the nearest neighbours: one 3x3 box pass.
  imaging::blur_plane8(b, p.width, p.height, p.width, 1, 1);
  // Solid parts stay solid; only the edges soften.
  for (size_t i = 0; i < n; ++i) px[i * 4 + 3] = a[i] >= 240 ? 65535 : static_cast<uint16_t>(b[i] << 8);
}

}  // namespace cvl
