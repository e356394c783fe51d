#include "io/image_read.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "core/tool_settings.h"
#include "core/engine.h"
#include "core/pixel_convert.h"
#include "codecs/codec.h"
#include "codecs/decoders.h"
#include "codecs/metafile.h"
#include "io/new_rgba.h"

namespace cvl {

namespace {

using imaging::FileType;
using imaging::ResolutionUnit;

// The factors are the ones hosts have always seen; they are a hair above 2.54 and
// 0.0254, so that e.g. 11811 dots per metre (300 dpi written) comes back as 299.99...
// and snaps to 300, and 2835 per metre (72.009) truncates to 72.
constexpr double kInchesPerCentimetreFactor = 2.5400000025908;
constexpr double kInchesPerMetreFactor = 0.025400000025908;

// Whole dots per inch from a stated resolution, truncated toward zero; -1 when the
// file states none. The stored value is read as a 32-bit unsigned count first.
int64_t whole_dpi(const imaging::Resolution& res) {
  if (!(res.x > 0) || res.x >= 4294967296.0) return -1;
  const uint32_t r = static_cast<uint32_t>(res.x);
  switch (res.unit) {
    case ResolutionUnit::PerInch: return r;
    case ResolutionUnit::PerCentimetre: return static_cast<int64_t>(r * kInchesPerCentimetreFactor);
    case ResolutionUnit::PerMetre: return static_cast<int64_t>(r * kInchesPerMetreFactor);
    default: return -1;
  }
}

// Only these formats carry a resolution worth asking for; the others count as 72.
bool probe_resolution(FileType type, const uint8_t* data, size_t size, imaging::ImageInfo& info) {
  switch (type) {
    case FileType::Bmp: return imaging::probe_bmp(data, size, info);
    case FileType::Jpeg: return imaging::probe_jpeg(data, size, info);
    case FileType::Png: return imaging::probe_png(data, size, info);
    case FileType::Tiff: return imaging::probe_tiff(data, size, info);
    case FileType::Psd: return imaging::probe_psd(data, size, info);
    default: return false;
  }
}

// The paint colour's high bytes as R | G << 8 | B << 16: the background a metafile is drawn on.
uint32_t metafile_background(const ToolSettings& t) {
  const auto& c = t.paint_color;
  return uint32_t(c[0] >> 8) | uint32_t(c[1] >> 8) << 8 | uint32_t(c[2] >> 8) << 16;
}

bool is_metafile(FileType type) { return type == FileType::Emf || type == FileType::Wmf; }

}  // namespace

int32_t snap_dpi(int64_t dpi) {
  struct Band {
    int64_t low, high;
    int32_t value;
  };
  static constexpr Band kBands[] = {{95, 97, 96},    {149, 151, 150}, {199, 201, 200},
                                    {299, 301, 300}, {449, 451, 450}, {599, 601, 600}};
  for (const Band& b : kBands)
    if (dpi >= b.low && dpi <= b.high) return b.value;
  return 72;
}

int32_t dpi_from_file(const char* path) {
  std::vector<uint8_t> bytes;
  if (!imaging::read_whole_file(path, bytes)) return 72;
  const FileType type = imaging::guess_file_type(bytes.data(), bytes.size());
  imaging::ImageInfo info;
  if (!probe_resolution(type, bytes.data(), bytes.size(), info)) return 72;
  return snap_dpi(whole_dpi(info.resolution));
}

bool decode_image_file(const Engine& e, const ToolSettings& t, const char* path, imaging::Image& out) {
  out = imaging::Image{};
  std::vector<uint8_t> bytes;
  if (!imaging::read_whole_file(path, bytes)) return false;
  const FileType type = imaging::guess_file_type(bytes.data(), bytes.size());
  if (!is_metafile(type)) return imaging::decode_memory(bytes.data(), bytes.size(), out);

  imaging::Image rgb;
  if (!imaging::read_metafile(bytes.data(), bytes.size(), metafile_background(t), e.canvas_width, e.canvas_height,
                              rgb))
    return false;
  bytes = {};
  out.width = rgb.width;
  out.height = rgb.height;
  out.channels = 4;
  out.pixels.assign(rgb.pixels.size() / 3 * 4, 255);  // opaque everywhere
  rgb_to_rgba(out.pixels.data(), rgb.width, rgb.height, rgb.pixels.data());
  return true;
}

int32_t read_from_file(const Engine& e, const ToolSettings& t, const char* path) {
  imaging::Image image;
  if (!decode_image_file(e, t, path, image)) return 0;
  uint8_t* pixels = create_new_rgba(image.width, image.height);
  // Without pixels the read did not happen, whatever the decoder managed.
  if (!pixels) return 0;
  std::memcpy(pixels, image.pixels.data(), image.pixels.size());
  return 1;
}

int32_t read_from_file_into(const Engine& e, const ToolSettings& t, uint8_t* dst, int32_t width, int32_t height,
                            const char* path, int channels) {
  if (!dst) return 0;
  imaging::Image image;
  if (!decode_image_file(e, t, path, image) || image.width != width || image.height != height) return 0;
  if (channels == 4)
    std::memcpy(dst, image.pixels.data(), image.pixels.size());
  else
    rgba_to_rgb(dst, width, height, image.pixels.data());
  return 1;
}

int32_t file_orientation(const char* path) {
  imaging::ImageInfo info;
  if (!imaging::probe_file(path, info)) return is_metafile(imaging::guess_file_type(path)) ? 1 : 0;
  return info.orientation;
}

const char* file_type_name(const char* path) {
  switch (imaging::guess_file_type(path)) {
    case FileType::Bmp: return "BMP";
    case FileType::Jpeg: return "JPG";
    case FileType::Png: return "PNG";
    case FileType::Tiff: return "TIFF";
    case FileType::Gif: return "GIF";
    case FileType::Tga: return "TGA";
    case FileType::Pcx: return "PCX";
    case FileType::Psd: return "PSD";
    case FileType::Emf: return "EMF";
    case FileType::Wmf: return "WMF";
    case FileType::Webp: return "WEBP";
    default: return "";
  }
}

}  // namespace cvl
