#include "io/picture_file.h"

#include <string>

namespace cvl {

FailureCause write_picture_rows(imaging::LineFormat format, const char* path, int32_t width, int32_t height,
                                int32_t channels, const imaging::LineWriterOptions& options,
                                const std::function<const uint8_t*(int32_t y)>& row) {
  if (!path || !*path) return "no file name given";
  int os_error = 0;
  auto writer = imaging::open_line_writer(format, path, width, height, channels, options, &os_error);
  if (!writer) {
    if (os_error) return "cannot create " + std::string(path) + os_reason(os_error);
    return "cannot write a " + std::to_string(width) + " x " + std::to_string(height) + " picture in this format to " +
           path;
  }
  const bool bottom_up = format == imaging::LineFormat::Bmp;
  for (int32_t i = 0; i < height; ++i) {
    const uint8_t* r = row(bottom_up ? height - 1 - i : i);
    if (!r || !writer->write_row(r)) break;
  }
  if (!writer->finish()) return "cannot write " + std::string(path) + os_reason(writer->os_error());
  return {};
}

FailureCause write_picture(imaging::LineFormat format, const char* path, const imaging::ImageView& picture,
                           const imaging::LineWriterOptions& options) {
  return write_picture_rows(format, path, picture.width, picture.height, picture.channels, options,
                            [&](int32_t y) { return picture.row(y); });
}

}  // namespace cvl
