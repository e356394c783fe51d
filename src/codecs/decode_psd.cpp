// PSD: the flattened composite that follows the layers, in bitmap, grey, indexed,
// RGB, CMYK or duotone mode, 8 or 16 bits, raw or PackBits.
#include <array>
#include <vector>

#include "codecs/decode_support.h"
#include "codecs/decoders.h"

namespace cvl::imaging {
namespace {

enum Mode : uint16_t { kBitmap = 0, kGrey = 1, kIndexed = 2, kRgb = 3, kCmyk = 4, kDuotone = 8 };

struct PsdHeader {
  uint16_t channels = 0, depth = 0, mode = 0;
  uint32_t width = 0, height = 0;
  const uint8_t* colour_data = nullptr;
  uint32_t colour_size = 0;
  const uint8_t* resources = nullptr;
  uint32_t resources_size = 0;
};

// Reads the header and the sections before the layers; leaves `r` at the layer section.
bool read_header(ByteReader& r, PsdHeader& h) {
  const uint8_t* sig = r.take(4);
  if (!sig || std::memcmp(sig, "8BPS", 4) != 0 || r.u16be() != 1) return false;
  r.skip(6);
  h.channels = r.u16be();
  h.height = r.u32be();
  h.width = r.u32be();
  h.depth = r.u16be();
  h.mode = r.u16be();
  h.colour_size = r.u32be();
  h.colour_data = r.take(h.colour_size);
  h.resources_size = r.u32be();
  h.resources = r.take(h.resources_size);
  return r.ok() && h.channels >= 1 && h.channels <= 56;
}

// PackBits: n < 128 copies n + 1 bytes, n > 128 repeats the next byte 257 - n times.
bool unpack_bits(ByteReader& r, size_t packed, uint8_t* out, size_t length) {
  const uint8_t* src = r.take(packed);
  if (!src) return false;
  size_t i = 0, o = 0;
  while (i < packed && o < length) {
    const uint8_t n = src[i++];
    if (n < 128) {
      const size_t count = std::min<size_t>(n + 1u, length - o);
      if (packed - i < count) return false;
      std::memcpy(out + o, src + i, count);
      i += n + 1u, o += count;
    } else if (n > 128) {
      if (i >= packed) return false;
      const size_t count = std::min<size_t>(257u - n, length - o);
      std::memset(out + o, src[i++], count);
      o += count;
    }
  }
  return o == length;
}

// Reads every channel plane (`planes` of them) as `row_bytes` x height bytes.
bool read_planes(ByteReader& r, const PsdHeader& h, size_t row_bytes, int planes, std::vector<uint8_t>& data) {
  const uint16_t compression = r.u16be();
  const size_t plane_size = row_bytes * h.height;
  data.assign(plane_size * size_t(planes), 0);
  if (compression == 0) {
    const uint8_t* raw = r.take(plane_size * size_t(planes));
    if (!raw) return false;
    std::memcpy(data.data(), raw, data.size());
    return true;
  }
  if (compression != 1) return false;
  // Row byte counts cover every channel of the file, planes we use or not.
  const size_t rows = size_t(h.channels) * h.height;
  std::vector<uint16_t> counts(rows);
  for (auto& c : counts) c = r.u16be();
  if (!r.ok()) return false;
  for (size_t i = 0; i < size_t(planes) * h.height; ++i)
    if (!unpack_bits(r, counts[i], data.data() + i * row_bytes, row_bytes)) return false;
  return true;
}

}  // namespace

bool decode_psd(const uint8_t* data, size_t size, Image& out) {
  out = Image{};
  if (!data) return false;
  ByteReader r(data, size);
  PsdHeader h;
  if (!read_header(r, h)) return false;
  r.skip(r.u32be());  // layers and masks
  if (!r.ok()) return false;

  int colour_planes = 0;
  switch (h.mode) {
    case kBitmap: colour_planes = h.depth == 1 ? 1 : 0; break;
    case kGrey: case kDuotone: case kIndexed: colour_planes = h.depth == 1 ? 0 : 1; break;
    case kRgb: colour_planes = 3; break;
    case kCmyk: colour_planes = 4; break;
    default: return false;
  }
  if (colour_planes == 0 || h.channels < colour_planes) return false;
  if (h.mode != kBitmap && h.depth != 8 && h.depth != 16) return false;
  if (h.mode == kIndexed && (h.depth != 8 || h.colour_size < 768)) return false;
  if (!acceptable_size(h.width, h.height)) return false;
  // One extra plane past the colour ones is the composite's alpha (not for indexed or bitmap).
  const bool alpha = h.mode != kIndexed && h.mode != kBitmap && h.channels > colour_planes;
  const int planes = colour_planes + (alpha ? 1 : 0);
  const size_t bytes = h.depth == 16 ? 2 : 1;
  const size_t row_bytes = h.depth == 1 ? (h.width + 7) / 8 : h.width * bytes;

  std::vector<uint8_t> plane_data;
  if (!read_planes(r, h, row_bytes, planes, plane_data)) return false;
  if (!allocate_rgba(out, h.width, h.height)) return false;
  const size_t plane_size = row_bytes * h.height;
  const auto sample = [&](int plane, size_t y, size_t x) -> uint8_t {
    return plane_data[size_t(plane) * plane_size + y * row_bytes + x * bytes];  // high byte of 16-bit
  };
  for (size_t y = 0; y < h.height; ++y) {
    uint8_t* dst = out.pixels.data() + y * h.width * 4;
    for (size_t x = 0; x < h.width; ++x, dst += 4) {
      dst[3] = alpha ? sample(colour_planes, y, x) : 255;
      switch (h.mode) {
        case kBitmap: {
          const bool ink = (plane_data[y * row_bytes + x / 8] >> (7 - x % 8)) & 1;
          dst[0] = dst[1] = dst[2] = ink ? 0 : 255;
          break;
        }
        case kIndexed: {
          const uint8_t i = sample(0, y, x);
          dst[0] = h.colour_data[i], dst[1] = h.colour_data[256 + i], dst[2] = h.colour_data[512 + i];
          break;
        }
        case kRgb: dst[0] = sample(0, y, x), dst[1] = sample(1, y, x), dst[2] = sample(2, y, x); break;
        case kCmyk: {
          // Stored inverted: 255 is no ink.
          const unsigned k = sample(3, y, x);
          for (int c = 0; c < 3; ++c) dst[c] = uint8_t(sample(c, y, x) * k / 255);
          break;
        }
        default: dst[0] = dst[1] = dst[2] = sample(0, y, x);
      }
    }
  }
  return true;
}

bool probe_psd(const uint8_t* data, size_t size, ImageInfo& info) {
  if (!data) return false;
  ByteReader r(data, size);
  PsdHeader h;
  if (!read_header(r, h)) return false;
  info.width = static_cast<int32_t>(h.width);
  info.height = static_cast<int32_t>(h.height);
  // Image resources: "8BIM", id, padded Pascal name, padded data. 0x03ED holds the resolution.
  ByteReader res(h.resources, h.resources_size);
  while (res.remaining() >= 12) {
    const uint8_t* sig = res.take(4);
    const uint16_t id = res.u16be();
    const uint8_t name_length = res.u8();
    res.skip(name_length + ((name_length + 1u) & 1u));
    const uint32_t length = res.u32be();
    const uint8_t* body = res.take(length);
    if (!sig || !body || std::memcmp(sig, "8BIM", 4) != 0) break;
    res.skip(length & 1u);
    if (id != 0x03ED || length < 16) continue;
    ByteReader b(body, length);
    const uint32_t hres = b.u32be();
    const uint16_t hunit = b.u16be();
    b.skip(2);
    const uint32_t vres = b.u32be();
    info.resolution.x = hres / 65536.0;
    info.resolution.y = vres / 65536.0;
    info.resolution.unit = hunit == 1 ? ResolutionUnit::PerInch : hunit == 2 ? ResolutionUnit::PerCentimetre
                                                                             : ResolutionUnit::None;
    break;
  }
  return true;
}

}  // namespace cvl::imaging
