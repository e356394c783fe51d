#include "codecs/orientation.h"

#include <cstring>
#include <string_view>
#include <utility>

#include "codecs/decode_support.h"

namespace cvl::imaging {
namespace {

uint16_t in_range(uint32_t v) { return v >= 1 && v <= 8 ? uint16_t(v) : 0; }

constexpr uint16_t kOrientationTag = 0x0112;
constexpr uint16_t kShort = 3, kLong = 4;

}  // namespace

uint16_t exif_orientation(const uint8_t* data, size_t size) {
  if (!data) return 0;
  if (size >= 6 && std::memcmp(data, "Exif\0", 5) == 0) data += 6, size -= 6;
  if (size < 8) return 0;
  const bool big = data[0] == 'M' && data[1] == 'M';
  if (!big && !(data[0] == 'I' && data[1] == 'I')) return 0;
  ByteReader r(data, size);
  const auto u16 = [&] { return big ? r.u16be() : r.u16le(); };
  const auto u32 = [&] { return big ? r.u32be() : r.u32le(); };
  r.skip(2);
  if (u16() != 42 || !r.seek(u32())) return 0;
  const uint16_t entries = u16();
  for (uint16_t i = 0; i < entries && r.ok(); ++i) {
    const uint16_t tag = u16(), type = u16();
    const uint32_t count = u32();
    const uint32_t value = type == kShort ? u16() : type == kLong ? u32() : 0;
    if (type == kShort) r.skip(2);
    if (type != kShort && type != kLong) r.skip(4);
    if (r.ok() && tag == kOrientationTag && count >= 1) return in_range(value);
  }
  return 0;
}

uint16_t xmp_orientation(const uint8_t* data, size_t size) {
  if (!data) return 0;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  constexpr std::string_view kName = "tiff:Orientation";
  for (size_t at = text.find(kName); at != std::string_view::npos; at = text.find(kName, at + 1)) {
    // attribute: tiff:Orientation="6"; element: <tiff:Orientation>6</tiff:Orientation>
    size_t p = at + kName.size();
    while (p < text.size() && (text[p] == ' ' || text[p] == '\t' || text[p] == '\r' || text[p] == '\n')) ++p;
    if (p < text.size() && text[p] == '=') {
      ++p;
      while (p < text.size() && text[p] == ' ') ++p;
      if (p >= text.size() || (text[p] != '"' && text[p] != '\'')) continue;
      ++p;
    } else if (p < text.size() && text[p] == '>') {
      ++p;
    } else {
      continue;  // the closing tag, or another name that starts alike
    }
    while (p < text.size() && (text[p] == ' ' || text[p] == '\r' || text[p] == '\n')) ++p;
    if (p < text.size() && text[p] >= '0' && text[p] <= '9' &&
        (p + 1 >= text.size() || text[p + 1] < '0' || text[p + 1] > '9'))
      return in_range(uint32_t(text[p] - '0'));
    return 0;
  }
  return 0;
}

void orient_info(ImageInfo& info, uint16_t orientation) {
  info.orientation = orientation >= 1 && orientation <= 8 ? orientation : kUpright;
  if (!is_sideways(info.orientation)) return;
  std::swap(info.width, info.height);
  std::swap(info.resolution.x, info.resolution.y);
}

void apply_orientation(Image& image, uint16_t orientation) {
  if (orientation <= kUpright || orientation > 8 || image.empty()) return;
  const uint32_t w = uint32_t(image.width), h = uint32_t(image.height);
  const bool sideways = is_sideways(orientation);
  Image out;
  out.width = int32_t(sideways ? h : w);
  out.height = int32_t(sideways ? w : h);
  out.channels = 4;
  out.pixels.resize(image.pixels.size());
  const uint32_t ow = uint32_t(out.width), oh = uint32_t(out.height);
  const auto* src = reinterpret_cast<const uint32_t*>(image.pixels.data());
  auto* dst = reinterpret_cast<uint32_t*>(out.pixels.data());
  for (uint32_t y = 0; y < oh; ++y) {
    for (uint32_t x = 0; x < ow; ++x) {
      uint32_t col = x, row = y;
      switch (orientation) {
        case 2: col = w - 1 - x; break;
        case 3: col = w - 1 - x, row = h - 1 - y; break;
        case 4: row = h - 1 - y; break;
        case 5: col = y, row = x; break;
        case 6: col = y, row = h - 1 - x; break;
        case 7: col = w - 1 - y, row = h - 1 - x; break;
        case 8: col = w - 1 - y, row = x; break;
        default: break;
      }
      dst[size_t(y) * ow + x] = src[size_t(row) * w + col];
    }
  }
  image = std::move(out);
}

}  // namespace cvl::imaging
