// The layer panel: which slots hold layers, which one is painted on, and each one's
// visibility, opacity and mix mode, kept in step with the engine's layer options.
#pragma once

#include <string>
#include <vector>

namespace corvel_paint {

struct LayerInfo {
  int slot = 0;
  bool visible = true;
  int opacity = 100;  // percent
  int mode = 0;       // index into layer_mode_names()
};

// The mix modes the panel cycles through, by the engine's names.
const std::vector<const char*>& layer_mode_names();

class LayerPanel {
 public:
  // Slot 1 is the white paper; `layers` - 1 transparent layers stack above it.
  // False when the engine could not make them (CVL_GetLastError says why).
  bool create(int width, int height, int layers);
  bool add_layer();     // a new transparent layer above the current one's stack, made current
  void next();          // the layer above becomes current (wraps)
  void previous();      // the layer below
  void cycle_mode();
  void cycle_opacity(); // 100, 75, 50, 25, then 100 again
  void toggle_visible();

  int current_slot() const { return layers_[current_].slot; }
  int current_index() const { return current_; }
  const std::vector<LayerInfo>& layers() const { return layers_; }
  std::string describe() const;  // "layer 3/4 Multiply 75%"

 private:
  void apply(const LayerInfo& layer) const;
  void select(int index);

  int width_ = 0, height_ = 0;
  std::vector<LayerInfo> layers_;
  int current_ = 0;
};

}  // namespace corvel_paint
