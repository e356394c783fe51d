// A file opened for writing that remembers whether any write failed, so writers can
// emit a whole header and check once, and the system's reason for the first failure.
#pragma once

#include <cerrno>
#include <cstdint>
#include <cstdio>

#include "codecs/codec.h"

namespace cvl::imaging {

class FileSink {
 public:
  explicit FileSink(const char* path) : f_(path ? std::fopen(path, "wb") : nullptr), ok_(f_ != nullptr) {
    if (path && !f_) error_ = errno;
  }
  ~FileSink() {
    if (f_) std::fclose(f_);
  }
  FileSink(const FileSink&) = delete;
  FileSink& operator=(const FileSink&) = delete;

  bool ok() const { return ok_; }
  // The errno value of the first failed open, write or close; 0 when none failed or
  // the failure was not the system's (a writer gave up on its own).
  int error() const { return error_; }
  std::FILE* file() const { return f_; }

  void bytes(const void* p, size_t n) {
    if (ok_ && n && std::fwrite(p, 1, n, f_) != n) fail(errno);
  }
  void u8(uint8_t v) { bytes(&v, 1); }
  void u16le(uint32_t v) {
    const uint8_t b[2] = {uint8_t(v), uint8_t(v >> 8)};
    bytes(b, 2);
  }
  void u32le(uint32_t v) {
    const uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    bytes(b, 4);
  }
  void u16be(uint32_t v) {
    const uint8_t b[2] = {uint8_t(v >> 8), uint8_t(v)};
    bytes(b, 2);
  }
  void u32be(uint32_t v) {
    const uint8_t b[4] = {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)};
    bytes(b, 4);
  }
  // Flushes and closes; false if anything failed on the way.
  bool close() {
    if (f_) {
      // A library writing through file() directly leaves its failure on the stream.
      if (std::ferror(f_)) fail(errno);
      if (std::fclose(f_) != 0) fail(errno);
      f_ = nullptr;
    }
    return ok_;
  }

 private:
  void fail(int error) {
    if (ok_ && !error_) error_ = error;
    ok_ = false;
  }

  std::FILE* f_;
  bool ok_;
  int error_ = 0;
};

// A resolution in another unit, for formats that store one unit only (0 when none is stated).
double resolution_in(const Resolution& res, ResolutionUnit unit, bool vertical = false);

// Writes the rows of `src` into a line writer, top row first (bottom first when `bottom_up`).
class LineWriter;
bool feed_rows(LineWriter& writer, const ImageView& src, bool bottom_up);

}  // namespace cvl::imaging
