// Effect rows built on the engine's own effects and colour code: the in-house
// effects in their frames, the recipes that chain them, the look-up-table and
// colour-model adjustments, the mask builders, the layer flips and Lua filters.
#pragma once

#include "ipl/effect_frames.h"

namespace cvl {

}  // namespace cvl
