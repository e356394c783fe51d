// Effect rows built on the imaging library (src/imaging): blurs, tone and colour
// operations, noise, transforms and polygon warps, artistic filters.
#pragma once

#include "ipl/effect_frames.h"

namespace cvl {

}  // namespace cvl
