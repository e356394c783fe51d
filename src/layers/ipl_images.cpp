#include "layers/ipl_images.h"

#include <cstring>

#include "core/engine.h"
#include "layers/pixel_access.h"

namespace cvl {
namespace {

Buffer<uint8_t>& slot_of(IplBuffers& b, IplBuffer which) {
  switch (which) {
    case IplBuffer::Src32: return b.src32;
    case IplBuffer::Dst32: return b.dst32;
    case IplBuffer::Src24: return b.src24;
    case IplBuffer::Dst24: return b.dst24;
  }
  return b.src32;
}

const Buffer<uint8_t>& slot_of(const IplBuffers& b, IplBuffer which) {
  return slot_of(const_cast<IplBuffers&>(b), which);
}

size_t canvas_bytes(const Engine& canvas, IplBuffer which) {
  return canvas.canvas_pixels() * static_cast<size_t>(ipl_channels(which));
}

void fill_from_current_layer(const Engine& canvas, IplBuffer which, uint8_t* dst) {
  const Layer* layer = ipl_source_layer(canvas);
  // Without a current layer, or with one smaller than the canvas, what the layer
  // does not cover is transparent black rather than whatever the heap held.
  if (!layer || layer->width < canvas.canvas_width || layer->height < canvas.canvas_height)
    std::memset(dst, 0, canvas_bytes(canvas, which));
  if (!layer) return;
  if (which == IplBuffer::Src32)
    get_rgba32_layer(canvas, dst, canvas.canvas_width * 4, layer);
  else
    get_rgb24_layer(canvas, dst, canvas.canvas_width * 3, layer);
}

}  // namespace

Layer* ipl_source_layer(const Engine& canvas) {
  Layer* layer = canvas.current_layer;
  return (layer && layer->has_pixels()) ? layer : nullptr;
}

int32_t ipl_channels(IplBuffer which) {
  return (which == IplBuffer::Src32 || which == IplBuffer::Dst32) ? 4 : 3;
}

uint8_t* ipl_alloc(Engine& canvas, IplBuffer which) {
  Buffer<uint8_t>& slot = slot_of(canvas.ipl, which);
  slot.reset();  // the old buffer goes first, so two never coexist
  const size_t bytes = canvas_bytes(canvas, which);
  if (bytes == 0) return nullptr;
  slot = Buffer<uint8_t>(bytes);
  if (which == IplBuffer::Src32 || which == IplBuffer::Src24) fill_from_current_layer(canvas, which, slot.get());
  return slot.get();
}

void ipl_free(Engine& canvas, IplBuffer which) { slot_of(canvas.ipl, which).reset(); }

uint8_t* ipl_buffer(const Engine& canvas, IplBuffer which) {
  const Buffer<uint8_t>& slot = slot_of(canvas.ipl, which);
  const size_t bytes = canvas_bytes(canvas, which);
  if (!slot || bytes == 0 || slot.size() != bytes) return nullptr;
  return slot.get();
}

uint8_t* ipl_update_src32(Engine& canvas) {
  uint8_t* buffer = ipl_buffer(canvas, IplBuffer::Src32);
  if (buffer) fill_from_current_layer(canvas, IplBuffer::Src32, buffer);
  return buffer;
}

void ipl_set(Engine& canvas, IplBuffer which, const uint8_t* src) {
  uint8_t* buffer = ipl_buffer(canvas, which);
  if (buffer && src) std::memcpy(buffer, src, canvas_bytes(canvas, which));
}

}  // namespace cvl
