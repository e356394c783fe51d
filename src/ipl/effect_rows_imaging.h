// Effect rows built on the imaging library (src/imaging): blurs, tone and colour
// operations, noise, transforms and polygon warps, artistic filters.
#pragma once

#include "ipl/effect_frames.h"

namespace cvl {

// Blurs (effect_rows_blur.cpp).
int32_t row_gaussian_blur(const EffectCall& call);
int32_t row_radiant(const EffectCall& call);
int32_t row_blur(const EffectCall& call);
int32_t row_blur_more(const EffectCall& call);
int32_t row_motion_blur(const EffectCall& call);
int32_t row_radial_blur(const EffectCall& call);
int32_t row_zoom_blur(const EffectCall& call);
int32_t row_surface_blur(const EffectCall& call);  // also "Noise Reduction 2"

// Tone and colour (effect_rows_tone.cpp).
int32_t row_negative(const EffectCall& call);

}  // namespace cvl
