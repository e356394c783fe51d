// Effect rows built on the image-script library (src/imagescript): numbered
// effects in frames I, IP, S and SL, generators, and the script-driven families.
#pragma once

#include "effects/effect_frames.h"

namespace cvl {

// Distortions that move alpha with colour (effect_rows_script_distort.cpp).
int32_t row_twirl(const EffectCall& call);
int32_t row_sine_distortion(const EffectCall& call);
int32_t row_kaleidoscope(const EffectCall& call);
int32_t row_scratch(const EffectCall& call);
int32_t row_waves(const EffectCall& call);
int32_t row_divider(const EffectCall& call);
int32_t row_carpet(const EffectCall& call);
int32_t row_glass(const EffectCall& call);
int32_t row_voxel(const EffectCall& call);
int32_t row_zoom(const EffectCall& call);
int32_t row_rotate(const EffectCall& call);
int32_t row_tilt(const EffectCall& call);
int32_t row_seamless(const EffectCall& call);

// Relief, rank filters and colour in place (effect_rows_script_surface.cpp).
int32_t row_colourize(const EffectCall& call);
int32_t row_edge(const EffectCall& call);
int32_t row_bump(const EffectCall& call);
int32_t row_emboss2(const EffectCall& call);
int32_t row_maximum(const EffectCall& call);
int32_t row_minimum(const EffectCall& call);
// Effect 27's values from s1..s3, shared with the texture bump family.
ScriptValues bump_values(const EffectCall& call);

// Generators, blended by the remapped i2 (effect_rows_script_generate.cpp).
int32_t row_lines(const EffectCall& call);
int32_t row_points(const EffectCall& call);
int32_t row_circles(const EffectCall& call);
int32_t row_rectangles(const EffectCall& call);
int32_t row_splines(const EffectCall& call);
int32_t row_worms(const EffectCall& call);
int32_t row_fibers(const EffectCall& call);
int32_t row_trees(const EffectCall& call);
int32_t row_generate_noise(const EffectCall& call);
int32_t row_blobs(const EffectCall& call);
int32_t row_plasma(const EffectCall& call);
int32_t row_sine_plasma(const EffectCall& call);
int32_t row_fractal_plasma(const EffectCall& call);
int32_t row_perlin(const EffectCall& call);
int32_t row_pattern(const EffectCall& call);

// Tiles cut from a picture and repeated (effect_rows_script_pattern.cpp).
int32_t row_patternizer(const EffectCall& call);
int32_t row_pattern_explorer(const EffectCall& call);

// Script-driven families; the text names the script (effect_rows_script_family.cpp).
int32_t row_backgrounds(const EffectCall& call);
int32_t row_texturize_emboss(const EffectCall& call);
int32_t row_texturize_bump(const EffectCall& call);
int32_t row_displacement_bump(const EffectCall& call);

}  // namespace cvl
