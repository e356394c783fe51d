// Font faces by family, from the desktop's own font service (Windows: GDI).
// The text renderer reads the face's file bytes with FreeType itself.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace cvl::platform {

struct FontData {
  std::vector<uint8_t> bytes;  // the whole font file (or collection)
  std::string key;             // tells one face apart from another
  bool embolden = false;       // the face found lacks the weight asked for
};

// The installed face closest to `family` (empty: the desktop's sans-serif) at
// `weight` (OpenType 1..1000) and slant. False where the system offers no such
// service or has no scalable face.
bool installed_font_data(const std::string& family, int32_t weight, bool italic, FontData& out);

}  // namespace cvl::platform
