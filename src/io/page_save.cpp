#include "io/page_save.h"

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

#include "core/buffer.h"
#include "core/engine.h"
#include "core/pixel_convert.h"
#include "codecs/encode.h"
#include "io/file_extension.h"
#include "io/image_write.h"
#include "io/picture_file.h"
#include "layers/merge.h"

namespace cvl {

namespace {

using imaging::LineFormat;
using imaging::LineWriterOptions;
using imaging::ResolutionUnit;

struct PagePlan {
  const char* ext;  // lower case, with the dot
  LineFormat format;
  LineWriterOptions options;
};

// JPEG pages keep the writers' quality 97 with full-size chroma and no smoothing:
// page saves are final artwork.
LineWriterOptions with_resolution(double value, ResolutionUnit unit) {
  LineWriterOptions o;
  o.resolution = {value, value, unit};
  return o;
}

FailureCause save_page(Engine& e, const char* path, const char* ext, std::initializer_list<PagePlan> plans,
                       int channels) {
  const PagePlan* plan = nullptr;
  for (const PagePlan& p : plans)
    if (extension_is(ext, p.ext)) plan = &p;
  if (!plan) {
    std::vector<const char*> accepted;
    for (const PagePlan& p : plans) accepted.push_back(p.ext);
    return extension_refused(ext, accepted);
  }
  const int32_t width = e.canvas_width, height = e.canvas_height;
  if (width <= 0 || height <= 0) return "there is no canvas to save";
  // The page is flattened a block of rows at a time (about 128 thousand pixels, 1 MiB,
  // which the merge shares out among the threads) and handed on a row at a time.
  const int32_t block = std::clamp((1 << 17) / width, 1, height);
  auto block64 = Buffer<uint16_t>::try_allocate(static_cast<size_t>(width) * 4 * static_cast<size_t>(block));
  auto row8 = Buffer<uint8_t>::try_allocate(static_cast<size_t>(width) * static_cast<size_t>(channels));
  if (!block64 || !row8) return "not enough memory for a row of " + std::to_string(width) + " pixels";
  int32_t block_top = -block;
  return write_picture_rows(plan->format, path, width, height, channels, plan->options, [&](int32_t y) {
    if (y >= block_top + block || y < block_top) {
      block_top = y;
      merge_rect(e, block64.get(), 0, y, width, std::min(block, height - y));
    }
    const uint16_t* row64 = block64.get() + static_cast<size_t>(y - block_top) * static_cast<size_t>(width) * 4;
    narrow_rgba64_rect(row8.get(), width * channels, row64, width * 8, width, 1, channels);
    return static_cast<const uint8_t*>(row8.get());
  });
}

}  // namespace

FailureCause save_page_rgb24(Engine& e, const char* path, const char* ext, int32_t dpi) {
  const double per_metre = dots_per_metre(dpi);
  return save_page(e, path, ext,
                   {{".bmp", LineFormat::Bmp, with_resolution(per_metre, ResolutionUnit::PerMetre)},
                    {".png", LineFormat::Png, with_resolution(per_metre, ResolutionUnit::PerMetre)},
                    {".jpg", LineFormat::Jpeg, with_resolution(dpi, ResolutionUnit::PerInch)}},
                   3);
}

FailureCause save_page_rgb32(Engine& e, const char* path, const char* ext, int32_t dpi) {
  return save_page(e, path, ext,
                   {{".png", LineFormat::Png, with_resolution(dots_per_metre(dpi), ResolutionUnit::PerMetre)},
                    {".tga", LineFormat::Tga, {}},
                    {".tif", LineFormat::Tiff, with_resolution(dpi, ResolutionUnit::PerInch)}},
                   4);
}

}  // namespace cvl
