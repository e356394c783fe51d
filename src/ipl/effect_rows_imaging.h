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

// Transforms (effect_rows_transform.cpp).
int32_t row_elliptical(const EffectCall& call);
int32_t row_lens(const EffectCall& call);
int32_t row_marble(const EffectCall& call);
int32_t row_offset(const EffectCall& call);
int32_t row_pinch(const EffectCall& call);
int32_t row_ripple(const EffectCall& call);
int32_t row_spin(const EffectCall& call);
int32_t row_spin_wave(const EffectCall& call);
int32_t row_wave(const EffectCall& call);
int32_t row_wow(const EffectCall& call);
int32_t row_zig_zag(const EffectCall& call);
int32_t row_frosted_glass(const EffectCall& call);

// Polygon warps (effect_rows_warp.cpp).
int32_t row_perspective(const EffectCall& call);
int32_t row_warp(const EffectCall& call);
int32_t row_warp_edge(const EffectCall& call);
int32_t row_warp_3_point(const EffectCall& call);
int32_t row_stretch(const EffectCall& call);
int32_t row_stretch_edge(const EffectCall& call);
int32_t row_vertical_pivot(const EffectCall& call);
int32_t row_horizontal_pivot(const EffectCall& call);
int32_t row_skew(const EffectCall& call);

}  // namespace cvl
