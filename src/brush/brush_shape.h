// The brush tip: brush_size x brush_size coverage values in brush_alpha (row
// stride brush_capacity), either a round tip from the tool settings or a grey
// image from a tip file, turned by the tool's angle and resampled to the brush.
#pragma once

#include <cstdint>

#include "core/last_error.h"

namespace cvl {

struct Engine;
struct ToolSettings;

enum class TipSource {
  ScriptOrImage,  // try the path as an image script first, then as an image file
  ImageOnly,      // the path is only ever an image file
};

// Rebuilds brush_alpha. A path of fewer than two characters, or one that opens
// neither way, gives the round tip. The decoded tip image is kept, so the same
// path and angle are read only once. Empty when the tip asked for was built;
// else why not (a path that gave no tip, or no canvas yet).
FailureCause set_brush_shape(Engine& e, const ToolSettings& t, const char* path, int32_t angle, TipSource source);

// The round tip from brush_size, tip_softness, tip_invert and tip_strength.
void build_round_tip(Engine& e, const ToolSettings& t);

}  // namespace cvl
