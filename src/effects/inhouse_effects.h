// The engine's own effects: the edge-aware smoothing passes, tone and channel
// operations, layout effects, the line-art cleaner and the detail mask. They read
// the 32-bit IPL source (or, with the copy flag set, the destination itself) and
// write the 32-bit IPL destination.
#pragma once

#include <cstdint>

namespace cvl {

struct Engine;
struct ToolSettings;

// The raw arguments the dispatcher hands to an in-house effect: sliders in tenths
// exactly as the host passed them, the option and flags, the colour as 0..255.
struct InhouseArgs {
  int32_t s[6] = {};
  int32_t option = 0;
  int32_t i2 = 0;
  int32_t f[6] = {};
  int32_t r = 0, g = 0, b = 0;
};

// The parameter record an in-house effect reads: P1..P6 are the raw sliders x 0.001,
// the colour is in fractions of 1, the processing rectangle is the whole canvas.
struct InhouseParams {
  uint8_t copy = 0;  // 0: reads come from the source; otherwise from the destination
  double p[6] = {};
  int32_t option = 0;
  int32_t i2 = 0;
  int32_t f[6] = {};
  double r = 0, g = 0, b = 0;
  int32_t left = 0, top = 0, right = 0, bottom = 0;
  int32_t width = 0, height = 0;
};

// Fills the record from `args`, copies the source into the destination when `copy`
// is 0, and runs the named effect on the IPL images of `canvas` (a few effects also
// read its mask and current layer, or the tool's paint colour). Returns 0 when
// either 32-bit IPL buffer is missing or the name is not an in-house effect.
int32_t inhouse_entry(Engine& canvas, const ToolSettings& tool, const char* name, uint8_t copy,
                      const InhouseArgs& args);

// Sharpens, raises contrast twice (once at full strength when the flag's low byte is
// 1) and sets the saturation, each step loaded into the current layer through the
// selection. Returns 0 when the saturation step fails, else the last load's result.
int32_t photo_pop(Engine& canvas, const ToolSettings& tool, int32_t amount, double saturation, int32_t flag);

}  // namespace cvl
