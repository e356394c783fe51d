// Effect rows built on the image-script library (src/imagescript): numbered
// effects in frames I, IP, S and SL, generators, and the script-driven families.
#pragma once

#include "ipl/effect_frames.h"

namespace cvl {

}  // namespace cvl
