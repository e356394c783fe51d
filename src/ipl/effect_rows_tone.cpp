// Effect rows of the tone and colour family, on the imaging library.
#include "imaging/invert.h"
#include "ipl/effect_rows_imaging.h"

namespace cvl {

// The colour of the layer inverted in a 24-bit copy; alpha stays as it was.
int32_t row_negative(const EffectCall& call) {
  return frame_24(call, false, [&](const Rgb24Pair& pair) -> const uint8_t* {
    const imaging::ImageView v{pair.src, call.width, call.height, 3, call.width * 3};
    return imaging::invert_image(v, 7) ? pair.src : nullptr;
  });
}

}  // namespace cvl
