// TGA: colour-mapped, true-colour and grey, plain or run-length coded, any origin.
#include <array>
#include <vector>

#include "codecs/decode_support.h"
#include "codecs/decoders.h"

namespace cvl::imaging {
namespace {

struct TgaHeader {
  uint8_t id_length, map_type, type;
  uint16_t map_first, map_length;
  uint8_t map_bits;
  uint16_t width, height;
  uint8_t bits, descriptor;
};

// Expands one stored pixel of `bits` bits into RGBA.
void expand(const uint8_t* p, int bits, bool grey, uint8_t* rgba) {
  if (grey) {
    rgba[0] = rgba[1] = rgba[2] = p[0];
    rgba[3] = bits == 16 ? p[1] : 255;
  } else if (bits == 15 || bits == 16) {
    const unsigned v = p[0] | p[1] << 8;
    rgba[0] = uint8_t(((v >> 10) & 31) * 255 / 31);
    rgba[1] = uint8_t(((v >> 5) & 31) * 255 / 31);
    rgba[2] = uint8_t((v & 31) * 255 / 31);
    rgba[3] = 255;
  } else {
    rgba[0] = p[2], rgba[1] = p[1], rgba[2] = p[0];
    rgba[3] = bits == 32 ? p[3] : 255;
  }
}

}  // namespace

bool decode_tga(const uint8_t* data, size_t size, Image& out) {
  out = Image{};
  if (!data) return false;
  ByteReader r(data, size);
  TgaHeader h{};
  h.id_length = r.u8(), h.map_type = r.u8(), h.type = r.u8();
  h.map_first = r.u16le(), h.map_length = r.u16le(), h.map_bits = r.u8();
  r.skip(4);
  h.width = r.u16le(), h.height = r.u16le(), h.bits = r.u8(), h.descriptor = r.u8();
  if (!r.ok() || !r.skip(h.id_length)) return false;

  const int base_type = h.type & 7;
  const bool rle = h.type & 8;
  if (h.type > 11 || base_type < 1 || base_type > 3) return false;
  const bool mapped = base_type == 1, grey = base_type == 3;
  if (mapped && (h.map_type != 1 || h.bits != 8)) return false;
  if (grey && h.bits != 8 && h.bits != 16) return false;
  if (!mapped && !grey && h.bits != 15 && h.bits != 16 && h.bits != 24 && h.bits != 32) return false;

  std::vector<std::array<uint8_t, 4>> palette;
  if (h.map_type == 1) {
    const int entry_bits = h.map_bits;
    if (entry_bits != 15 && entry_bits != 16 && entry_bits != 24 && entry_bits != 32) return false;
    const size_t entry = size_t(entry_bits + 7) / 8;
    const uint8_t* map = r.take(entry * h.map_length);
    if (!map) return false;
    palette.resize(h.map_length);
    for (size_t i = 0; i < h.map_length; ++i) expand(map + i * entry, entry_bits, false, palette[i].data());
  }
  if (!allocate_rgba(out, h.width, h.height)) return false;

  const size_t bytes = size_t(h.bits + 7) / 8;
  const size_t count = size_t(h.width) * h.height;
  std::vector<uint8_t> stored;  // the pixels in file order, still in the file's form
  if (rle) {
    stored.resize(count * bytes);
    size_t done = 0;
    while (done < count) {
      const uint8_t head = r.u8();
      const size_t n = std::min<size_t>((head & 0x7F) + 1u, count - done);
      const uint8_t* p = r.take(head & 0x80 ? bytes : ((head & 0x7F) + 1u) * bytes);
      if (!p) return refuse(out);
      for (size_t i = 0; i < n; ++i) std::memcpy(&stored[(done + i) * bytes], head & 0x80 ? p : p + i * bytes, bytes);
      done += n;
    }
  } else {
    const uint8_t* p = r.take(count * bytes);
    if (!p) return refuse(out);
    stored.assign(p, p + count * bytes);
  }

  const bool top_down = h.descriptor & 0x20, right_to_left = h.descriptor & 0x10;
  for (size_t fy = 0; fy < h.height; ++fy) {
    const size_t y = top_down ? fy : h.height - 1 - fy;
    for (size_t fx = 0; fx < h.width; ++fx) {
      const size_t x = right_to_left ? h.width - 1 - fx : fx;
      const uint8_t* p = &stored[(fy * h.width + fx) * bytes];
      uint8_t* dst = &out.pixels[(y * h.width + x) * 4];
      if (mapped) {
        const int index = int(p[0]) - h.map_first;
        if (index >= 0 && size_t(index) < palette.size()) std::memcpy(dst, palette[size_t(index)].data(), 4);
        else dst[3] = 255;
      } else {
        expand(p, h.bits, grey, dst);
      }
    }
  }
  return true;
}

}  // namespace cvl::imaging
