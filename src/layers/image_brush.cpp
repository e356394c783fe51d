// The image brush's picture: loading, frames, filling, capturing and saving.
#include "layers/image_brush.h"

#include <algorithm>
#include <cstring>

#include "core/tool_settings.h"
#include "core/engine.h"
#include "core/pixel_convert.h"
#include "codecs/codec.h"
#include "codecs/encode.h"

namespace cvl {

namespace {

size_t area(int32_t w, int32_t h) { return static_cast<size_t>(w) * static_cast<size_t>(h); }

// An RGBA32 image widened with every channel, alpha included, times 256.
Buffer<uint16_t> widened(const uint8_t* rgba, int32_t w, int32_t h) {
  const size_t words = area(w, h) * 4;
  Buffer<uint16_t> out(words);
  uint16_t* o = out.get();
  for (size_t i = 0; i < words; ++i) o[i] = static_cast<uint16_t>(rgba[i] << 8);
  return out;
}

// Replaces the picture with an edge x edge one, cleared; none for an edge below 1.
void new_square_picture(ImageBrush& ib, int32_t edge) {
  ib.picture.reset();
  ib.width = ib.height = 0;
  if (edge <= 0) return;
  ib.picture = Buffer<uint16_t>(area(edge, edge) * 4);
  std::memset(ib.picture.get(), 0, area(edge, edge) * 8);
  ib.width = ib.height = edge;
}

// Whether a w x h picture fits a canvas of brush capacity `cap`.
bool fits_brush(int32_t cap, int32_t w, int32_t h) { return w > 0 && h > 0 && w <= cap && h <= cap; }

int32_t replace_picture(ImageBrush& ib, int32_t cap, const uint8_t* rgba, int32_t w, int32_t h) {
  if (!rgba || !fits_brush(cap, w, h)) return 0;
  ib.picture = widened(rgba, w, h);
  ib.width = w;
  ib.height = h;
  return 1;
}

}  // namespace

ImageBrush& image_brush() {
  static ImageBrush brush;
  return brush;
}

void reset_image_brush() { image_brush() = ImageBrush{}; }

int32_t load_image_brush(const Engine& e, const char* path) {
  imaging::Image img;
  if (!path || !imaging::decode_file(path, img)) return 0;
  return replace_picture(image_brush(), e.brush_capacity, img.pixels.data(), img.width, img.height);
}

int32_t load_image_brush_rgba32(const Engine& e, const uint8_t* rgba, int32_t width, int32_t height) {
  return replace_picture(image_brush(), e.brush_capacity, rgba, width, height);
}

int32_t load_image_brush_array(const Engine& e, const char* path) {
  imaging::Image img;
  if (!path || !imaging::decode_file(path, img)) return 0;
  if (img.height <= 0 || img.height > e.brush_capacity) return 0;
  ImageBrush& ib = image_brush();
  ib.strip.reset();
  ib.picture.reset();
  ib.width = ib.height = 0;
  ib.strip = widened(img.pixels.data(), img.width, img.height);
  ib.strip_width = img.width;
  ib.strip_height = img.height;
  ib.frame_count = img.width / img.height;
  new_square_picture(ib, img.height);
  return 1;
}

int32_t copy_from_image_brush_array(float x) {
  ImageBrush& ib = image_brush();
  if (!ib.has_picture() || !ib.strip) return 0;
  const int32_t frame = static_cast<int32_t>(static_cast<float>(ib.frame_count) * x);
  const int32_t h = ib.width;
  // A position outside 0..1, or a picture replaced since the strip was loaded, would
  // name columns or rows that the strip or the picture does not have.
  if (frame < 0 || frame >= ib.frame_count || h > ib.strip_height || h > ib.height ||
      static_cast<int64_t>(frame + 1) * h > ib.strip_width)
    return 0;
  for (int32_t y = 0; y < h; ++y)
    std::memcpy(ib.picture.get() + area(y, ib.width) * 4,
                ib.strip.get() + (area(y, ib.strip_width) + area(frame, h)) * 4, area(h, 8));
  return 1;
}

int32_t save_image_brush(const char* path) {
  const ImageBrush& ib = image_brush();
  if (!ib.has_picture() || !path) return 0;
  Buffer<uint8_t> rgba(area(ib.width, ib.height) * 4);
  narrow_rgba64_rect(rgba.get(), ib.width * 4, ib.picture.get(), ib.width * 8, ib.width, ib.height, 4);
  const imaging::ImageView view{rgba.get(), ib.width, ib.height, 4, ib.width * 4};
  const imaging::Resolution per_metre{2834, 2834, imaging::ResolutionUnit::PerMetre};
  return imaging::write_png(path, view, per_metre) ? 1 : 0;
}

int32_t fill_image_brush(const ToolSettings& t, uint8_t r, uint8_t g, uint8_t b) {
  ImageBrush& ib = image_brush();
  new_square_picture(ib, t.brush_size);
  const uint16_t px[4] = {static_cast<uint16_t>(r * 257), static_cast<uint16_t>(g * 257),
                          static_cast<uint16_t>(b * 257), 65535};
  uint16_t* p = ib.picture.get();
  for (size_t i = 0, n = area(ib.width, ib.height); i < n; ++i, p += 4) std::memcpy(p, px, 8);
  return ib.width;
}

int32_t colour_image_brush(const ToolSettings& t, uint8_t r, uint8_t g, uint8_t b) {
  ImageBrush& ib = image_brush();
  if (!ib.has_picture()) {
    new_square_picture(ib, t.brush_size);
    std::fill_n(ib.picture.get(), area(ib.width, ib.height) * 4, uint16_t{65535});
  }
  uint16_t* p = ib.picture.get();
  for (size_t i = 0, n = area(ib.width, ib.height); i < n; ++i, p += 4) {
    p[0] = static_cast<uint16_t>(r * 257);
    p[1] = static_cast<uint16_t>(g * 257);
    p[2] = static_cast<uint16_t>(b * 257);
  }
  return ib.height;
}

int32_t copy_to_image_brush(const Engine& e, const ToolSettings& t) {
  ImageBrush& ib = image_brush();
  new_square_picture(ib, t.brush_size);
  if (!ib.has_picture() || !e.blend_buffer.pixels) return ib.width;
  // A brush larger than the blend buffer takes what the buffer has; the rest stays clear.
  const int32_t edge = std::min(ib.width, e.brush_capacity);
  for (int32_t y = 0; y < edge; ++y)
    std::memcpy(ib.picture.get() + area(y, ib.width) * 4,
                e.blend_buffer.pixels.get() + area(y, e.blend_buffer.row_stride), area(edge, 8));
  return ib.width;
}

}  // namespace cvl
