// PCX: 8-bit with the 256-colour palette at the end, 24 and 32 bits as planes per
// row, and the 1-bit and 16-colour planar kinds; RLE or plain.
#include <array>
#include <vector>

#include "codecs/decode_support.h"
#include "codecs/decoders.h"

namespace cvl::imaging {

bool decode_pcx(const uint8_t* data, size_t size, Image& out) {
  out = Image{};
  if (!data || size < 128 || data[0] != 0x0A) return false;
  ByteReader r(data, size);
  r.skip(2);
  const uint8_t encoding = r.u8(), bits = r.u8();
  const uint16_t xmin = r.u16le(), ymin = r.u16le(), xmax = r.u16le(), ymax = r.u16le();
  r.skip(4);
  const uint8_t* ega = r.take(48);
  r.skip(1);
  const uint8_t planes = r.u8();
  const uint16_t line_bytes = r.u16le();
  if (!r.ok() || xmax < xmin || ymax < ymin || encoding > 1) return false;
  const int64_t width = int64_t(xmax) - xmin + 1, height = int64_t(ymax) - ymin + 1;
  const bool eight = bits == 8 && (planes == 1 || planes == 3 || planes == 4);
  const bool planar1 = bits == 1 && (planes == 1 || planes == 3 || planes == 4);
  if (!eight && !planar1) return false;
  if (line_bytes == 0 || int64_t(line_bytes) * 8 < width * bits) return false;
  if (!allocate_rgba(out, width, height)) return false;

  std::array<std::array<uint8_t, 3>, 256> pal{};
  if (eight && planes == 1) {
    // The palette is the last 769 bytes, marked by 12; without it the image is grey.
    const bool has = size >= 128 + 769 && data[size - 769] == 12;
    if (!has && data[1] == 5) return refuse(out);  // version 5 promises the palette: the file was cut short
    for (int i = 0; i < 256; ++i)
      pal[size_t(i)] = has ? std::array<uint8_t, 3>{data[size - 768 + i * 3], data[size - 767 + i * 3],
                                                    data[size - 766 + i * 3]}
                           : std::array<uint8_t, 3>{uint8_t(i), uint8_t(i), uint8_t(i)};
  } else if (planar1) {
    for (int i = 0; i < 16; ++i) pal[size_t(i)] = {ega[i * 3], ega[i * 3 + 1], ega[i * 3 + 2]};
    if (planes == 1) pal[0] = {0, 0, 0}, pal[1] = {255, 255, 255};
  }

  r.seek(128);
  const size_t scan = size_t(line_bytes) * planes;
  std::vector<uint8_t> line(scan);
  uint8_t run_value = 0;
  size_t run_left = 0;  // a run may carry over the end of a scan line
  for (int64_t y = 0; y < height; ++y) {
    for (size_t i = 0; i < scan; ++i) {
      if (encoding == 0) {
        line[i] = r.u8();
      } else {
        if (run_left == 0) {
          const uint8_t b = r.u8();
          if ((b & 0xC0) == 0xC0) run_left = b & 0x3F, run_value = r.u8();
          else run_left = 1, run_value = b;
          if (run_left == 0) {
            --i;
            continue;
          }
        }
        line[i] = run_value;
        --run_left;
      }
      if (!r.ok()) return refuse(out);
    }
    uint8_t* dst = out.pixels.data() + size_t(y * width * 4);
    for (int64_t x = 0; x < width; ++x, dst += 4) {
      if (eight && planes == 1) {
        const auto& c = pal[line[size_t(x)]];
        dst[0] = c[0], dst[1] = c[1], dst[2] = c[2], dst[3] = 255;
      } else if (eight) {
        for (int c = 0; c < planes; ++c) dst[c] = line[size_t(c) * line_bytes + size_t(x)];
        if (planes == 3) dst[3] = 255;
      } else {
        int index = 0;
        for (int p = 0; p < planes; ++p)
          index |= ((line[size_t(p) * line_bytes + size_t(x / 8)] >> (7 - x % 8)) & 1) << p;
        const auto& c = pal[size_t(index)];
        dst[0] = c[0], dst[1] = c[1], dst[2] = c[2], dst[3] = 255;
      }
    }
  }
  return true;
}

}  // namespace cvl::imaging
