#include "io/thumbnail.h"

#include <algorithm>
#include <string>
#include <vector>

#include "core/pixel_convert.h"
#include "codecs/codec.h"
#include "codecs/encode.h"
#include "imaging/geometry/resample.h"
#include "io/picture_file.h"
#include "io/read_failure.h"

namespace cvl {

namespace {

// A side cut to zero by the aspect would leave nothing to write; one pixel keeps the picture.
int32_t at_least_one(int32_t v) { return std::max<int32_t>(v, 1); }

// The source's colour (alpha dropped) scaled to the size `fit` chooses for it, as
// packed RGB24: averaged when it shrinks both ways, else resampled. False when the
// source cannot be decoded or the size is empty.
template <class Fit>
bool scaled_colour(const char* src_path, Fit fit, std::vector<uint8_t>& out, PictureSize& size) {
  imaging::Image image;
  if (!imaging::decode_file(src_path, image)) return false;
  size = fit(image.width, image.height);
  if (size.width <= 0 || size.height <= 0) return false;
  std::vector<uint8_t> rgb(static_cast<size_t>(image.width) * static_cast<size_t>(image.height) * 3);
  rgba_to_rgb(rgb.data(), image.width, image.height, image.pixels.data());
  const imaging::ImageView src{rgb.data(), image.width, image.height, 3, image.width * 3};
  image = imaging::Image{};
  out.resize(static_cast<size_t>(size.width) * static_cast<size_t>(size.height) * 3);
  const imaging::ImageView dst{out.data(), size.width, size.height, 3, size.width * 3};
  if (size.width < src.width && size.height < src.height)
    imaging::decimate_area(src, dst);
  else
    imaging::resize_bilinear(src, dst);
  return true;
}

// Reads the source, scales it with `fit` and writes it in `format`.
template <class Fit>
FailureCause make_small_picture(const char* src_path, const char* dst_path, Fit fit, imaging::LineFormat format,
                                const imaging::LineWriterOptions& options) {
  std::vector<uint8_t> pixels;
  PictureSize size;
  if (!scaled_colour(src_path, fit, pixels, size)) return read_failure(src_path);
  return write_picture(format, dst_path, {pixels.data(), size.width, size.height, 3, size.width * 3}, options);
}

}  // namespace

PictureSize thumbnail_size(int32_t width, int32_t height) {
  if (width <= 0 || height <= 0) return {};
  if (height < width) return {100, at_least_one(static_cast<int32_t>(100.0 / width * height))};
  return {at_least_one(static_cast<int32_t>(100.0 / height * width)), 100};
}

PictureSize web_picture_size(int32_t width, int32_t height, int32_t max_width, int32_t max_height) {
  if (width <= 0 || height <= 0 || max_width <= 0 || max_height <= 0) return {};
  // The image's sides are single-precision values, as hosts have always had them.
  const float w = static_cast<float>(width), h = static_cast<float>(height);
  if (static_cast<float>(max_width) / static_cast<float>(max_height) > w / h) {
    if (max_height < height) return {at_least_one(static_cast<int32_t>(w * static_cast<float>(max_height) / h)), max_height};
    return {width, height};
  }
  if (max_width < width) return {max_width, at_least_one(static_cast<int32_t>(static_cast<float>(max_width) / w * h))};
  return {width, height};
}

FailureCause make_thumbnail(const char* src_path, const char* dst_path) {
  return make_small_picture(src_path, dst_path, thumbnail_size, imaging::LineFormat::Bmp, {});
}

FailureCause make_web_picture(const char* src_path, const char* dst_path, int32_t max_width, int32_t max_height) {
  if (max_width <= 0 || max_height <= 0)
    return "the largest size " + std::to_string(max_width) + " x " + std::to_string(max_height) + " is empty";
  const auto fit = [&](int32_t w, int32_t h) { return web_picture_size(w, h, max_width, max_height); };
  imaging::LineWriterOptions options;
  options.jpeg_quality = 75;
  return make_small_picture(src_path, dst_path, fit, imaging::LineFormat::Jpeg, options);
}

}  // namespace cvl
