// The image brush at the brush's size: sizing, turning, and mixing into the blend buffer.
#include <algorithm>
#include <cstring>

#include "core/tool_settings.h"
#include "core/engine.h"
#include "imagescript/imagescript.h"
#include "imaging/geometry/resample.h"
#include "layers/image_brush.h"

namespace cvl {

namespace {

constexpr int32_t kRotateEffect = 51;

size_t area(int32_t w, int32_t h) { return static_cast<size_t>(w) * static_cast<size_t>(h); }

// The strength's share of the blend buffer, 0..255 for 0..100 percent.
int32_t blend_share(int32_t strength_percent) { return static_cast<int32_t>(strength_percent * 2.559); }

// The part of an s x s patch that the blend buffer holds; the host keeps the brush
// within the buffer, but a larger one must not write past it.
int32_t blend_edge(const Engine& e, int32_t s) { return std::min(s, e.brush_capacity); }

// The image-script rotation, in place, by whole degrees at full scale.
bool turn(uint8_t* rgba, int32_t edge, int32_t degrees) {
  const int32_t values[2] = {degrees, 100};  // values 3 and 4 of the effect
  return imagescript::run_effect(kRotateEffect, values, 2, rgba, edge, edge);
}

// Brings the two RGBA32 copies to the sized picture's size and narrows the sized
// picture into the unrotated one; false (flag clear) when memory is short.
bool prepare_copies(ImageBrush& ib) {
  const int32_t s = ib.sized_edge;
  if (ib.copies_edge != s) {
    ib.unrotated.reset();
    ib.rotated.reset();
  }
  ib.copies_edge = s;
  if (!ib.unrotated) ib.unrotated = Buffer<uint8_t>::try_allocate(area(s, s) * 4);
  if (!ib.rotated) ib.rotated = Buffer<uint8_t>::try_allocate(area(s, s) * 4);
  if (!ib.unrotated || !ib.rotated) {
    ib.rotation_ready = 0;
    return false;
  }
  const uint16_t* src = ib.sized.get();
  uint8_t* dst = ib.unrotated.get();
  for (size_t i = 0, n = area(s, s) * 4; i < n; ++i) dst[i] = static_cast<uint8_t>(src[i] >> 8);
  ib.rotation_ready = 1;
  return true;
}

void channel_to_plane(const uint8_t* rgba, int channel, uint8_t* plane, size_t pixels) {
  for (size_t i = 0; i < pixels; ++i) plane[i] = rgba[i * 4 + static_cast<size_t>(channel)];
}
void plane_to_channel(const uint8_t* plane, uint8_t* rgba, int channel, size_t pixels) {
  for (size_t i = 0; i < pixels; ++i) rgba[i * 4 + static_cast<size_t>(channel)] = plane[i];
}

}  // namespace

int32_t size_image_brush(const ToolSettings& t) {
  ImageBrush& ib = image_brush();
  if (!ib.has_picture()) return 0;
  ib.rotation_ready = 0;
  const int32_t s = t.brush_size;
  if (ib.sized_edge != s || !ib.sized) {
    ib.sized.reset();
    ib.sized_edge = 0;
    if (s <= 0) return 0;
    ib.sized = Buffer<uint16_t>(area(s, s) * 4);
    ib.sized_edge = s;
  }
  const int32_t w = ib.width, h = ib.height;
  const imaging::ImageView16 from{ib.picture.get(), w, h, 4, w * 8};
  const imaging::ImageView16 to{ib.sized.get(), s, s, 4, s * 8};
  if (w == s) {
    // Same width: rows are copied as they stand; rows the picture lacks stay clear.
    const int32_t rows = std::min(h, s);
    std::memcpy(ib.sized.get(), ib.picture.get(), area(rows, s) * 8);
    std::memset(ib.sized.get() + area(rows, s) * 4, 0, area(s - rows, s) * 8);
  } else if (s < w) {
    imaging::decimate_area(from, to);
  } else {
    imaging::resize_bilinear(from, to);
  }
  return s;
}

int32_t rotate_image_brush(int32_t degrees) {
  ImageBrush& ib = image_brush();
  if (!ib.has_sized()) return 0;
  if ((!ib.rotation_ready || !ib.unrotated || !ib.rotated || ib.copies_edge != ib.sized_edge) && !prepare_copies(ib))
    return 0;
  const int32_t s = ib.sized_edge;
  const size_t n = area(s, s);
  Buffer<uint8_t> plane(n);
  const int32_t turn_by = 360 - degrees;

  // The alpha plane travels as the red channel of an opaque image, so the rotation
  // moves and filters it exactly as it does colour, and nothing left in the rotated
  // copy from an earlier turn can weigh on it.
  uint8_t* carrier = ib.rotated.get();
  channel_to_plane(ib.unrotated.get(), 3, plane.get(), n);
  for (size_t i = 0; i < n; ++i) {
    carrier[i * 4] = plane[i];
    carrier[i * 4 + 1] = carrier[i * 4 + 2] = 0;
    carrier[i * 4 + 3] = 255;
  }
  if (turn(carrier, s, turn_by)) channel_to_plane(carrier, 0, plane.get(), n);

  std::memcpy(ib.rotated.get(), ib.unrotated.get(), n * 4);
  if (turn(ib.rotated.get(), s, turn_by)) plane_to_channel(plane.get(), ib.rotated.get(), 3, n);
  return ib.rotation_ready;
}

int32_t mix_image_brush(const Engine& e, int32_t strength_percent) {
  const ImageBrush& ib = image_brush();
  if (!ib.has_sized() || !e.blend_buffer.pixels) return ib.sized_edge;
  const int32_t s = ib.sized_edge, edge = blend_edge(e, s);
  const int32_t d = blend_share(strength_percent);
  for (int32_t y = 0; y < edge; ++y) {
    const uint16_t* src = ib.sized.get() + area(y, s) * 4;
    uint16_t* b = e.blend_buffer.pixels.get() + area(y, e.blend_buffer.row_stride);
    if (d <= 0) {
      std::memcpy(b, src, area(edge, 8));
      continue;
    }
    for (size_t i = 0, words = area(edge, 4); i < words; ++i)
      b[i] = static_cast<uint16_t>((d * b[i] + (255 - d) * src[i]) >> 8);
  }
  return s;
}

int32_t mix_rotated_image_brush(const Engine& e, int32_t strength_percent) {
  const ImageBrush& ib = image_brush();
  if (!ib.rotated || !ib.rotation_ready || !e.blend_buffer.pixels) return 0;
  const int32_t s = ib.copies_edge, edge = blend_edge(e, s);
  const int32_t d = blend_share(strength_percent), c = 255 - d;
  for (int32_t y = 0; y < edge; ++y) {
    const uint8_t* q = ib.rotated.get() + area(y, s) * 4;
    uint16_t* b = e.blend_buffer.pixels.get() + area(y, e.blend_buffer.row_stride);
    for (size_t i = 0, words = area(edge, 4); i < words; ++i)
      b[i] = static_cast<uint16_t>(d > 0 ? c * q[i] + ((d * b[i]) >> 8) : q[i] * 256);
  }
  return edge;
}

}  // namespace cvl
