// PNG writing through libpng, one row at a time. Every libpng call that can fail
// sits behind its own setjmp, and no object with a destructor lives across one.
#include <png.h>

#include <csetjmp>
#include <cmath>

#include "codecs/file_sink.h"
#include "codecs/line_writers.h"

namespace cvl::imaging {
namespace {

void error_exit(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void quiet_warning(png_structp, png_const_charp) {}

class PngLines final : public CountingLineWriter {
 public:
  PngLines(const char* path, int32_t w, int32_t h, int32_t ch, const Resolution& res, int level)
      : CountingLineWriter(w, h, ch), sink_(path) {
    if (!sink_.ok()) return;
    png_ = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, error_exit, quiet_warning);
    if (png_) info_ = png_create_info_struct(png_);
    ready_ = png_ && info_ && start(res, level);
  }
  ~PngLines() override { png_destroy_write_struct(&png_, info_ ? &info_ : nullptr); }
  bool ready() const { return ready_; }
  int os_error() const override { return sink_.error(); }

 private:
  bool start(const Resolution& res, int level) {
    if (setjmp(png_jmpbuf(png_))) return false;
    png_init_io(png_, sink_.file());
    png_set_IHDR(png_, info_, png_uint_32(width_), png_uint_32(height_), 8,
                 channels_ == 4 ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_level(png_, level < 0 || level > 9 ? 6 : level);
    const double x = resolution_in(res, ResolutionUnit::PerMetre), y = resolution_in(res, ResolutionUnit::PerMetre, true);
    if (x > 0 && y > 0 && x < 4e9 && y < 4e9)
      png_set_pHYs(png_, info_, png_uint_32(x), png_uint_32(y), PNG_RESOLUTION_METER);
    png_write_info(png_, info_);
    return true;
  }
  bool put_row(const uint8_t* row) override {
    if (setjmp(png_jmpbuf(png_))) return false;
    png_write_row(png_, const_cast<png_bytep>(row));
    return true;
  }
  bool end() {
    if (setjmp(png_jmpbuf(png_))) return false;
    png_write_end(png_, nullptr);
    return true;
  }
  bool close_file(bool complete) override {
    const bool ended = complete && end();
    return sink_.close() && ended;
  }

  FileSink sink_;
  png_structp png_ = nullptr;
  png_infop info_ = nullptr;
  bool ready_ = false;
};

}  // namespace

std::unique_ptr<LineWriter> open_png_lines(const char* path, int32_t width, int32_t height, int32_t channels,
                                           const Resolution& res, int compression_level, int* os_error) {
  if (uint64_t(width) > PNG_UINT_31_MAX || uint64_t(height) > PNG_UINT_31_MAX) return nullptr;
  return start_writer<PngLines>(os_error, path, width, height, channels, res, compression_level);
}

}  // namespace cvl::imaging
