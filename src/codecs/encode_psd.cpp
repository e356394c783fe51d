// 24-bit PSD: a flat RGB composite with no layers, stored raw.
#include <vector>

#include "codecs/encode.h"
#include "codecs/file_sink.h"

namespace cvl::imaging {

bool write_psd(const char* path, const ImageView& src) {
  if (!src.data || src.width <= 0 || src.height <= 0 || src.width > 30000 || src.height > 30000 ||
      (src.channels != 3 && src.channels != 4))
    return false;
  FileSink sink(path);
  sink.bytes("8BPS", 4);
  sink.u16be(1);
  sink.bytes("\0\0\0\0\0\0", 6);
  sink.u16be(3);  // channels
  sink.u32be(uint32_t(src.height));
  sink.u32be(uint32_t(src.width));
  sink.u16be(8);  // depth
  sink.u16be(3);  // RGB
  sink.u32be(0);  // colour mode data
  sink.u32be(0);  // image resources
  sink.u32be(0);  // layers and masks
  sink.u16be(0);  // raw
  std::vector<uint8_t> row(size_t(src.width));
  for (int c = 0; c < 3 && sink.ok(); ++c)
    for (int32_t y = 0; y < src.height; ++y) {
      const uint8_t* p = src.row(y) + c;
      for (int32_t x = 0; x < src.width; ++x, p += src.channels) row[size_t(x)] = *p;
      sink.bytes(row.data(), row.size());
    }
  return sink.close();
}

}  // namespace cvl::imaging
