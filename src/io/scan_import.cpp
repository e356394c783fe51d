#include "io/scan_import.h"

#include <cstring>
#include <vector>

#include "codecs/decoders.h"
#include "codecs/dib.h"
#include "io/new_rgba.h"
#include "platform/scanner.h"

namespace cvl {

int32_t is_twain() { return platform::scanner_available() ? 1 : 0; }

int32_t twain_select_source() {
  if (!platform::scanner_available()) return 0;
  return platform::scanner_select_source() ? 1 : 0;
}

int32_t twain_acquire() {
  if (!platform::scanner_available()) return 0;
  const std::vector<uint8_t> dib = platform::scanner_acquire();
  imaging::DibLayout layout;
  if (!imaging::read_dib_layout(dib.data(), dib.size(), layout) || layout.width <= 0 || layout.height == 0) return 0;
  const size_t info_size = imaging::kDibHeaderSize + size_t(layout.colours_used) * 4;
  if (info_size > dib.size()) return 0;
  imaging::Image image;
  if (!imaging::decode_dib(dib.data(), info_size, dib.data() + info_size, dib.size() - info_size, image)) return 0;
  uint8_t* pixels = create_new_rgba(image.width, image.height);
  if (!pixels) return 0;
  // A scan has no transparency.
  std::memcpy(pixels, image.pixels.data(), image.pixels.size());
  for (size_t i = 3; i < image.pixels.size(); i += 4) pixels[i] = 255;
  return 1;
}

}  // namespace cvl
