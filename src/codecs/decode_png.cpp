// PNG through libpng, read from memory. libpng reports errors by longjmp, so
// nothing with a destructor may live between setjmp and the calls that can fail.
#include <png.h>

#include <csetjmp>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "codecs/decode_support.h"
#include "codecs/decoders.h"
#include "codecs/orientation.h"

namespace cvl::imaging {
namespace {

void read_from_memory(png_structp png, png_bytep out, png_size_t length) {
  if (static_cast<MemorySource*>(png_get_io_ptr(png))->read(out, length) != length) png_error(png, "truncated");
}

void quiet_warning(png_structp, png_const_charp) {}
void error_exit(png_structp png, png_const_charp) { png_longjmp(png, 1); }

// The largest block libpng may take: a chunk it holds whole, with room to spare. A text
// chunk longer than the chunk limit is only a warning to libpng, which then asks for the
// chunk's whole stated length: a file of a few bytes would have it allocate gigabytes.
constexpr png_alloc_size_t kMaxChunkBytes = png_alloc_size_t(64) << 20;
constexpr png_alloc_size_t kMaxBlockBytes = 2 * kMaxChunkBytes;
png_voidp capped_malloc(png_structp, png_alloc_size_t size) {
  return size <= kMaxBlockBytes ? std::malloc(size) : nullptr;
}
void capped_free(png_structp, png_voidp block) { std::free(block); }

// Owns the libpng read structures for the length of one decode.
struct PngReader {
  png_structp png = nullptr;
  png_infop info = nullptr;
  MemorySource source;

  PngReader(const uint8_t* data, size_t size) : source{data, size} {
    png = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, nullptr, error_exit, quiet_warning, nullptr, capped_malloc,
                                   capped_free);
    if (png) info = png_create_info_struct(png);
    if (png && info) {
      png_set_read_fn(png, &source, read_from_memory);
      png_set_user_limits(png, kMaxDecodeEdge, kMaxDecodeEdge);
      png_set_chunk_malloc_max(png, kMaxChunkBytes);
    }
  }
  ~PngReader() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
  bool ready() const { return png && info; }
};

// The orientation of the chunks before the pixels: an eXIf block, else an XMP packet in iTXt.
uint16_t png_orientation(png_structp png, png_infop info) {
  uint16_t exif = 0, xmp = 0;
  png_uint_32 exif_size = 0;
  png_bytep exif_data = nullptr;
  if (png_get_eXIf_1(png, info, &exif_size, &exif_data) && exif_data) exif = exif_orientation(exif_data, exif_size);
  png_textp text = nullptr;
  int count = 0;
  png_get_text(png, info, &text, &count);
  for (int i = 0; i < count && !xmp; ++i) {
    if (!text[i].key || !text[i].text || std::strcmp(text[i].key, "XML:com.adobe.xmp") != 0) continue;
    const size_t length = text[i].itxt_length ? text[i].itxt_length : text[i].text_length;
    xmp = xmp_orientation(reinterpret_cast<const uint8_t*>(text[i].text), length);
  }
  return stated_orientation(exif, xmp);
}

// Everything that can longjmp runs here, with only trivially destructible locals.
bool read_png(PngReader& r, Image& out, std::vector<png_bytep>& rows, uint16_t& orientation) {
  if (setjmp(png_jmpbuf(r.png))) return false;
  png_read_info(r.png, r.info);
  orientation = png_orientation(r.png, r.info);
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
  orient_info(info, png_orientation(r.png, r.info));
  return true;
}

}  // namespace

bool decode_png(const uint8_t* data, size_t size, Image& out) {
  out = Image{};
  if (!data || size < 8) return false;
  PngReader reader(data, size);
  std::vector<png_bytep> rows;
  uint16_t orientation = kUpright;
  if (!reader.ready() || !read_png(reader, out, rows, orientation)) return refuse(out);
  apply_orientation(out, orientation);
  return true;
}

bool probe_png(const uint8_t* data, size_t size, ImageInfo& info) {
  if (!data || size < 8) return false;
  PngReader reader(data, size);
  return reader.ready() && read_png_info(reader, info);
}

}  // namespace cvl::imaging
