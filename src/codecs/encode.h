// Image file writers. Each takes an interleaved 8-bit view (R, G, B[, A]) and writes
// one file; false when the file cannot be opened or written, or the view is not one
// the format holds. The resolution is stored in the file's own unit; writers that
// hold no resolution ignore it.
#pragma once

#include <cstdint>
#include <memory>

#include "codecs/codec.h"
#include "imaging/image_view.h"

namespace cvl::imaging {

// 24-bit BMP, bottom-up; resolution in pixels per metre (x and y truncated to integers).
bool write_bmp(const char* path, const ImageView& src, const Resolution& res = {});
// 8-bit PNG, colour type 2 (3 channels) or 6 (4 channels); pHYs when the unit is PerMetre.
bool write_png(const char* path, const ImageView& src, const Resolution& res = {}, int compression_level = 6);
// Baseline JPEG of R, G, B (alpha dropped), 4:4:4; JFIF density when the unit is PerInch or PerCentimetre.
bool write_jpeg(const char* path, const ImageView& src, int quality, const Resolution& res = {});
// TIFF, RGB or RGBA 8-bit (alpha unassociated), deflate; resolution PerInch or PerCentimetre.
bool write_tiff(const char* path, const ImageView& src, const Resolution& res = {});
// 32-bit uncompressed TGA, top-left origin (a 3-channel view gets alpha 255).
bool write_tga(const char* path, const ImageView& src);
// 24-bit RLE PCX (three planes per row).
bool write_pcx(const char* path, const ImageView& src);
// 24-bit PSD, composite only, raw.
bool write_psd(const char* path, const ImageView& src);
// WebP, lossless (colour under transparent pixels kept) when `quality` is outside
// 0..100, else lossy at that quality; a 3-channel view is written opaque.
bool write_webp(const char* path, const ImageView& src, int quality = -1);
// GIF from an 8-bit palette image: `indices` one byte per pixel (stride = width),
// `palette` `colours` entries of R, G, B.
bool write_gif8(const char* path, const uint8_t* indices, int32_t width, int32_t height, const uint8_t* palette_rgb,
                int32_t colours);
// Quantizes R, G, B to at most `max_colours` entries: fills `indices` (width x height)
// and `palette_rgb` (3 bytes per entry); returns the entry count, 0 on failure.
int32_t quantize_rgb(const ImageView& src, uint8_t* indices, uint8_t* palette_rgb, int32_t max_colours);
// Quantizes and writes a GIF in one step.
bool write_gif(const char* path, const ImageView& src);
// A metafile holding the image as one stretched 24-bit bitmap record at one logical unit
// per pixel (read back by read_metafile). Windows metafiles hold at most 32767 pixels a side.
enum class MetafileKind { Enhanced, Windows };
bool write_metafile(const char* path, const ImageView& src, MetafileKind kind = MetafileKind::Enhanced);

// Writes files one row at a time, so callers never hold the whole image. Rows arrive in
// the order the file stores them: top row first, except BMP, which takes the bottom row
// first. A writer that failed once ignores further rows; finish() reports the outcome.
class LineWriter {
 public:
  virtual ~LineWriter() = default;
  virtual bool write_row(const uint8_t* row) = 0;
  virtual bool finish() = 0;
  // The system's reason (an errno value) a write or the close failed; 0 when nothing
  // failed or the failure was not the system's.
  virtual int os_error() const = 0;
};

enum class LineFormat { Bmp, Png, Jpeg, Tga, Tiff };

struct LineWriterOptions {
  Resolution resolution;
  int jpeg_quality = 97;
  int png_compression = 6;
};

// Starts a line writer for rows of `channels` (3 or 4) bytes per pixel; null on failure,
// with the system's reason in `os_error` when the file could not be created (0 for
// arguments the format cannot hold). BMP and JPEG keep R, G, B; TGA writes 32 bits;
// PNG and TIFF keep the channel count.
std::unique_ptr<LineWriter> open_line_writer(LineFormat format, const char* path, int32_t width, int32_t height,
                                             int32_t channels, const LineWriterOptions& options = {},
                                             int* os_error = nullptr);

}  // namespace cvl::imaging
