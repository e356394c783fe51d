// GIF writing: colours reduced to a palette (libimagequant where present), then
// the index image written by giflib.
#include <gif_lib.h>

#ifdef CORVEL_HAVE_IMAGEQUANT
#include <libimagequant.h>
#endif

#include <algorithm>
#include <memory>
#include <vector>

#include "codecs/encode.h"

namespace cvl::imaging {
namespace {

#ifdef CORVEL_HAVE_IMAGEQUANT
int32_t quantize_liq(const ImageView& src, uint8_t* indices, uint8_t* palette_rgb, int32_t max_colours) {
  std::vector<uint8_t> rgba(size_t(src.width) * src.height * 4);
  for (int32_t y = 0; y < src.height; ++y) {
    const uint8_t* s = src.row(y);
    uint8_t* d = rgba.data() + size_t(y) * src.width * 4;
    for (int32_t x = 0; x < src.width; ++x, s += src.channels, d += 4) d[0] = s[0], d[1] = s[1], d[2] = s[2], d[3] = 255;
  }
  liq_attr* attr = liq_attr_create();
  if (!attr) return 0;
  int32_t count = 0;
  liq_image* image = nullptr;
  liq_result* result = nullptr;
  if (liq_set_max_colors(attr, std::clamp(max_colours, 2, 256)) == LIQ_OK &&
      (image = liq_image_create_rgba(attr, rgba.data(), src.width, src.height, 0)) != nullptr &&
      liq_image_quantize(image, attr, &result) == LIQ_OK) {
    liq_set_dithering_level(result, 1.0f);
    if (liq_write_remapped_image(result, image, indices, size_t(src.width) * src.height) == LIQ_OK) {
      const liq_palette* pal = liq_get_palette(result);
      count = int32_t(pal->count);
      for (int32_t i = 0; i < count; ++i)
        palette_rgb[i * 3] = pal->entries[i].r, palette_rgb[i * 3 + 1] = pal->entries[i].g,
                    palette_rgb[i * 3 + 2] = pal->entries[i].b;
    }
  }
  if (result) liq_result_destroy(result);
  if (image) liq_image_destroy(image);
  liq_attr_destroy(attr);
  return count;
}
#else

// Without libimagequant: a fixed 6 x 7 x 6 colour cube, nearest entry per pixel.
int32_t quantize_cube(const ImageView& src, uint8_t* indices, uint8_t* palette_rgb) {
  int32_t n = 0;
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 7; ++g)
      for (int b = 0; b < 6; ++b, ++n)
        palette_rgb[n * 3] = uint8_t(r * 51), palette_rgb[n * 3 + 1] = uint8_t(g * 255 / 6),
                    palette_rgb[n * 3 + 2] = uint8_t(b * 51);
  for (int32_t y = 0; y < src.height; ++y) {
    const uint8_t* s = src.row(y);
    for (int32_t x = 0; x < src.width; ++x, s += src.channels) {
      const int r = (s[0] + 25) / 51, g = (s[1] * 6 + 127) / 255, b = (s[2] + 25) / 51;
      indices[size_t(y) * src.width + x] = uint8_t((r * 7 + g) * 6 + b);
    }
  }
  return n;
}
#endif

int write_to_file(GifFileType* gif, const GifByteType* data, int length) {
  return int(std::fwrite(data, 1, size_t(length), static_cast<std::FILE*>(gif->UserData)));
}

}  // namespace

int32_t quantize_rgb(const ImageView& src, uint8_t* indices, uint8_t* palette_rgb, int32_t max_colours) {
  if (!src.data || !indices || !palette_rgb || src.width <= 0 || src.height <= 0 || src.channels < 3) return 0;
#ifdef CORVEL_HAVE_IMAGEQUANT
  return quantize_liq(src, indices, palette_rgb, max_colours);
#else
  return max_colours >= 252 ? quantize_cube(src, indices, palette_rgb) : 0;
#endif
}

bool write_gif8(const char* path, const uint8_t* indices, int32_t width, int32_t height, const uint8_t* palette_rgb,
                int32_t colours) {
  if (!path || !indices || !palette_rgb || width <= 0 || height <= 0 || width > 0xFFFF || height > 0xFFFF ||
      colours < 1 || colours > 256)
    return false;
  for (size_t i = 0, n = size_t(width) * height; i < n; ++i)
    if (indices[i] >= colours) return false;
  int bits = 1;
  while ((1 << bits) < colours) ++bits;
  std::unique_ptr<ColorMapObject, void (*)(ColorMapObject*)> map(GifMakeMapObject(1 << bits, nullptr),
                                                                 GifFreeMapObject);
  if (!map) return false;
  for (int i = 0; i < (1 << bits); ++i) {
    const bool used = i < colours;
    map->Colors[i] = {GifByteType(used ? palette_rgb[i * 3] : 0), GifByteType(used ? palette_rgb[i * 3 + 1] : 0),
                      GifByteType(used ? palette_rgb[i * 3 + 2] : 0)};
  }
  std::FILE* f = std::fopen(path, "wb");
  if (!f) return false;
  int error = 0;
  GifFileType* gif = EGifOpen(f, write_to_file, &error);
  bool ok = gif != nullptr;
  if (ok) {
    EGifSetGifVersion(gif, false);
    ok = EGifPutScreenDesc(gif, width, height, bits, 0, map.get()) == GIF_OK &&
         EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr) == GIF_OK;
    for (int32_t y = 0; ok && y < height; ++y)
      ok = EGifPutLine(gif, const_cast<GifPixelType*>(indices + size_t(y) * width), width) == GIF_OK;
    ok = EGifCloseFile(gif, &error) == GIF_OK && ok;
  }
  return std::fclose(f) == 0 && ok;
}

bool write_gif(const char* path, const ImageView& src) {
  if (!src.data || src.width <= 0 || src.height <= 0 || src.channels < 3) return false;
  std::vector<uint8_t> indices(size_t(src.width) * src.height), palette(256 * 3);
  const int32_t colours = quantize_rgb(src, indices.data(), palette.data(), 256);
  return colours > 0 && write_gif8(path, indices.data(), src.width, src.height, palette.data(), colours);
}

}  // namespace cvl::imaging
