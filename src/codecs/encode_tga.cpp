// 32-bit uncompressed TGA with a top-left origin, so rows go out in the order they come.
#include <vector>

#include "codecs/file_sink.h"
#include "codecs/line_writers.h"

namespace cvl::imaging {
namespace {

class TgaLines final : public CountingLineWriter {
 public:
  TgaLines(const char* path, int32_t w, int32_t h, int32_t ch)
      : CountingLineWriter(w, h, ch), sink_(path), row_(size_t(w) * 4) {
    if (w > 0xFFFF || h > 0xFFFF) {
      sink_.close();
      return;
    }
    const uint8_t header[18] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, uint8_t(w), uint8_t(w >> 8), uint8_t(h),
                                uint8_t(h >> 8), 32, 0x28};  // 8 alpha bits, top-left origin
    sink_.bytes(header, sizeof header);
  }
  bool ready() const { return sink_.ok(); }
  int os_error() const override { return sink_.error(); }

 private:
  bool put_row(const uint8_t* row) override {
    uint8_t* out = row_.data();
    for (int32_t x = 0; x < width_; ++x, row += channels_, out += 4)
      out[0] = row[2], out[1] = row[1], out[2] = row[0], out[3] = channels_ == 4 ? row[3] : 255;
    sink_.bytes(row_.data(), row_.size());
    return sink_.ok();
  }
  bool close_file(bool complete) override {
    if (complete) {
      // The version 2 footer, without extension or developer areas.
      sink_.u32le(0);
      sink_.u32le(0);
      sink_.bytes("TRUEVISION-XFILE.", 18);
    }
    return sink_.close();
  }

  FileSink sink_;
  std::vector<uint8_t> row_;
};

}  // namespace

std::unique_ptr<LineWriter> open_tga_lines(const char* path, int32_t width, int32_t height, int32_t channels,
                                           int* os_error) {
  return start_writer<TgaLines>(os_error, path, width, height, channels);
}

}  // namespace cvl::imaging
