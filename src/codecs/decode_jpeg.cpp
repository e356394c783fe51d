// JPEG through libjpeg-turbo, read from memory. The library's fatal errors longjmp
// back to us instead of ending the process.
#include "codecs/jpeg_error_trap.h"

#include <jerror.h>

#include <cstring>

#include "codecs/decode_support.h"
#include "codecs/decoders.h"
#include "codecs/orientation.h"

namespace cvl::imaging {
namespace {

// A stream that ends early is refused rather than padded out with grey; other
// warnings (stray bytes between markers and the like) are tolerated.
void on_message(j_common_ptr cinfo, int level) {
  if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF) cinfo->err->error_exit(cinfo);
}

struct JpegReader {
  jpeg_decompress_struct cinfo{};
  JpegErrorTrap trap{};

  JpegReader() { cinfo.err = trap.install(on_message); }
  ~JpegReader() { jpeg_destroy_decompress(&cinfo); }
};

// Adobe writes CMYK inverted (0 = full ink), which is what nearly all CMYK JPEGs carry.
void cmyk_row_to_rgba(const uint8_t* cmyk, uint8_t* rgba, uint32_t width, bool inverted) {
  for (uint32_t x = 0; x < width; ++x, cmyk += 4, rgba += 4) {
    int c = cmyk[0], m = cmyk[1], y = cmyk[2], k = cmyk[3];
    if (!inverted) c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
    rgba[0] = uint8_t(c * k / 255);
    rgba[1] = uint8_t(m * k / 255);
    rgba[2] = uint8_t(y * k / 255);
    rgba[3] = 255;
  }
}

// Starts reading: the header, with the APP1 blocks (Exif and XMP) kept for the orientation.
bool read_header(JpegReader& r, const uint8_t* data, size_t size) {
  jpeg_create_decompress(&r.cinfo);
  jpeg_mem_src(&r.cinfo, data, static_cast<unsigned long>(size));
  jpeg_save_markers(&r.cinfo, JPEG_APP0 + 1, 0xFFFF);
  return jpeg_read_header(&r.cinfo, TRUE) == JPEG_HEADER_OK;
}

uint16_t marker_orientation(const jpeg_decompress_struct& cinfo) {
  static const char kXmp[] = "http://ns.adobe.com/xap/1.0/";
  uint16_t exif = 0, xmp = 0;
  for (jpeg_saved_marker_ptr m = cinfo.marker_list; m; m = m->next) {
    if (m->marker != JPEG_APP0 + 1) continue;
    if (!exif && m->data_length >= 6 && std::memcmp(m->data, "Exif\0", 5) == 0)
      exif = exif_orientation(m->data, m->data_length);
    else if (!xmp && m->data_length > sizeof kXmp && std::memcmp(m->data, kXmp, sizeof kXmp) == 0)
      xmp = xmp_orientation(m->data + sizeof kXmp, m->data_length - sizeof kXmp);
  }
  return stated_orientation(exif, xmp);
}

// The saved markers go with the decompression's memory: the orientation is read before.
bool read_jpeg(JpegReader& r, const uint8_t* data, size_t size, Image& out, uint16_t& orientation) {
  if (setjmp(r.trap.jump)) return false;
  if (!read_header(r, data, size)) return false;
  orientation = marker_orientation(r.cinfo);
  if (!acceptable_size(r.cinfo.image_width, r.cinfo.image_height)) return false;
  const bool cmyk = r.cinfo.jpeg_color_space == JCS_CMYK || r.cinfo.jpeg_color_space == JCS_YCCK;
  r.cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_RGBA;
  r.cinfo.mem->max_memory_to_use = 512L << 20;
  jpeg_start_decompress(&r.cinfo);
  if (r.cinfo.output_components != 4) return false;
  if (!allocate_rgba(out, r.cinfo.output_width, r.cinfo.output_height)) return false;
  const uint32_t width = r.cinfo.output_width;
  while (r.cinfo.output_scanline < r.cinfo.output_height) {
    JSAMPROW row = out.pixels.data() + size_t(r.cinfo.output_scanline) * width * 4;
    if (jpeg_read_scanlines(&r.cinfo, &row, 1) != 1) return false;
    if (cmyk) cmyk_row_to_rgba(row, row, width, r.cinfo.saw_Adobe_marker);
  }
  jpeg_finish_decompress(&r.cinfo);
  return true;
}

bool read_jpeg_info(JpegReader& r, const uint8_t* data, size_t size, ImageInfo& info) {
  if (setjmp(r.trap.jump)) return false;
  if (!read_header(r, data, size)) return false;
  info.width = static_cast<int32_t>(r.cinfo.image_width);
  info.height = static_cast<int32_t>(r.cinfo.image_height);
  if (r.cinfo.saw_JFIF_marker && (r.cinfo.density_unit == 1 || r.cinfo.density_unit == 2)) {
    info.resolution.x = r.cinfo.X_density;
    info.resolution.y = r.cinfo.Y_density;
    info.resolution.unit = r.cinfo.density_unit == 1 ? ResolutionUnit::PerInch : ResolutionUnit::PerCentimetre;
  }
  orient_info(info, marker_orientation(r.cinfo));
  return true;
}

}  // namespace

bool decode_jpeg(const uint8_t* data, size_t size, Image& out) {
  out = Image{};
  if (!data || size < 4) return false;
  JpegReader reader;
  uint16_t orientation = kUpright;
  if (!read_jpeg(reader, data, size, out, orientation)) return refuse(out);
  apply_orientation(out, orientation);
  return true;
}

bool probe_jpeg(const uint8_t* data, size_t size, ImageInfo& info) {
  if (!data || size < 4) return false;
  JpegReader reader;
  return read_jpeg_info(reader, data, size, info);
}

}  // namespace cvl::imaging
