#include "ipl/layer_frame.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "core/buffer.h"
#include "core/canvas_geometry.h"
#include "core/engine.h"
#include "layers/pixel_access.h"
#include "core/pixel_convert.h"
#include "layers/rgba32_loader.h"
#include "layers/layer_stack.h"

namespace cvl {
namespace {

using imaging::ImageView;

// A packed RGBA32 image that may fail to be had; the frame then does nothing.
struct WorkImage {
  Buffer<uint8_t> bytes;
  ImageView view;

  WorkImage(int32_t width, int32_t height) {
    const uint64_t size = uint64_t(width) * uint64_t(height) * 4;
    if (width <= 0 || height <= 0 || size > SIZE_MAX / 2) return;
    bytes = Buffer<uint8_t>::try_allocate(static_cast<size_t>(size));
    if (bytes) view = {bytes.get(), width, height, 4, width * 4};
  }
  explicit operator bool() const { return static_cast<bool>(bytes); }
};

// The layer narrowed to 8 bits over the canvas. Whatever the layer does not
// cover (a layer smaller than the canvas) reads as transparent black.
void read_layer(const Engine& e, const Layer& layer, const ImageView& work) {
  if (layer.width < work.width || layer.height < work.height)
    std::memset(work.data, 0, static_cast<size_t>(work.stride) * static_cast<size_t>(work.height));
  get_rgba32_layer(e, work.data, work.stride, &layer);
}

// Lifts the alpha lock while a layer is rebuilt and puts it back on every path out.
class AlphaLockLifted {
 public:
  explicit AlphaLockLifted(Layer& layer) : layer_(layer), saved_(layer.lockAlpha) { layer.lockAlpha = 0; }
  ~AlphaLockLifted() { layer_.lockAlpha = saved_; }
  AlphaLockLifted(const AlphaLockLifted&) = delete;
  AlphaLockLifted& operator=(const AlphaLockLifted&) = delete;

 private:
  Layer& layer_;
  uint8_t saved_;
};

// Replaces the layer by a new_width x new_height one holding `out`.
void rebuild_layer(Engine& e, int32_t slot, Layer& layer, const ImageView& out) {
  AlphaLockLifted unlocked(layer);
  delete_layer(e, slot);
  // The new layer is written in its own geometry: the host gives the canvas
  // the new size afterwards, and the layer must then read as the output.
  if (create_layer(e, slot, out.width, out.height)) load_rgba32_whole_layer(e, out.data, out.stride, slot);
}

template <class Body>
void walk_layers(Engine& e, Body body) {
  for (int32_t slot = kBackgroundSlot; slot <= e.top_layer && slot < kLayerSlots; ++slot)
    if (e.slot(slot).has_pixels()) body(slot, e.slot(slot));
}

}  // namespace

void for_each_layer_in_place(Engine& canvas, const InPlaceLayerOp& op) {
  const Engine& e = canvas;
  WorkImage work(e.canvas_width, e.canvas_height);
  if (!work) return;
  walk_layers(canvas, [&](int32_t slot, Layer& layer) {
    read_layer(canvas, layer, work.view);
    if (!op(work.view)) return;
    load_rgba32_layer(canvas, work.view.data, work.view.stride, slot, 0, 0, layer.width, layer.height, false);
  });
}

void for_each_layer_resized(Engine& canvas, int32_t new_width, int32_t new_height, const ResizingLayerOp& op) {
  const Engine& e = canvas;
  WorkImage work(e.canvas_width, e.canvas_height);
  WorkImage out(new_width, new_height);
  if (!work || !out) return;
  walk_layers(canvas, [&](int32_t slot, Layer& layer) {
    read_layer(canvas, layer, work.view);
    if (op(work.view, out.view, slot)) rebuild_layer(canvas, slot, layer, out.view);
  });
}

void for_each_layer_streamed(Engine& canvas, int32_t new_width, int32_t new_height, const StreamingLayerOp& op) {
  const Engine& e = canvas;
  WorkImage out(new_width, new_height);
  if (!out || e.canvas_width <= 0 || e.canvas_height <= 0) return;
  walk_layers(canvas, [&](int32_t slot, Layer& layer) {
    // Rows as the canvas-sized copy holds them: the layer addressed over the
    // canvas, and transparent black where its pixels end.
    const CanvasPlane plane = canvas_plane(e, layer);
    const auto narrow_row = [plane, width = e.canvas_width](int32_t y, uint8_t* scratch) -> const uint8_t* {
      const int32_t cols = y < plane.height ? plane.cols(y) : 0;
      if (cols < width) std::memset(scratch, 0, static_cast<size_t>(width) * 4);
      if (cols > 0) narrow_rgba64_rect(scratch, width * 4, plane.row(y), width * 8, cols, 1, 4);
      return scratch;
    };
    if (op({narrow_row, e.canvas_width, e.canvas_height, 4}, out.view))
      rebuild_layer(canvas, slot, layer, out.view);
  });
}

}  // namespace cvl
