// Device-independent bitmaps built from images: the block that movies, scanners
// and the clipboard exchange (a BITMAPINFOHEADER followed by the pixel bits).
#pragma once

#include <cstdint>
#include <vector>

#include "imaging/image_view.h"

namespace cvl::imaging {

constexpr uint32_t kDibHeaderSize = 40;

// The header fields a reader of such a block needs.
struct DibLayout {
  int32_t width = 0;
  int32_t height = 0;  // > 0: bottom-up
  uint16_t bit_count = 0;
  uint32_t image_size = 0;  // bytes of pixel bits
  uint32_t colours_used = 0;
};

// A 24-bit, bottom-up, uncompressed DIB of a 3- or 4-channel view (alpha dropped):
// the 40-byte header, then rows of B, G, R padded to four bytes. Empty when the
// image is empty or too large for 32-bit sizes.
std::vector<uint8_t> make_dib24(const ImageView& src);

// A 32-bit plain-RGB DIB of an RGBA32 view, bottom-up, with the alpha in the
// fourth byte where readers of 32-bit bitmaps look for it (the clipboard's
// form). Empty when the image is empty, not RGBA or too large.
std::vector<uint8_t> make_dib32(const ImageView& src);

// Reads the layout of a block made as above (or any plain 40-byte-header DIB).
bool read_dib_layout(const uint8_t* dib, size_t size, DibLayout& layout);

}  // namespace cvl::imaging
