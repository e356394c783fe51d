#include "layers.h"

#include <cstdio>

#include "corvel/corvel.h"

namespace corvel_paint {

namespace {
constexpr int kLastSlot = 63;  // slot 0 is the engine's trace layer, 1..63 hold layers
}

const std::vector<const char*>& layer_mode_names() {
  static const std::vector<const char*> names = {"Normal",  "Multiply", "Screen", "Overlay",
                                                 "Darken",  "Lighten",  "Add",    "Difference"};
  return names;
}

bool LayerPanel::create(int width, int height, int layers) {
  width_ = width;
  height_ = height;
  layers_.clear();
  for (int slot = 1; slot <= std::min(layers, kLastSlot); ++slot) {
    if (!CVL_CreateLayer(slot, width, height)) return false;
    layers_.push_back({slot, true, 100, 0});
    apply(layers_.back());
  }
  if (layers_.empty()) return false;
  select(static_cast<int>(layers_.size() > 1 ? 1 : 0));
  return true;
}

bool LayerPanel::add_layer() {
  const int slot = layers_.back().slot + 1;
  if (slot > kLastSlot || !CVL_CreateLayer(slot, width_, height_)) return false;
  layers_.push_back({slot, true, 100, 0});
  apply(layers_.back());
  select(static_cast<int>(layers_.size()) - 1);
  return true;
}

void LayerPanel::next() { select((current_ + 1) % static_cast<int>(layers_.size())); }

void LayerPanel::previous() {
  const int n = static_cast<int>(layers_.size());
  select((current_ + n - 1) % n);
}

void LayerPanel::cycle_mode() {
  LayerInfo& l = layers_[current_];
  l.mode = (l.mode + 1) % static_cast<int>(layer_mode_names().size());
  apply(l);
}

void LayerPanel::cycle_opacity() {
  LayerInfo& l = layers_[current_];
  l.opacity = l.opacity <= 25 ? 100 : l.opacity - 25;
  apply(l);
}

void LayerPanel::toggle_visible() {
  LayerInfo& l = layers_[current_];
  l.visible = !l.visible;
  apply(l);
}

std::string LayerPanel::describe() const {
  const LayerInfo& l = layers_[current_];
  char text[96];
  std::snprintf(text, sizeof text, "layer %d/%zu %s %d%%%s", current_ + 1, layers_.size(), layer_mode_names()[l.mode],
                l.opacity, l.visible ? "" : " hidden");
  return text;
}

void LayerPanel::apply(const LayerInfo& l) const {
  CVL_SetLayerOptions(l.slot, l.visible ? 1 : 0, 0, l.opacity, layer_mode_names()[l.mode]);
}

void LayerPanel::select(int index) {
  current_ = index;
  // Choosing a layer also refreshes the engine's copy of it that undo compares against.
  CVL_SetLayer(layers_[current_].slot);
}

}  // namespace corvel_paint
