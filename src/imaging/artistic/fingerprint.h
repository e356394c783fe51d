// Fingerprint: the picture drawn as ridges that follow its tones, like the
// whorls of a fingertip.
#pragma once

#include <cstdint>

namespace cvl::imaging {

// Writes into `out` ridges along the contours of the grey plane: the plane is
// smoothed (Gaussian of `smoothing` pixels) and every grey level g becomes
// 127.5 + 127.5 cos(2 pi g bands / 255), so `bands` dark ridges span black to
// white. `invert` swaps ridges and valleys. Planes may be the same.
bool fingerprint(const uint8_t* grey, int32_t grey_stride, int32_t width, int32_t height, double bands,
                 double smoothing, bool invert, uint8_t* out, int32_t out_stride);

}  // namespace cvl::imaging
