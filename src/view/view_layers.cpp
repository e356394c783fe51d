#include "view/view_layers.h"

#include "layers/mix_mode_names.h"

namespace cvl {

namespace {

bool shown_in_view(const Layer& layer) {
  return layer.has_pixels() && layer.visible != 0 && layer.mixMode != kModeTexturize3;
}

// The layer whose alpha scales entry k's: the next entry, except that the
// current layer looks past its own stroke when anything lies above the stroke.
const Layer* layer_mask_of(const ViewLayerList& list, int32_t k, bool followed_by_stroke) {
  int32_t next = k + 1;
  if (followed_by_stroke && list.count - k - 1 >= 2) next = k + 2;
  if (next >= list.count) return nullptr;
  const Layer* candidate = list.entries[next].layer;
  const bool is_mask = candidate->mixMode == kModeLayerMask && candidate->has_pixels() && candidate->visible != 0;
  return is_mask ? candidate : nullptr;
}

}  // namespace

void gather_view_layers(const Engine& e, ViewLayerList& list) {
  const uint16_t* current = e.current_layer ? e.current_layer->data() : nullptr;
  const bool stroke = e.paint_layer.has_pixels();
  bool followed_by_stroke[kLayerSlots] = {};
  bool background = false;
  list.count = 0;
  for (int32_t s = kBackgroundSlot; s < kLayerSlots; ++s) {
    const Layer& layer = e.layer_slots[static_cast<size_t>(s)];
    if (shown_in_view(layer)) {
      background = background || s == kBackgroundSlot;
      list.entries[list.count++].layer = &layer;
    }
    if (stroke && current && layer.data() == current) {
      if (list.count > 0 && list.entries[list.count - 1].layer == &layer) followed_by_stroke[list.count - 1] = true;
      list.entries[list.count++].layer = &e.paint_layer;
    }
  }
  for (int32_t k = 0; k < list.count; ++k) {
    ViewLayer& entry = list.entries[k];
    entry.layer_mask = layer_mask_of(list, k, followed_by_stroke[k]);
    entry.forced_opaque = k == 0 && background;
    entry.pass = view_pass(entry.layer->mixMode, false);
    entry.masked_pass = view_pass(entry.layer->mixMode, true);
  }
}

}  // namespace cvl
