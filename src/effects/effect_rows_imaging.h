// Effect rows built on the imaging library (src/imaging): blurs, tone and colour
// operations, noise, transforms and polygon warps, artistic filters.
#pragma once

#include "effects/effect_frames.h"

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

// Window filters (effect_rows_rank.cpp).
int32_t row_arithmetic_mean(const EffectCall& call);
int32_t row_geometric_mean(const EffectCall& call);
int32_t row_harmonic_mean(const EffectCall& call);
int32_t row_maximum2(const EffectCall& call);
int32_t row_minimum2(const EffectCall& call);
int32_t row_midpoint(const EffectCall& call);
int32_t row_median(const EffectCall& call);
int32_t row_despeckle(const EffectCall& call);
int32_t row_dust_and_scratches(const EffectCall& call);

// Sharpening (effect_rows_sharpen.cpp).
int32_t row_sharpen(const EffectCall& call);
int32_t row_sharpen_more(const EffectCall& call);
int32_t row_unsharp_mask(const EffectCall& call);

// Recipes of the blur family (effect_rows_recipes.cpp).
int32_t row_contrast_mask(const EffectCall& call);
int32_t row_photo_pop(const EffectCall& call);
int32_t row_photo_detailer(const EffectCall& call);
int32_t row_radiant2(const EffectCall& call);
int32_t row_drop_shadow(const EffectCall& call);

// Pencil and crayon recipes on relief, contrast and colourfulness (effect_rows_recipes.cpp).
int32_t row_colour_pencil(const EffectCall& call);
int32_t row_colour_pencil2(const EffectCall& call);
int32_t row_crayon(const EffectCall& call);
int32_t row_pointillism(const EffectCall& call);
int32_t row_emboss3(const EffectCall& call);

// Tone and colour (effect_rows_tone.cpp).
int32_t row_negative(const EffectCall& call);
int32_t row_brightness_contrast(const EffectCall& call);
int32_t row_gamma(const EffectCall& call);
int32_t row_histogram_equalize(const EffectCall& call);
int32_t row_histogram_stretch(const EffectCall& call);
int32_t row_histogram_equalize_channels(const EffectCall& call);
int32_t row_histogram_stretch_channels(const EffectCall& call);
int32_t row_histogram_stretch_hsl(const EffectCall& call);
int32_t row_colour_balance(const EffectCall& call);
int32_t row_duotone(const EffectCall& call);
int32_t row_grayscale(const EffectCall& call);
int32_t row_hyper_saturation(const EffectCall& call);
int32_t row_posterize(const EffectCall& call);
int32_t row_solarize(const EffectCall& call);
int32_t row_threshold(const EffectCall& call);
int32_t row_tint(const EffectCall& call);
int32_t row_watercolour_tint(const EffectCall& call);
int32_t row_deinterlace(const EffectCall& call);

// Noise (effect_rows_noise.cpp).
int32_t row_add_gaussian_noise(const EffectCall& call);
int32_t row_add_negative_exponential_noise(const EffectCall& call);
int32_t row_add_rayleigh_noise(const EffectCall& call);
int32_t row_add_uniform_noise(const EffectCall& call);
int32_t row_colour_noise(const EffectCall& call);
int32_t row_hugo_noise(const EffectCall& call);
int32_t row_perlin_noise(const EffectCall& call);

// Relief and edges (effect_rows_relief.cpp).
int32_t row_emboss(const EffectCall& call);
// Frame 24: the layer's colour lit as "Emboss" lights it, by the canvas-sized
// plane `height` (W bytes a row) or, when it is null, by the layer's own grey.
int32_t emboss_layer(const EffectCall& call, const uint8_t* height);
int32_t row_bevel(const EffectCall& call);
int32_t row_edge2(const EffectCall& call);
int32_t row_fingerprint(const EffectCall& call);

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

// Artistic filters and the recipe built on them (effect_rows_artistic.cpp).
int32_t row_oil_paint(const EffectCall& call);
int32_t row_stipple(const EffectCall& call);
int32_t row_halftone(const EffectCall& call);
int32_t row_mosaic(const EffectCall& call);
int32_t row_crackle(const EffectCall& call);
int32_t row_gausy(const EffectCall& call);
int32_t row_scribble(const EffectCall& call);
int32_t row_watercolour_and_ink(const EffectCall& call);

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
