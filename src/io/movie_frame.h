// A movie frame loaded from a bitmap file, held as a device-independent bitmap.
#pragma once

#include <cstdint>
#include <vector>

#include "codecs/dib.h"

namespace cvl {

struct FrameBitmap {
  std::vector<uint8_t> dib;  // header, colour table, bits
  imaging::DibLayout layout;

  // The stream format: the header and its colour table.
  uint32_t format_size() const { return imaging::kDibHeaderSize + layout.colours_used * 4; }
  const uint8_t* bits() const { return dib.data() + format_size(); }
};

// Loads a BMP file as a 24-bit bottom-up bitmap; false when the file is missing
// or not a readable BMP.
bool load_frame_bitmap(const char* path, FrameBitmap& frame);

}  // namespace cvl
