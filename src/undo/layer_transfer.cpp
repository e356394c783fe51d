#include "undo/layer_transfer.h"

#include <cstring>

#include "core/buffer.h"
#include "core/canvas_geometry.h"
#include "layers/pixel_access.h"
#include "layers/rgba32_loader.h"
#include "codecs/deflate.h"
#include "layers/layer_stack.h"

namespace cvl {

int32_t get_rgba32_layer_compressed(Engine& e, uint8_t* out, int32_t capacity, int32_t slot, int32_t option) {
  const Layer* layer = layer_with_pixels(e, slot);
  if (!layer || !out || capacity <= 0) return 0;
  const size_t bytes = e.canvas_pixels() * 4;
  Buffer<uint8_t> scratch(bytes);
  // A layer smaller than the canvas leaves the rest of the block transparent black.
  const LayerSpan span = canvas_span(e, *layer);
  if (span.cols < e.canvas_width || span.rows < e.canvas_height) std::memset(scratch.get(), 0, bytes);
  get_rgba32_layer(e, scratch.get(), e.canvas_width * 4, layer);
  return static_cast<int32_t>(
      imaging::deflate_buffer(scratch.get(), bytes, out, static_cast<size_t>(capacity), option));
}

int32_t load_rgba32_layer_compressed(Engine& e, const uint8_t* block, int32_t length, int32_t slot) {
  const Layer* layer = layer_with_pixels(e, slot);
  if (!layer || !block || length <= 0) return 0;
  const int32_t width = layer->width, height = layer->height;
  const size_t bytes = static_cast<size_t>(width) * static_cast<size_t>(height) * 4;
  Buffer<uint8_t> scratch(bytes);
  // A cut or damaged block would load whatever the scratch image held before.
  if (imaging::inflate_buffer(block, static_cast<size_t>(length), scratch.get(), bytes) != bytes) return 0;
  return load_rgba32_layer(e, scratch.get(), width * 4, slot, 0, 0, width, height, false);
}

}  // namespace cvl
