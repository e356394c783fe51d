#include "io/image_write.h"

#include <cmath>
#include <vector>

#include "imaging/encode.h"
#include "io/file_extension.h"

namespace cvl {

namespace {

using imaging::Resolution;
using imaging::ResolutionUnit;

// BMP and PNG store whole dots per metre.
Resolution per_metre_truncated(int32_t dpi) {
  const double ppm = std::trunc(dots_per_metre(dpi));
  return {ppm, ppm, ResolutionUnit::PerMetre};
}
Resolution per_inch(int32_t dpi) { return {double(dpi), double(dpi), ResolutionUnit::PerInch}; }

bool quantized_gif(const char* path, const imaging::ImageView& src) {
  std::vector<uint8_t> indices(static_cast<size_t>(src.width) * static_cast<size_t>(src.height));
  std::vector<uint8_t> palette(256 * 3);
  const int32_t colours = imaging::quantize_rgb(src, indices.data(), palette.data(), 256);
  return colours > 0 && imaging::write_gif8(path, indices.data(), src.width, src.height, palette.data(), colours);
}

bool usable(const uint8_t* image, int32_t width, int32_t height, const char* path) {
  return image && path && width > 0 && height > 0;
}

}  // namespace

double dots_per_metre(int32_t dpi) { return dpi * 39.3700787; }

int32_t write_to_file_rgb24(const uint8_t* image, int32_t width, int32_t height, const char* path, const char* ext,
                            int32_t dpi) {
  if (!usable(image, width, height, path)) return 0;
  const imaging::ImageView src{const_cast<uint8_t*>(image), width, height, 3, width * 3};
  bool ok = false;
  if (extension_is(ext, ".bmp"))
    ok = imaging::write_bmp(path, src, per_metre_truncated(dpi));
  else if (extension_is(ext, ".png"))
    ok = imaging::write_png(path, src, per_metre_truncated(dpi));
  else if (extension_is(ext, ".emf"))
    ok = imaging::write_metafile(path, src);
  else if (extension_is(ext, ".gif"))
    ok = quantized_gif(path, src);
  else if (extension_is(ext, ".jpg"))
    ok = imaging::write_jpeg(path, src, 97, per_inch(dpi));
  else if (extension_is(ext, ".pcx"))
    ok = imaging::write_pcx(path, src);
  else if (extension_is(ext, ".psd"))
    ok = imaging::write_psd(path, src);
  else if (extension_is(ext, ".wmf"))
    ok = imaging::write_metafile(path, src);  // the enhanced form, as ".emf": readers tell them apart by content
  return ok ? 1 : 0;
}

int32_t write_to_file_rgba32(const uint8_t* image, int32_t width, int32_t height, const char* path, const char* ext,
                             int32_t dpi) {
  if (!usable(image, width, height, path)) return 0;
  const imaging::ImageView src{const_cast<uint8_t*>(image), width, height, 4, width * 4};
  bool ok = false;
  if (extension_is(ext, ".png"))
    ok = imaging::write_png(path, src, per_metre_truncated(dpi));
  else if (extension_is(ext, ".tga"))
    ok = imaging::write_tga(path, src);
  else if (extension_is(ext, ".tif"))
    ok = imaging::write_tiff(path, src, per_inch(dpi));
  return ok ? 1 : 0;
}

}  // namespace cvl
