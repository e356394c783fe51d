// Shared guards of the decoders: every length read from a file is checked against
// the bytes that are really there, and every image size against a cap, before
// anything is allocated or indexed.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "imaging/image_view.h"

namespace cvl::imaging {

// Largest edge and pixel count a decoder accepts; larger headers are refused
// rather than trusted with a huge allocation.
inline constexpr int64_t kMaxDecodeEdge = 1 << 15;
inline constexpr int64_t kMaxDecodePixels = int64_t(1) << 27;

inline bool acceptable_size(int64_t width, int64_t height) {
  return width > 0 && height > 0 && width <= kMaxDecodeEdge && height <= kMaxDecodeEdge &&
         width * height <= kMaxDecodePixels;
}

// Sizes `out` as a packed RGBA32 image; false when the size is not acceptable.
bool allocate_rgba(Image& out, int64_t width, int64_t height);

// Bounds-checked cursor over a byte range. Reads past the end yield zero and mark
// the reader as failed, so a parser may read a whole header and test ok() once.
class ByteReader {
 public:
  ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  bool ok() const { return ok_; }
  size_t pos() const { return pos_; }
  size_t size() const { return size_; }
  size_t remaining() const { return pos_ <= size_ ? size_ - pos_ : 0; }
  const uint8_t* here() const { return data_ + pos_; }

  bool seek(size_t pos) {
    if (pos > size_) return ok_ = false;
    pos_ = pos;
    return true;
  }
  bool skip(size_t n) {
    if (n > remaining()) return ok_ = false;
    pos_ += n;
    return true;
  }
  // Points at the next n bytes and steps over them; null when they are not there.
  const uint8_t* take(size_t n) {
    if (n > remaining()) {
      ok_ = false;
      return nullptr;
    }
    const uint8_t* p = data_ + pos_;
    pos_ += n;
    return p;
  }
  uint8_t u8() {
    const uint8_t* p = take(1);
    return p ? p[0] : 0;
  }
  uint16_t u16le() {
    const uint8_t* p = take(2);
    return p ? uint16_t(p[0] | p[1] << 8) : 0;
  }
  uint32_t u32le() {
    const uint8_t* p = take(4);
    return p ? uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24 : 0;
  }
  uint16_t u16be() {
    const uint8_t* p = take(2);
    return p ? uint16_t(p[0] << 8 | p[1]) : 0;
  }
  uint32_t u32be() {
    const uint8_t* p = take(4);
    return p ? uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]) : 0;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
  bool ok_ = true;
};

// Bytes handed out in order to a library's read callback.
struct MemorySource {
  const uint8_t* data;
  size_t size;
  size_t pos = 0;

  // Copies up to `n` bytes and returns how many there were.
  size_t read(void* out, size_t n) {
    n = std::min(n, size - pos);
    if (n) std::memcpy(out, data + pos, n);
    pos += n;
    return n;
  }
};

// Clears `out` and reports failure; decoders end every refusal with it.
inline bool refuse(Image& out) {
  out = Image{};
  return false;
}

}  // namespace cvl::imaging
