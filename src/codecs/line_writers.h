// The per-format line writers behind open_line_writer. Each checks its own arguments
// enough to never write a malformed file; null on failure.
#pragma once

#include <memory>
#include <utility>

#include "codecs/encode.h"

namespace cvl::imaging {

// Counts rows and latches failure, so each format only writes a row and closes.
class CountingLineWriter : public LineWriter {
 public:
  CountingLineWriter(int32_t width, int32_t height, int32_t channels)
      : width_(width), height_(height), channels_(channels) {}

  bool write_row(const uint8_t* row) final {
    if (failed_ || finished_ || !row || rows_ >= height_ || !put_row(row)) return !(failed_ = true);
    ++rows_;
    return true;
  }
  // Complete only when every row arrived and the file closed cleanly.
  bool finish() final {
    if (!finished_) {
      finished_ = true;
      const bool closed = close_file(!failed_ && rows_ == height_);
      result_ = closed && !failed_ && rows_ == height_;
    }
    return result_;
  }

 protected:
  virtual bool put_row(const uint8_t* row) = 0;
  // Ends the file; `complete` is false when rows are missing or one failed.
  virtual bool close_file(bool complete) = 0;

  const int32_t width_, height_, channels_;

 private:
  int32_t rows_ = 0;
  bool failed_ = false, finished_ = false, result_ = false;
};

// Builds a writer and hands it out only if it started cleanly, else leaves the
// system's reason in `os_error` (when given).
template <class Writer, class... Args>
std::unique_ptr<LineWriter> start_writer(int* os_error, Args&&... args) {
  auto w = std::make_unique<Writer>(std::forward<Args>(args)...);
  if (w->ready()) return w;
  if (os_error) *os_error = w->os_error();
  return nullptr;
}

std::unique_ptr<LineWriter> open_bmp_lines(const char* path, int32_t width, int32_t height, int32_t channels,
                                           const Resolution& res, int* os_error = nullptr);
std::unique_ptr<LineWriter> open_png_lines(const char* path, int32_t width, int32_t height, int32_t channels,
                                           const Resolution& res, int compression_level, int* os_error = nullptr);
std::unique_ptr<LineWriter> open_jpeg_lines(const char* path, int32_t width, int32_t height, int32_t channels,
                                            int quality, const Resolution& res, int* os_error = nullptr);
std::unique_ptr<LineWriter> open_tga_lines(const char* path, int32_t width, int32_t height, int32_t channels,
                                           int* os_error = nullptr);
std::unique_ptr<LineWriter> open_tiff_lines(const char* path, int32_t width, int32_t height, int32_t channels,
                                            const Resolution& res, int* os_error = nullptr);

}  // namespace cvl::imaging
