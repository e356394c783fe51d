// PNG through libpng, read from memory. libpng reports errors by longjmp, so
// nothing with a destructor may live between setjmp and the calls that can fail.
#include <png.h>

#include <csetjmp>
#include <vector>

#include "codecs/decode_support.h"
#include "codecs/decoders.h"

namespace cvl::imaging {
namespace {

void read_from_memory(png_structp png, png_bytep out, png_size_t length) {
  if (static_cast<MemorySource*>(png_get_io_ptr(png))->read(out, length) != length) png_error(png, "truncated");
}

void quiet_warning(png_structp, png_const_charp) {}
void error_exit(png_structp png, png_const_charp) { png_longjmp(png, 1); }

// Owns the libpng read structures for the length of one decode.
struct PngReader {
  png_structp png = nullptr;
  png_infop info = nullptr;
  MemorySource source;

  PngReader(const uint8_t* data, size_t size) : source{data, size} {
    png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, error_exit, quiet_warning);
    if (png) info = png_create_info_struct(png);
    if (png && info) {
      png_set_read_fn(png, &source, read_from_memory);
      png_set_user_limits(png, kMaxDecodeEdge, kMaxDecodeEdge);
      png_set_chunk_malloc_max(png, 64u << 20);
    }
  }
  ~PngReader() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
  bool ready() const { return png && info; }
};

// Everything that can longjmp runs here, with only trivially destructible locals.
bool read_png(PngReader& r, Image& out, std::vector<png_bytep>& rows) {
  if (setjmp(png_jmpbuf(r.png))) return false;
  png_read_info(r.png, r.info);
  const png_uint_32 width = png_get_image_width(r.png, r.info);
  const png_uint_32 height = png_get_image_height(r.png, r.info);
  if (!acceptable_size(width, height)) return false;
  const int colour = png_get_color_type(r.png, r.info);
  png_set_expand(r.png);  // palette, low-bit grey and tRNS become full channels
  png_set_strip_16(r.png);
  if (colour == PNG_COLOR_TYPE_GRAY || colour == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(r.png);
  png_set_add_alpha(r.png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(r.png);
  png_read_update_info(r.png, r.info);
  if (png_get_rowbytes(r.png, r.info) != size_t(width) * 4) return false;
  if (!allocate_rgba(out, width, height)) return false;
  rows.resize(height);
  for (png_uint_32 y = 0; y < height; ++y) rows[y] = out.pixels.data() + size_t(y) * width * 4;
  png_read_image(r.png, rows.data());
  return true;
}

bool read_png_info(PngReader& r, ImageInfo& info) {
  if (setjmp(png_jmpbuf(r.png))) return false;
  png_read_info(r.png, r.info);
  info.width = static_cast<int32_t>(png_get_image_width(r.png, r.info));
  info.height = static_cast<int32_t>(png_get_image_height(r.png, r.info));
  png_uint_32 rx = 0, ry = 0;
  int unit = 0;
  if (png_get_pHYs(r.png, r.info, &rx, &ry, &unit)) {
    info.resolution.x = rx;
    info.resolution.y = ry;
    info.resolution.unit = unit == PNG_RESOLUTION_METER ? ResolutionUnit::PerMetre : ResolutionUnit::None;
  }
  return true;
}

}  // namespace

bool decode_png(const uint8_t* data, size_t size, Image& out) {
  out = Image{};
  if (!data || size < 8) return false;
  PngReader reader(data, size);
  std::vector<png_bytep> rows;
  if (!reader.ready() || !read_png(reader, out, rows)) return refuse(out);
  return true;
}

bool probe_png(const uint8_t* data, size_t size, ImageInfo& info) {
  if (!data || size < 8) return false;
  PngReader reader(data, size);
  return reader.ready() && read_png_info(reader, info);
}

}  // namespace cvl::imaging
