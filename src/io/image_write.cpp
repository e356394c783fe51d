#include "io/image_write.h"

#include <cmath>
#include <vector>

#include "codecs/encode.h"
#include "io/file_extension.h"

namespace cvl {

namespace {

using imaging::ImageView;
using imaging::Resolution;
using imaging::ResolutionUnit;

// BMP and PNG store whole dots per metre.
Resolution per_metre_truncated(int32_t dpi) {
  const double ppm = std::trunc(dots_per_metre(dpi));
  return {ppm, ppm, ResolutionUnit::PerMetre};
}
Resolution per_inch(int32_t dpi) { return {double(dpi), double(dpi), ResolutionUnit::PerInch}; }

bool quantized_gif(const char* path, const ImageView& src) {
  std::vector<uint8_t> indices(static_cast<size_t>(src.width) * static_cast<size_t>(src.height));
  std::vector<uint8_t> palette(256 * 3);
  const int32_t colours = imaging::quantize_rgb(src, indices.data(), palette.data(), 256);
  return colours > 0 && imaging::write_gif8(path, indices.data(), src.width, src.height, palette.data(), colours);
}

bool bmp(const char* p, const ImageView& v, int32_t dpi) { return imaging::write_bmp(p, v, per_metre_truncated(dpi)); }
bool png(const char* p, const ImageView& v, int32_t dpi) { return imaging::write_png(p, v, per_metre_truncated(dpi)); }
bool jpg(const char* p, const ImageView& v, int32_t dpi) { return imaging::write_jpeg(p, v, 97, per_inch(dpi)); }
bool tif(const char* p, const ImageView& v, int32_t dpi) { return imaging::write_tiff(p, v, per_inch(dpi)); }
bool gif(const char* p, const ImageView& v, int32_t) { return quantized_gif(p, v); }
// ".wmf" gets the enhanced form too, as it always has: readers tell metafiles apart by content.
bool emf(const char* p, const ImageView& v, int32_t) { return imaging::write_metafile(p, v); }
bool pcx(const char* p, const ImageView& v, int32_t) { return imaging::write_pcx(p, v); }
bool psd(const char* p, const ImageView& v, int32_t) { return imaging::write_psd(p, v); }
bool tga(const char* p, const ImageView& v, int32_t) { return imaging::write_tga(p, v); }
bool webp(const char* p, const ImageView& v, int32_t) { return imaging::write_webp(p, v); }

// One writer per extension, tried in this order. Added formats go at the end, so that
// an extension that matched before still picks the writer it always did.
struct Writer {
  const char* ext;
  bool (*write)(const char* path, const ImageView& src, int32_t dpi);
};
const Writer kRgb24Writers[] = {{".bmp", bmp}, {".png", png}, {".emf", emf}, {".gif", gif},
                                {".jpg", jpg}, {".pcx", pcx}, {".psd", psd}, {".wmf", emf}, {".webp", webp}};
const Writer kRgba32Writers[] = {{".png", png}, {".tga", tga}, {".tif", tif}, {".webp", webp}};

// An unknown extension writes nothing: the destination is not even created, so an
// existing file of that name keeps its contents.
template <size_t N>
int32_t write_by_extension(const Writer (&writers)[N], const uint8_t* image, int32_t width, int32_t height,
                           int channels, const char* path, const char* ext, int32_t dpi) {
  if (!image || !path || width <= 0 || height <= 0) return 0;
  const ImageView src{const_cast<uint8_t*>(image), width, height, channels, width * channels};
  for (const Writer& w : writers)
    if (extension_is(ext, w.ext)) return w.write(path, src, dpi) ? 1 : 0;
  return 0;
}

}  // namespace

double dots_per_metre(int32_t dpi) { return dpi * 39.3700787; }

int32_t write_to_file_rgb24(const uint8_t* image, int32_t width, int32_t height, const char* path, const char* ext,
                            int32_t dpi) {
  return write_by_extension(kRgb24Writers, image, width, height, 3, path, ext, dpi);
}

int32_t write_webp_file(const uint8_t* image, int32_t width, int32_t height, int32_t channels, const char* path,
                        int32_t quality) {
  if (!image || !path || width <= 0 || height <= 0 || (channels != 3 && channels != 4)) return 0;
  const ImageView src{const_cast<uint8_t*>(image), width, height, channels, width * channels};
  return imaging::write_webp(path, src, quality) ? 1 : 0;
}

int32_t write_to_file_rgba32(const uint8_t* image, int32_t width, int32_t height, const char* path, const char* ext,
                             int32_t dpi) {
  return write_by_extension(kRgba32Writers, image, width, height, 4, path, ext, dpi);
}

}  // namespace cvl
