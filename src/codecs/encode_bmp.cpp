// 24-bit BMP writing. Rows arrive bottom first, the order the file stores them, so
// nothing is held back and the file is never revisited.
#include <cmath>
#include <vector>

#include "codecs/file_sink.h"
#include "codecs/line_writers.h"

namespace cvl::imaging {
namespace {

class BmpLines final : public CountingLineWriter {
 public:
  BmpLines(const char* path, int32_t w, int32_t h, int32_t ch, const Resolution& res)
      : CountingLineWriter(w, h, ch), sink_(path), row_((size_t(w) * 3 + 3) & ~size_t(3), 0) {
    const uint64_t image = uint64_t(row_.size()) * h;
    if (image + 54 > 0xFFFFFFFFu) {
      sink_.close();
      return;
    }
    const auto ppm = [](double v) { return v > 0 && v < 4e9 ? uint32_t(v) : 0u; };
    sink_.bytes("BM", 2);
    sink_.u32le(uint32_t(image + 54));
    sink_.u32le(0);
    sink_.u32le(54);
    sink_.u32le(40);
    sink_.u32le(uint32_t(w));
    sink_.u32le(uint32_t(h));  // positive: bottom-up
    sink_.u16le(1);
    sink_.u16le(24);
    sink_.u32le(0);
    sink_.u32le(uint32_t(image));
    sink_.u32le(ppm(resolution_in(res, ResolutionUnit::PerMetre)));
    sink_.u32le(ppm(resolution_in(res, ResolutionUnit::PerMetre, true)));
    sink_.u32le(0);
    sink_.u32le(0);
  }
  bool ready() const { return sink_.ok(); }
  int os_error() const override { return sink_.error(); }

 private:
  bool put_row(const uint8_t* row) override {
    uint8_t* out = row_.data();
    for (int32_t x = 0; x < width_; ++x, row += channels_, out += 3) out[0] = row[2], out[1] = row[1], out[2] = row[0];
    sink_.bytes(row_.data(), row_.size());
    return sink_.ok();
  }
  bool close_file(bool) override { return sink_.close(); }

  FileSink sink_;
  std::vector<uint8_t> row_;
};

}  // namespace

std::unique_ptr<LineWriter> open_bmp_lines(const char* path, int32_t width, int32_t height, int32_t channels,
                                           const Resolution& res, int* os_error) {
  return start_writer<BmpLines>(os_error, path, width, height, channels, res);
}

}  // namespace cvl::imaging
