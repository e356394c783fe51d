#include "layers/layer_stack.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "layers/texture_map.h"
#include "layers/mix_mode_names.h"
#include "undo/undo_store.h"

namespace cvl {

namespace {

int32_t g_failing_allocations = 0;

bool valid_slot(int32_t slot) { return slot >= 0 && slot < kLayerSlots; }

Buffer<uint16_t> try_allocate_layer(size_t words) {
  if (g_failing_allocations > 0) {
    --g_failing_allocations;
    return {};
  }
  return Buffer<uint16_t>::try_allocate(words);
}

// Allocates a layer's pixels, giving up undo history while memory is short. Each
// retry follows a release of at least one record, so the loop ends even when the
// remaining records cannot be released (those holding only mask pixels).
Buffer<uint16_t> allocate_layer_pixels(Engine& e, size_t words) {
  const int64_t kib = static_cast<int64_t>(words) * 2 / 1024;
  const auto wanted = static_cast<int32_t>(std::clamp<int64_t>(kib, 1, INT32_MAX));
  for (;;) {
    Buffer<uint16_t> pixels = try_allocate_layer(words);
    if (pixels) return pixels;
    if (reduce_undo(e, wanted) == 0) return {};
  }
}

bool is_current(Engine& e, int32_t slot) { return e.current_layer == &e.slot(slot); }

bool shows_texture(const Layer& layer) { return layer.visible != 0 && layer.mixMode == kModeTexturize3; }

void drop_texture_of(Engine& e, const Layer& layer) {
  if (layer.mixMode == kModeTexturize3 && e.texture_map) delete_texture(e);
}

void recompute_top_layer(Engine& e) {
  e.top_layer = 1;
  for (int32_t n = 1; n < kLayerSlots; ++n)
    if (e.slot(n).has_pixels()) e.top_layer = n;
}

// Runs `op` on each pixel's alpha word of the layer.
template <class Op>
void for_each_alpha(Layer* layer, Op op) {
  if (!layer) return;
  for (int32_t y = 0; y < layer->height; ++y) {
    uint16_t* p = layer->data() + static_cast<size_t>(y) * static_cast<size_t>(layer->row_stride) + 3;
    for (int32_t x = 0; x < layer->width; ++x, p += 4) *p = op(*p);
  }
}

}  // namespace

Layer* layer_with_pixels(Engine& e, int32_t slot) {
  if (!valid_slot(slot)) return nullptr;
  Layer& layer = e.slot(slot);
  return layer.has_pixels() ? &layer : nullptr;
}

bool layer_request_valid(int32_t slot, int32_t width, int32_t height) {
  return valid_slot(slot) && width >= 0 && height >= 0;
}

int32_t create_layer(Engine& e, int32_t slot, int32_t width, int32_t height) {
  if (!layer_request_valid(slot, width, height)) return 0;
  Layer& layer = e.slot(slot);
  const size_t words = static_cast<size_t>(width) * static_cast<size_t>(height) * 4;
  if (layer.has_pixels() && (layer.width != width || layer.height != height)) layer.pixels.reset();
  layer.width = width;
  layer.height = height;
  layer.row_stride = static_cast<int32_t>(int64_t{width} * 4);
  if (!layer.has_pixels()) {
    layer.pixels = allocate_layer_pixels(e, words);
    if (!layer.has_pixels()) return 0;
  }
  std::memset(layer.data(), slot == kBackgroundSlot ? 0xFF : 0, words * 2);
  return 1;
}

void delete_layer(Engine& e, int32_t slot) {
  if (!valid_slot(slot)) return;
  e.slot(slot).pixels.reset();
}

void swap_layers(Engine& e, int32_t a, int32_t b) {
  if (!valid_slot(a) || !valid_slot(b) || a == b) return;
  std::swap(e.slot(a), e.slot(b));
}

void set_layer(Engine& e, int32_t slot) {
  Layer* layer = layer_with_pixels(e, slot);
  if (!layer) return;
  drop_texture_of(e, *layer);
  // Leaving a visible Texturize3 layer: the layer it textures is the one painted next.
  if (e.current_layer && !is_current(e, slot) && shows_texture(*e.current_layer))
    create_texture(e, e.current_layer_num);
  e.current_layer = layer;
  e.current_layer_num = slot;
  save_undo_back_buffer(e, slot);
}

int32_t set_layer_options(Engine& e, int32_t slot, int32_t visible, int32_t lock_alpha, int32_t opacity_percent,
                          const char* mode_name) {
  if (!valid_slot(slot)) return 0;
  Layer& layer = e.slot(slot);
  drop_texture_of(e, layer);
  layer.visible = static_cast<uint8_t>(visible);
  layer.lockAlpha = static_cast<uint8_t>(lock_alpha);
  layer.opacity = static_cast<uint16_t>(static_cast<int64_t>(opacity_percent * 2.56));
  std::memset(layer.mode_name, 0, sizeof layer.mode_name);
  if (mode_name && std::strlen(mode_name) < 50) std::memcpy(layer.mode_name, mode_name, std::strlen(mode_name) + 1);
  layer.mixMode = mode_from_name(mode_name);
  recompute_top_layer(e);
  if (!is_current(e, slot) && shows_texture(layer)) create_texture(e, slot);
  return 1;
}

int32_t layer_count(const Engine& e) {
  int32_t n = 0;
  for (const Layer& layer : e.layer_slots) n += layer.has_pixels() ? 1 : 0;
  return n;
}

int32_t current_layer_number(const Engine& e) { return e.current_layer_num; }

void invert_alpha(Engine& e, int32_t slot) {
  for_each_alpha(layer_with_pixels(e, slot), [](uint16_t a) { return static_cast<uint16_t>(65535 - a); });
}

void set_layer_alpha(Engine& e, int32_t slot, int32_t value) {
  const auto a = static_cast<uint16_t>(value);
  for_each_alpha(layer_with_pixels(e, slot), [a](uint16_t) { return a; });
}

void normalize_layer_alpha(Engine& e, int32_t slot) {
  Layer* layer = layer_with_pixels(e, slot);
  if (!layer) return;
  const uint32_t opacity = layer->opacity;
  for_each_alpha(layer, [opacity](uint16_t a) { return static_cast<uint16_t>(opacity * a >> 8); });
  layer->opacity = 256;
}

void fail_next_layer_allocations(int32_t count) { g_failing_allocations = std::max(count, 0); }

}  // namespace cvl
