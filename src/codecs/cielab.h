// CIE L*a*b* samples as TIFF files store them, to sRGB. The file's Lab is relative to
// the D50 white; sRGB's white is D65, so the colour is adapted (Bradford) on the way and
// the Lab white and greys come out neutral.
#pragma once

#include <cstdint>

namespace cvl::imaging {

// L in 0..255 for 0..100; a and b as stored: signed (CIELab) or offset by 128 (ICCLab).
void lab_to_srgb(uint8_t l, uint8_t a, uint8_t b, bool offset_ab, uint8_t rgb[3]);

}  // namespace cvl::imaging
