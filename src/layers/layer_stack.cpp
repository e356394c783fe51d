#include "layers/layer_stack.h"

namespace cvl {

Layer* layer_with_pixels(int32_t slot) {
  if (slot < 0 || slot >= kLayerSlots) return nullptr;
  Layer& layer = engine().slot(slot);
  return layer.has_pixels() ? &layer : nullptr;
}

void delete_layer(int32_t slot) {
  if (slot < 0 || slot >= kLayerSlots) return;
  engine().slot(slot).pixels.reset();
}

}  // namespace cvl

#include <cstring>

namespace cvl {

int32_t create_layer(int32_t slot, int32_t width, int32_t height) {
  if (slot < 0 || slot >= kLayerSlots || width < 0 || height < 0) return 0;
  Layer& layer = engine().slot(slot);
  const size_t words = static_cast<size_t>(width) * static_cast<size_t>(height) * 4;
  if (layer.has_pixels() && (layer.width != width || layer.height != height)) layer.pixels.reset();
  layer.width = width;
  layer.height = height;
  layer.rowStride = width * 4;
  if (!layer.has_pixels()) layer.pixels = Buffer<uint16_t>(words);
  std::memset(layer.data(), slot == kBackgroundSlot ? 0xFF : 0, words * 2);
  return 1;
}

void set_layer(int32_t slot) {
  Layer* layer = layer_with_pixels(slot);
  if (!layer) return;
  engine().current_layer = layer;
  engine().current_layer_num = slot;
}

}  // namespace cvl
