// The plain twins of the propagating passes that the fast sweeps replace: each
// sweep pixel by pixel in its own scan order, one line after another.
#pragma once

#include "effects/inhouse_pixels.h"

namespace cvl {

void inhouse_value_blur_reference(InhouseParams& p, const InhouseImages& im);
void inhouse_noise_reduction_reference(InhouseParams& p, const InhouseImages& im);
void inhouse_noise_reduction_rgb_reference(InhouseParams& p, const InhouseImages& im);

}  // namespace cvl
