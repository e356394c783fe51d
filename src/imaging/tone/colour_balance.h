// Colour balance: pushing the tones of one range toward red, green or blue.
#pragma once

#include "imaging/image_view.h"

namespace cvl::imaging {

struct ColourBalance {
  double cyan_red = 0;       // -1 (cyan) .. 1 (red)
  double magenta_green = 0;  // -1 (magenta) .. 1 (green)
  double yellow_blue = 0;    // -1 (yellow) .. 1 (blue)
  double tone = 0.5;         // the tones most affected: 0 shadows, 0.5 mid tones, 1 highlights
  bool keep_lightness = false;  // restore each pixel's HSL lightness afterwards
};

// Shifts each colour channel by up to 100 levels, weighted by how close the
// value lies to the chosen tone (the weight falls to 0 two thirds of the range
// away). Works on 3- and 4-channel images; alpha is left alone.
bool adjust_colour_balance(const ImageView& image, const ColourBalance& balance);

}  // namespace cvl::imaging
