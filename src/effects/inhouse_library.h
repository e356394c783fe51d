// The in-house effects one by one, as the name table in inhouse_effects.cpp runs
// them. Each reads through a PixelReader and writes the destination; `p` is the
// record the entry filled (an effect may change its copy flag or its sliders).
#pragma once

#include "effects/inhouse_pixels.h"

namespace cvl {

using InhouseEffect = void (*)(InhouseParams& p, const InhouseImages& im);

// Tone and channel operations.
void inhouse_grayscale(InhouseParams& p, const InhouseImages& im);
void inhouse_invert(InhouseParams& p, const InhouseImages& im);
void inhouse_basic_threshold(InhouseParams& p, const InhouseImages& im);
void inhouse_clamp(InhouseParams& p, const InhouseImages& im);
void inhouse_channel(InhouseParams& p, const InhouseImages& im);
void inhouse_adjust_lab(InhouseParams& p, const InhouseImages& im);
void inhouse_hyper_contrast(InhouseParams& p, const InhouseImages& im);
void inhouse_hyper_contrast_reference(InhouseParams& p, const InhouseImages& im);  // one pixel at a time
void inhouse_fader(InhouseParams& p, const InhouseImages& im);
void inhouse_bas_relief(InhouseParams& p, const InhouseImages& im);
void inhouse_bas_relief_reference(InhouseParams& p, const InhouseImages& im);  // one pixel at a time

// The propagating directional passes.
void inhouse_value_blur(InhouseParams& p, const InhouseImages& im);
void inhouse_anti_alias(InhouseParams& p, const InhouseImages& im);
void inhouse_noise_reduction(InhouseParams& p, const InhouseImages& im);
void inhouse_noise_reduction_rgb(InhouseParams& p, const InhouseImages& im);
// The same three one step at a time on the calling thread: the reference the
// banded passes are checked against.
void inhouse_value_blur_reference(InhouseParams& p, const InhouseImages& im);
void inhouse_noise_reduction_reference(InhouseParams& p, const InhouseImages& im);
void inhouse_noise_reduction_rgb_reference(InhouseParams& p, const InhouseImages& im);
void inhouse_anti_alias_reference(InhouseParams& p, const InhouseImages& im);

// Neighbourhood tests on interior pixels.
void inhouse_adaptive_blur(InhouseParams& p, const InhouseImages& im);
void inhouse_detail_blur(InhouseParams& p, const InhouseImages& im);
void inhouse_line_art_cleaner(InhouseParams& p, const InhouseImages& im);
void inhouse_mask_detail(InhouseParams& p, const InhouseImages& im);

// Layout effects.
void inhouse_borderize(InhouseParams& p, const InhouseImages& im);
void inhouse_vignette(InhouseParams& p, const InhouseImages& im);
void inhouse_reflection(InhouseParams& p, const InhouseImages& im);

}  // namespace cvl
