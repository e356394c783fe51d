// Pictures stored turned or mirrored: the orientation value cameras and scanners write
// (1 as stored, 2 mirrored, 3 turned half round, 4 flipped, 5 to 8 stored on their side),
// read from an Exif block or an XMP packet, and the turn that sets the picture upright.
#pragma once

#include <cstddef>
#include <cstdint>

#include "codecs/codec.h"
#include "imaging/image_view.h"

namespace cvl::imaging {

inline constexpr uint16_t kUpright = 1;

// True for the five to eight that exchange the picture's width and height.
inline bool is_sideways(uint16_t orientation) { return orientation >= 5 && orientation <= 8; }

// The orientation of an Exif block (a TIFF header and its first directory, with or without
// the "Exif\0\0" lead); 0 when the block holds none or a value outside 1 to 8.
uint16_t exif_orientation(const uint8_t* data, size_t size);

// The tiff:Orientation of an XMP packet, as attribute or element; 0 when none or out of range.
uint16_t xmp_orientation(const uint8_t* data, size_t size);

// The orientation a picture carries, Exif before XMP; upright when neither gives one.
inline uint16_t stated_orientation(uint16_t exif, uint16_t xmp) { return exif ? exif : xmp ? xmp : kUpright; }

// Turns a packed RGBA32 picture (in stored order) upright.
void apply_orientation(Image& image, uint16_t orientation);

// Records the orientation in a probe's answer, whose size and resolution then describe
// the upright picture.
void orient_info(ImageInfo& info, uint16_t orientation);

}  // namespace cvl::imaging
