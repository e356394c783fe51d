#include "imaging/overlay.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "imaging/parallel_bands.h"

namespace cvl::imaging {

void copy_rect(uint8_t* dst, int32_t dst_stride, const uint8_t* src, int32_t src_stride, int32_t width,
               int32_t height, int32_t bytes_per_pixel) {
  if (!dst || !src || width <= 0 || height <= 0 || bytes_per_pixel <= 0) return;
  const size_t row_bytes = static_cast<size_t>(width) * static_cast<size_t>(bytes_per_pixel);
  const bool packed = dst_stride == src_stride && static_cast<size_t>(dst_stride) == row_bytes;
  // Large copies go in bands of rows (a megabyte or more each) to several threads.
  for_each_band(height, static_cast<int64_t>(row_bytes / 16), [&](int32_t first, int32_t end) {
    if (packed) {
      std::memcpy(dst + static_cast<ptrdiff_t>(first) * dst_stride, src + static_cast<ptrdiff_t>(first) * src_stride,
                  row_bytes * static_cast<size_t>(end - first));
      return;
    }
    for (int32_t y = first; y < end; ++y)
      std::memcpy(dst + static_cast<ptrdiff_t>(y) * dst_stride, src + static_cast<ptrdiff_t>(y) * src_stride,
                  row_bytes);
  });
}

void overlay_image(uint8_t* dst, int32_t dst_width, int32_t dst_height, int32_t dst_stride, const uint8_t* src,
                   int32_t src_width, int32_t src_height, int32_t src_stride, int32_t x, int32_t y,
                   int32_t bytes_per_pixel) {
  const int32_t x0 = std::max(x, 0), y0 = std::max(y, 0);
  const int32_t x1 = std::min(x + src_width, dst_width), y1 = std::min(y + src_height, dst_height);
  if (x1 <= x0 || y1 <= y0) return;
  copy_rect(dst + static_cast<ptrdiff_t>(y0) * dst_stride + static_cast<ptrdiff_t>(x0) * bytes_per_pixel, dst_stride,
            src + static_cast<ptrdiff_t>(y0 - y) * src_stride + static_cast<ptrdiff_t>(x0 - x) * bytes_per_pixel,
            src_stride, x1 - x0, y1 - y0, bytes_per_pixel);
}

bool crop_image(const ImageView& src, int32_t left, int32_t top, int32_t right, int32_t bottom, const ImageView& dst) {
  if (!src.data || !dst.data || src.channels != dst.channels) return false;
  if (left < 0 || top < 0 || right > src.width || bottom > src.height || right <= left || bottom <= top) return false;
  if (dst.width != right - left || dst.height != bottom - top) return false;
  copy_rect(dst.data, dst.stride, src.row(top) + static_cast<ptrdiff_t>(left) * src.channels, src.stride, dst.width,
            dst.height, src.channels);
  return true;
}

void overlay_image_over(const ImageView& dst, const ImageView& src, int32_t x, int32_t y) {
  if (!dst.data || !src.data || dst.channels != 4 || src.channels != 4) return;
  const int32_t x0 = std::max(x, 0), y0 = std::max(y, 0);
  const int32_t x1 = std::min(x + src.width, dst.width), y1 = std::min(y + src.height, dst.height);
  for (int32_t yy = y0; yy < y1; ++yy) {
    const uint8_t* s = src.row(yy - y) + static_cast<ptrdiff_t>(x0 - x) * 4;
    uint8_t* d = dst.row(yy) + static_cast<ptrdiff_t>(x0) * 4;
    for (int32_t xx = x0; xx < x1; ++xx, s += 4, d += 4) {
      const uint32_t sa = s[3];
      if (sa == 255 || d[3] == 0) {
        std::memcpy(d, s, 4);
        continue;
      }
      if (sa == 0) continue;
      // Destination weight da * (255 - sa) / 255, kept in 255ths to avoid an
      // early truncation.
      const uint32_t dw = d[3] * (255 - sa);
      const uint32_t aw = sa * 255 + dw;  // out alpha x 255
      for (int c = 0; c < 3; ++c) d[c] = static_cast<uint8_t>((s[c] * sa * 255 + d[c] * dw + aw / 2) / aw);
      d[3] = static_cast<uint8_t>((aw + 127) / 255);
    }
  }
}

}  // namespace cvl::imaging
