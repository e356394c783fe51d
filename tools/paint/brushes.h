// The brushes on the number keys, described the way the engine's tool calls take them.
#pragma once

#include <string>
#include <vector>

namespace corvel_paint {

struct BrushPreset {
  const char* name;
  int softness = 0;        // round tip's soft edge, 0..255
  bool bristle = false;    // tip rendered from the bristle image script
  int grit_dot = 0;        // grit dot size; 0 = no grit
  int grit_chance = 0;
  int grit_fill = 0;
  int density = 256;       // grit bytes below this paint
  double spacing = 0.12;   // dab distance as a share of the dab size
  bool smudge = false;     // drags picked-up colour through the blend buffer
  bool eraser = false;
  bool follow_direction = false;  // tip turned along the stroke
  // Smudging and erasing act on the layer itself: they must read or lower what is
  // already there, which a separate stroke layer cannot do.
  bool uses_paint_layer() const { return !smudge && !eraser; }
};

// Keys 1..6: soft round, hard round, gritty dry brush, bristle, smudge, eraser.
const std::vector<BrushPreset>& brush_presets();

// Hands the preset to the engine at the given size (pixels) and dab opacity (percent).
// `bristle_tip` is the path of the bristle script (may be empty: the round tip is used).
void apply_brush(const BrushPreset& preset, int size, int dab_opacity, const std::string& bristle_tip);

// Writes the bristle tip script into `dir`; its path, or "" when it cannot be written.
std::string write_bristle_tip(const std::string& dir);

}  // namespace corvel_paint
