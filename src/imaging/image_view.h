// Plain image descriptions shared by the imaging library's operations. The
// library knows nothing of the engine: it works on these views and on values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace cvl::imaging {

// An interleaved 8-bit image: `channels` bytes per pixel, rows `stride` bytes apart.
struct ImageView {
  uint8_t* data = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  int32_t channels = 4;
  int32_t stride = 0;  // bytes

  uint8_t* row(int32_t y) const { return data + static_cast<ptrdiff_t>(y) * stride; }
};

// A 16-bit twin (RGBA64 layers, mask planes): `channels` words per pixel, stride in bytes.
struct ImageView16 {
  uint16_t* data = nullptr;
  int32_t width = 0;
  int32_t height = 0;
  int32_t channels = 4;
  int32_t stride = 0;  // bytes

  uint16_t* row(int32_t y) const {
    return reinterpret_cast<uint16_t*>(reinterpret_cast<uint8_t*>(data) + static_cast<ptrdiff_t>(y) * stride);
  }
};

// Whether `src` and `dst` are both non-empty, of one size and of 3-byte RGB pixels:
// what the colour-only filters that read one image and write another accept.
inline bool rgb24_pair(const ImageView& src, const ImageView& dst) {
  return src.data && dst.data && src.channels == 3 && dst.channels == 3 && dst.width == src.width &&
         dst.height == src.height && src.width > 0 && src.height > 0;
}

// An owned, packed RGBA32 (or other channel count) image.
struct Image {
  std::vector<uint8_t> pixels;
  int32_t width = 0;
  int32_t height = 0;
  int32_t channels = 4;

  bool empty() const { return pixels.empty(); }
  ImageView view() { return {pixels.data(), width, height, channels, width * channels}; }
};

}  // namespace cvl::imaging
