// Baseline JPEG writing through libjpeg-turbo, one row at a time, with full-size
// chroma (no subsampling) and no smoothing, so that flat artwork keeps crisp colour edges.
#include <algorithm>
#include <cmath>
#include <vector>

#include "codecs/jpeg_error_trap.h"

#include "codecs/file_sink.h"
#include "codecs/line_writers.h"

namespace cvl::imaging {
namespace {


class JpegLines final : public CountingLineWriter {
 public:
  JpegLines(const char* path, int32_t w, int32_t h, int32_t ch, int quality, const Resolution& res)
      : CountingLineWriter(w, h, ch), sink_(path), row_(size_t(w) * 3) {
    cinfo_.err = trap_.install();
    ready_ = sink_.ok() && start(quality, res);
  }
  ~JpegLines() override { jpeg_destroy_compress(&cinfo_); }
  bool ready() const { return ready_; }
  int os_error() const override { return sink_.error(); }

 private:
  bool start(int quality, const Resolution& res) {
    if (setjmp(trap_.jump)) return false;
    jpeg_create_compress(&cinfo_);
    jpeg_stdio_dest(&cinfo_, sink_.file());
    cinfo_.image_width = JDIMENSION(width_);
    cinfo_.image_height = JDIMENSION(height_);
    cinfo_.input_components = 3;
    cinfo_.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo_);
    jpeg_set_quality(&cinfo_, std::clamp(quality, 1, 100), TRUE);
    for (int c = 0; c < cinfo_.num_components; ++c) cinfo_.comp_info[c].h_samp_factor = cinfo_.comp_info[c].v_samp_factor = 1;
    cinfo_.smoothing_factor = 0;
    cinfo_.dct_method = JDCT_ISLOW;
    set_density(res);
    jpeg_start_compress(&cinfo_, TRUE);
    return true;
  }
  // JFIF keeps dots per inch or per centimetre in 16 bits; per-metre values become per centimetre.
  void set_density(const Resolution& res) {
    if (res.unit == ResolutionUnit::None) return;
    const ResolutionUnit unit = res.unit == ResolutionUnit::PerInch ? ResolutionUnit::PerInch : ResolutionUnit::PerCentimetre;
    const double x = resolution_in(res, unit), y = resolution_in(res, unit, true);
    if (x < 1 || y < 1) return;
    cinfo_.write_JFIF_header = TRUE;
    cinfo_.density_unit = unit == ResolutionUnit::PerInch ? 1 : 2;
    cinfo_.X_density = UINT16(std::min(x, 65535.0));
    cinfo_.Y_density = UINT16(std::min(y, 65535.0));
  }
  bool put_row(const uint8_t* row) override {
    uint8_t* out = row_.data();
    for (int32_t x = 0; x < width_; ++x, row += channels_, out += 3) out[0] = row[0], out[1] = row[1], out[2] = row[2];
    if (setjmp(trap_.jump)) return false;
    JSAMPROW rows[1] = {row_.data()};
    return jpeg_write_scanlines(&cinfo_, rows, 1) == 1;
  }
  bool end() {
    if (setjmp(trap_.jump)) return false;
    jpeg_finish_compress(&cinfo_);
    return true;
  }
  bool close_file(bool complete) override {
    const bool ended = complete && end();
    return sink_.close() && ended;
  }

  FileSink sink_;
  jpeg_compress_struct cinfo_{};
  JpegErrorTrap trap_{};
  std::vector<uint8_t> row_;
  bool ready_ = false;
};

}  // namespace

std::unique_ptr<LineWriter> open_jpeg_lines(const char* path, int32_t width, int32_t height, int32_t channels,
                                            int quality, const Resolution& res, int* os_error) {
  if (width > JPEG_MAX_DIMENSION || height > JPEG_MAX_DIMENSION) return nullptr;
  return start_writer<JpegLines>(os_error, path, width, height, channels, quality, res);
}

}  // namespace cvl::imaging
