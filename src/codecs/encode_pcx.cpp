// 24-bit PCX: version 5, run-length coded, three colour planes per scan line.
#include <vector>

#include "codecs/encode.h"
#include "codecs/file_sink.h"

namespace cvl::imaging {
namespace {

// PCX runs hold at most 63 bytes and never cross a plane; a lone byte of 0xC0 or more
// must be written as a run of one.
void encode_plane(const uint8_t* plane, size_t length, std::vector<uint8_t>& out) {
  for (size_t i = 0; i < length;) {
    size_t run = 1;
    while (i + run < length && run < 63 && plane[i + run] == plane[i]) ++run;
    if (run > 1 || plane[i] >= 0xC0) out.push_back(uint8_t(0xC0 | run));
    out.push_back(plane[i]);
    i += run;
  }
}

}  // namespace

bool write_pcx(const char* path, const ImageView& src) {
  if (!src.data || src.width <= 0 || src.height <= 0 || src.width > 0xFFFF || src.height > 0xFFFF ||
      (src.channels != 3 && src.channels != 4))
    return false;
  FileSink sink(path);
  const uint32_t line = (uint32_t(src.width) + 1) & ~1u;  // even bytes per plane line
  uint8_t header[128] = {0x0A, 5, 1, 8};
  auto put16 = [&](int at, uint32_t v) { header[at] = uint8_t(v), header[at + 1] = uint8_t(v >> 8); };
  put16(8, uint32_t(src.width - 1));
  put16(10, uint32_t(src.height - 1));
  put16(12, 72);
  put16(14, 72);
  header[65] = 3;
  put16(66, line);
  put16(68, 1);
  sink.bytes(header, sizeof header);
  std::vector<uint8_t> plane(line, 0), packed;
  for (int32_t y = 0; y < src.height; ++y) {
    packed.clear();
    for (int c = 0; c < 3; ++c) {
      const uint8_t* p = src.row(y) + c;
      for (int32_t x = 0; x < src.width; ++x, p += src.channels) plane[size_t(x)] = *p;
      encode_plane(plane.data(), line, packed);
    }
    sink.bytes(packed.data(), packed.size());
  }
  return sink.close();
}

}  // namespace cvl::imaging
