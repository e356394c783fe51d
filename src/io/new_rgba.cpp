#include "io/new_rgba.h"

#include <cstdint>
#include <cstring>
#include <new>

#include "core/engine.h"
#include "core/last_error.h"
#include "core/pixel_convert.h"
#include "layers/rgba32_loader.h"
#include "imaging/geometry/resample.h"

namespace cvl {

namespace {

NewRgba g_new_rgba;

size_t pixel_count(int32_t width, int32_t height) {
  return static_cast<size_t>(width) * static_cast<size_t>(height);
}

}  // namespace

NewRgba& new_rgba() { return g_new_rgba; }

uint8_t* create_new_rgba(int32_t width, int32_t height) {
  NewRgba& n = new_rgba();
  delete_new_rgba();
  n.width = width;
  n.height = height;
  try {
    // A negative size, or one whose byte count does not fit, fails as a size too large does.
    if (width < 0 || height < 0 || pixel_count(width, height) > SIZE_MAX / 4) throw std::bad_alloc();
    n.pixels = Buffer<uint8_t>(pixel_count(width, height) * 4);
  } catch (...) {
    set_last_error("CreateNewRGBA Excpt");
    n.pixels.reset();
  }
  return n.pixels.get();
}

void delete_new_rgba() { new_rgba().pixels.reset(); }

int32_t is_new_rgba_transparent() {
  const NewRgba& n = new_rgba();
  if (!n.pixels) return 0;
  const uint8_t* p = n.pixels.get();
  const size_t count = pixel_count(n.width, n.height);
  for (size_t i = 0; i < count; ++i)
    if (p[i * 4 + 3] < 255) return 1;
  return 0;
}

int32_t set_in_new_rgba(Engine& e) {
  const NewRgba& n = new_rgba();
  return load_rgba32_layer(e, n.pixels.get(), n.width * 4, e.current_layer_num, 0, 0, n.width, n.height, true);
}

void get_new_rgba32(uint8_t* dst) {
  const NewRgba& n = new_rgba();
  if (!n.pixels || !dst) return;
  std::memcpy(dst, n.pixels.get(), pixel_count(n.width, n.height) * 4);
}

void get_new_rgba24(uint8_t* dst) {
  const NewRgba& n = new_rgba();
  if (!n.pixels || !dst) return;
  rgba_to_rgb(dst, n.width, n.height, n.pixels.get());
}

void get_resized_new_rgba24(uint8_t* dst, int32_t width, int32_t height) {
  const NewRgba& n = new_rgba();
  if (!n.pixels || !dst || width <= 0 || height <= 0) return;
  Buffer<uint8_t> scratch(pixel_count(width, height) * 4);
  const imaging::ImageView src{n.pixels.get(), n.width, n.height, 4, n.width * 4};
  const imaging::ImageView out{scratch.get(), width, height, 4, width * 4};
  if (width < n.width && height < n.height)
    imaging::decimate_area(src, out);
  else
    imaging::resize_bilinear(src, out);
  rgba_to_rgb(dst, width, height, scratch.get());
}

}  // namespace cvl
