#include "io/page_save.h"

#include <optional>

#include "core/buffer.h"
#include "core/engine.h"
#include "core/pixel_convert.h"
#include "codecs/encode.h"
#include "io/file_extension.h"
#include "io/image_write.h"
#include "layers/merge.h"

namespace cvl {

namespace {

using imaging::LineFormat;
using imaging::LineWriterOptions;
using imaging::ResolutionUnit;

struct PagePlan {
  LineFormat format;
  LineWriterOptions options;
  bool bottom_up = false;
};

LineWriterOptions with_resolution(double value, ResolutionUnit unit) {
  LineWriterOptions o;
  o.resolution = {value, value, unit};
  return o;
}

std::optional<PagePlan> plan_rgb24(const char* ext, int32_t dpi) {
  if (extension_is(ext, ".bmp"))
    return PagePlan{LineFormat::Bmp, with_resolution(dots_per_metre(dpi), ResolutionUnit::PerMetre), true};
  if (extension_is(ext, ".png"))
    return PagePlan{LineFormat::Png, with_resolution(dots_per_metre(dpi), ResolutionUnit::PerMetre)};
  if (extension_is(ext, ".jpg")) {
    // Quality 97 with full-size chroma and no smoothing: page saves are final artwork.
    PagePlan plan{LineFormat::Jpeg, with_resolution(dpi, ResolutionUnit::PerInch)};
    plan.options.jpeg_quality = 97;
    return plan;
  }
  return std::nullopt;
}

std::optional<PagePlan> plan_rgb32(const char* ext, int32_t dpi) {
  if (extension_is(ext, ".png"))
    return PagePlan{LineFormat::Png, with_resolution(dots_per_metre(dpi), ResolutionUnit::PerMetre)};
  if (extension_is(ext, ".tga")) return PagePlan{LineFormat::Tga, {}};
  if (extension_is(ext, ".tif")) return PagePlan{LineFormat::Tiff, with_resolution(dpi, ResolutionUnit::PerInch)};
  return std::nullopt;
}

void save_page(Engine& e, const char* path, const std::optional<PagePlan>& plan, int channels) {
  const int32_t width = e.canvas_width, height = e.canvas_height;
  if (!plan || !path || width <= 0 || height <= 0) return;
  // One 64-bit row to flatten into and one 8-bit row to hand on: all the page costs.
  auto row64 = Buffer<uint16_t>::try_allocate(static_cast<size_t>(width) * 4);
  auto row8 = Buffer<uint8_t>::try_allocate(static_cast<size_t>(width) * static_cast<size_t>(channels));
  if (!row64 || !row8) return;
  auto writer = imaging::open_line_writer(plan->format, path, width, height, channels, plan->options);
  if (!writer) return;
  for (int32_t i = 0; i < height; ++i) {
    const int32_t y = plan->bottom_up ? height - 1 - i : i;
    merge_rect(e, row64.get(), 0, y, width, 1);
    narrow_rgba64_rect(row8.get(), width * channels, row64.get(), width * 8, width, 1, channels);
    if (!writer->write_row(row8.get())) break;  // a failed writer takes no more rows
  }
  writer->finish();
}

}  // namespace

void save_page_rgb24(Engine& e, const char* path, const char* ext, int32_t dpi) {
  save_page(e, path, plan_rgb24(ext, dpi), 3);
}

void save_page_rgb32(Engine& e, const char* path, const char* ext, int32_t dpi) {
  save_page(e, path, plan_rgb32(ext, dpi), 4);
}

}  // namespace cvl
