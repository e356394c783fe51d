// Line writers chosen by format, and the whole-image writers that feed them.
#include <memory>

#include "codecs/encode.h"
#include "codecs/file_sink.h"
#include "codecs/line_writers.h"

namespace cvl::imaging {

double resolution_in(const Resolution& res, ResolutionUnit unit, bool vertical) {
  const double v = vertical ? res.y : res.x;
  // Metres per unit, so that value / metres-per-unit-of-source * metres-per-target converts.
  auto metres = [](ResolutionUnit u) { return u == ResolutionUnit::PerInch ? 0.0254 : u == ResolutionUnit::PerCentimetre ? 0.01 : 1.0; };
  if (res.unit == ResolutionUnit::None || unit == ResolutionUnit::None || v <= 0) return 0;
  if (res.unit == unit) return v;
  return v / metres(res.unit) * metres(unit);
}

bool feed_rows(LineWriter& writer, const ImageView& src, bool bottom_up) {
  for (int32_t i = 0; i < src.height; ++i)
    if (!writer.write_row(src.row(bottom_up ? src.height - 1 - i : i))) return false;
  return writer.finish();
}

std::unique_ptr<LineWriter> open_line_writer(LineFormat format, const char* path, int32_t width, int32_t height,
                                             int32_t channels, const LineWriterOptions& options, int* os_error) {
  if (os_error) *os_error = 0;
  if (!path || width <= 0 || height <= 0 || (channels != 3 && channels != 4)) return nullptr;
  const Resolution& res = options.resolution;
  switch (format) {
    case LineFormat::Bmp: return open_bmp_lines(path, width, height, channels, res, os_error);
    case LineFormat::Png: return open_png_lines(path, width, height, channels, res, options.png_compression, os_error);
    case LineFormat::Jpeg: return open_jpeg_lines(path, width, height, channels, options.jpeg_quality, res, os_error);
    case LineFormat::Tga: return open_tga_lines(path, width, height, channels, os_error);
    case LineFormat::Tiff: return open_tiff_lines(path, width, height, channels, res, os_error);
  }
  return nullptr;
}

namespace {

bool write_through(std::unique_ptr<LineWriter> w, const ImageView& src, bool bottom_up) {
  return w && feed_rows(*w, src, bottom_up);
}

bool usable(const ImageView& src) {
  return src.data && src.width > 0 && src.height > 0 && (src.channels == 3 || src.channels == 4);
}

}  // namespace

bool write_bmp(const char* path, const ImageView& src, const Resolution& res) {
  return usable(src) && write_through(open_bmp_lines(path, src.width, src.height, src.channels, res), src, true);
}
bool write_png(const char* path, const ImageView& src, const Resolution& res, int compression_level) {
  return usable(src) &&
         write_through(open_png_lines(path, src.width, src.height, src.channels, res, compression_level), src, false);
}
bool write_jpeg(const char* path, const ImageView& src, int quality, const Resolution& res) {
  return usable(src) &&
         write_through(open_jpeg_lines(path, src.width, src.height, src.channels, quality, res), src, false);
}
bool write_tiff(const char* path, const ImageView& src, const Resolution& res) {
  return usable(src) && write_through(open_tiff_lines(path, src.width, src.height, src.channels, res), src, false);
}
bool write_tga(const char* path, const ImageView& src) {
  return usable(src) && write_through(open_tga_lines(path, src.width, src.height, src.channels), src, false);
}

}  // namespace cvl::imaging
