#include "layers/ipl_images.h"

#include <cstring>

#include "core/engine.h"
#include "layers/pixel_access.h"

namespace cvl {
namespace {

Buffer<uint8_t>& slot_of(IplBuffer which) {
  IplBuffers& b = engine().ipl;
  switch (which) {
    case IplBuffer::Src32: return b.src32;
    case IplBuffer::Dst32: return b.dst32;
    case IplBuffer::Src24: return b.src24;
    case IplBuffer::Dst24: return b.dst24;
  }
  return b.src32;
}

size_t canvas_bytes(IplBuffer which) {
  return engine().canvas_pixels() * static_cast<size_t>(ipl_channels(which));
}

void fill_from_current_layer(IplBuffer which, uint8_t* dst) {
  const Engine& e = engine();
  const Layer* layer = current_layer_with_pixels();
  // Without a current layer, or with one smaller than the canvas, what the layer
  // does not cover is transparent black rather than whatever the heap held.
  if (!layer || layer->width < e.canvas_width || layer->height < e.canvas_height)
    std::memset(dst, 0, canvas_bytes(which));
  if (!layer) return;
  if (which == IplBuffer::Src32)
    get_rgba32_layer(dst, e.canvas_width * 4, layer);
  else
    get_rgb24_layer(dst, e.canvas_width * 3, layer);
}

}  // namespace

int32_t ipl_channels(IplBuffer which) {
  return (which == IplBuffer::Src32 || which == IplBuffer::Dst32) ? 4 : 3;
}

uint8_t* ipl_alloc(IplBuffer which) {
  Buffer<uint8_t>& slot = slot_of(which);
  slot.reset();  // the old buffer goes first, so two never coexist
  const size_t bytes = canvas_bytes(which);
  if (bytes == 0) return nullptr;
  slot = Buffer<uint8_t>(bytes);
  if (which == IplBuffer::Src32 || which == IplBuffer::Src24) fill_from_current_layer(which, slot.get());
  return slot.get();
}

void ipl_free(IplBuffer which) { slot_of(which).reset(); }

uint8_t* ipl_buffer(IplBuffer which) {
  Buffer<uint8_t>& slot = slot_of(which);
  const size_t bytes = canvas_bytes(which);
  if (!slot || bytes == 0 || slot.size() != bytes) return nullptr;
  return slot.get();
}

uint8_t* ipl_update_src32() {
  uint8_t* buffer = ipl_buffer(IplBuffer::Src32);
  if (buffer) fill_from_current_layer(IplBuffer::Src32, buffer);
  return buffer;
}

void ipl_set(IplBuffer which, const uint8_t* src) {
  uint8_t* buffer = ipl_buffer(which);
  if (buffer && src) std::memcpy(buffer, src, canvas_bytes(which));
}


}  // namespace cvl
