// The layers the view shows, gathered once per render call, bottom to top.
//
// Slots 1..63 that hold pixels, are visible and are not the texture source
// (mode 19) are listed; the paint layer of the stroke in progress goes right
// after the current layer's slot, even when that slot is hidden, so the user
// always sees what the brush is doing. Slot 0 (the trace layer) is never listed.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/engine.h"

namespace cvl {

struct ViewAccumulator;

// One layer's part of a span: samples [begin, end) of the span, sample i at
// src + i * step words (step = 4 * the span's column step).
struct ViewPassArgs {
  const uint16_t* src = nullptr;
  const uint16_t* mask = nullptr;  // the layer mask's pixel of sample 0, when it applies
  ptrdiff_t step = 4;
  int32_t begin = 0, end = 0;
  int32_t opacity = 256;
  bool forced_opaque = false;
};

// Composites one layer's samples into the accumulator; one loop per mode, with
// and without a layer mask.
using ViewPass = void (*)(const ViewPassArgs&, ViewAccumulator&);

struct ViewLayer {
  const Layer* layer = nullptr;
  // The "Layer Mask" layer above that scales this layer's alpha, or null.
  const Layer* layer_mask = nullptr;
  // The background at the bottom of the list is shown opaque whatever its alpha.
  bool forced_opaque = false;
  ViewPass pass = nullptr;         // the layer's mode, no layer mask
  ViewPass masked_pass = nullptr;  // the same with its layer mask
};

struct ViewLayerList {
  ViewLayer entries[kLayerSlots];  // slots 1..63 and the paint layer
  int32_t count = 0;
};

// Fills the list from the layer slots, the current layer and the paint layer.
void gather_view_layers(const Engine& e, ViewLayerList& list);

// The loops of mode `mode` (0..40; others blend as Normal).
ViewPass view_pass(int32_t mode, bool masked);

}  // namespace cvl
