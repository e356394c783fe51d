// Effect rows built on the imaging library (src/imaging): blurs, tone and colour
// operations, noise, transforms and polygon warps, artistic filters.
#pragma once

#include "ipl/effect_frames.h"

namespace cvl {

// Blurs (effect_rows_blur.cpp).
int32_t row_gaussian_blur(const EffectCall& call);
int32_t row_radiant(const EffectCall& call);

// Tone and colour (effect_rows_tone.cpp).
int32_t row_negative(const EffectCall& call);

}  // namespace cvl
