// TIFF (classic and BigTIFF) through libtiff from memory. RGB, grey and Lab images of 8
// or 16 bits, 12-bit grey and 16-bit CMYK are read strip by strip or tile by tile,
// interleaved or in separate planes, so that unassociated alpha arrives untouched; every
// other layout goes through libtiff's RGBA conversion.
// Both paths fill a raster in stored order, which the orientation tag then turns upright.
#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "codecs/cielab.h"
#include "codecs/decode_support.h"
#include "codecs/decoders.h"
#include "codecs/orientation.h"

#include <tiffio.h>

namespace cvl::imaging {
namespace {

struct MemoryFile {
  const uint8_t* data;
  uint64_t size;
  uint64_t pos;
  bool error;  // libtiff reported an error, even one it carried on after
};

tmsize_t mem_read(thandle_t h, void* buf, tmsize_t n) {
  auto* f = static_cast<MemoryFile*>(h);
  if (n <= 0 || f->pos >= f->size) return 0;
  const uint64_t count = std::min<uint64_t>(uint64_t(n), f->size - f->pos);
  std::memcpy(buf, f->data + f->pos, count);
  f->pos += count;
  return static_cast<tmsize_t>(count);
}
tmsize_t mem_write(thandle_t, void*, tmsize_t) { return 0; }
toff_t mem_seek(thandle_t h, toff_t off, int whence) {
  auto* f = static_cast<MemoryFile*>(h);
  uint64_t base = whence == SEEK_SET ? 0 : whence == SEEK_CUR ? f->pos : f->size;
  if (off > UINT64_MAX - base) return toff_t(-1);
  f->pos = base + off;
  return f->pos;
}
int mem_close(thandle_t) { return 0; }
toff_t mem_size(thandle_t h) { return static_cast<MemoryFile*>(h)->size; }
int no_map(thandle_t, void**, toff_t*) { return 0; }
void no_unmap(thandle_t, void*, toff_t) {}
// libtiff reports as an error, and then skips, a directory entry of a tag it does not
// know whose type it cannot read (an empty entry, say); the picture does not depend on
// such a tag, so that error alone is no damage.
bool skipped_unknown_tag(const char* fmt) { return fmt && std::strstr(fmt, "thus tag is not read from file"); }

int note_error(TIFF*, void* file, const char*, const char* fmt, va_list) {
  if (file && !skipped_unknown_tag(fmt)) static_cast<MemoryFile*>(file)->error = true;
  return 1;
}
// libtiff only warns when a tag's data lies past the end of the file, and then
// carries on without the tag; for us that is a cut-off file.
int note_short_read(TIFF*, void* file, const char*, const char* fmt, va_list) {
  if (file && fmt && std::strstr(fmt, "IO error")) static_cast<MemoryFile*>(file)->error = true;
  return 1;
}

void unpremultiply(uint8_t* px, size_t count) {
  for (size_t i = 0; i < count; ++i, px += 4) {
    const unsigned a = px[3];
    if (a == 0 || a == 255) continue;
    for (int c = 0; c < 3; ++c) px[c] = uint8_t(std::min(255u, (px[c] * 255u + a / 2) / a));
  }
}

struct Layout {
  uint32_t width = 0, height = 0;
  uint16_t bits = 1, samples = 1, photometric = 0, planar = PLANARCONFIG_CONTIG;
  uint16_t format = SAMPLEFORMAT_UINT, orientation = ORIENTATION_TOPLEFT, inkset = INKSET_CMYK;
  bool has_alpha = false, associated = false;
};

Layout read_layout(TIFF* t) {
  Layout l;
  TIFFGetField(t, TIFFTAG_IMAGEWIDTH, &l.width);
  TIFFGetField(t, TIFFTAG_IMAGELENGTH, &l.height);
  TIFFGetFieldDefaulted(t, TIFFTAG_BITSPERSAMPLE, &l.bits);
  TIFFGetFieldDefaulted(t, TIFFTAG_SAMPLESPERPIXEL, &l.samples);
  TIFFGetFieldDefaulted(t, TIFFTAG_PLANARCONFIG, &l.planar);
  TIFFGetFieldDefaulted(t, TIFFTAG_SAMPLEFORMAT, &l.format);
  TIFFGetFieldDefaulted(t, TIFFTAG_ORIENTATION, &l.orientation);
  TIFFGetFieldDefaulted(t, TIFFTAG_INKSET, &l.inkset);
  if (l.orientation < ORIENTATION_TOPLEFT || l.orientation > ORIENTATION_LEFTBOT) l.orientation = ORIENTATION_TOPLEFT;
  if (!TIFFGetField(t, TIFFTAG_PHOTOMETRIC, &l.photometric)) l.photometric = 0xFFFF;
  uint16_t extra_count = 0;
  uint16_t* extra = nullptr;
  if (TIFFGetField(t, TIFFTAG_EXTRASAMPLES, &extra_count, &extra) && extra_count > 0 && extra) {
    l.has_alpha = extra[0] == EXTRASAMPLE_ASSOCALPHA || extra[0] == EXTRASAMPLE_UNASSALPHA;
    l.associated = extra[0] == EXTRASAMPLE_ASSOCALPHA;
  }
  return l;
}

bool is_grey(const Layout& l) {
  return l.photometric == PHOTOMETRIC_MINISBLACK || l.photometric == PHOTOMETRIC_MINISWHITE;
}
bool is_lab(const Layout& l) { return l.photometric == PHOTOMETRIC_CIELAB || l.photometric == PHOTOMETRIC_ICCLAB; }
bool is_cmyk(const Layout& l) { return l.photometric == PHOTOMETRIC_SEPARATED && l.inkset == INKSET_CMYK; }

// Colour samples a pixel starts with: 1 grey, 3 RGB or Lab, 4 CMYK; 0 for other layouts.
int colour_samples(const Layout& l) {
  if (is_grey(l)) return 1;
  if (l.photometric == PHOTOMETRIC_RGB || is_lab(l)) return 3;
  return is_cmyk(l) ? 4 : 0;
}

// CMYK has no room for alpha among the four raster bytes; its extra samples are left out.
bool keeps_alpha(const Layout& l) { return l.has_alpha && !is_cmyk(l); }

// Layouts whose samples we copy ourselves, in strips or tiles, interleaved or one plane
// per sample: RGB, grey and Lab of 8 or 16 unsigned bits, 12-bit grey, 16-bit CMYK.
// Reading them directly keeps unassociated alpha exact (the RGBA conversion premultiplies
// it), reads 16-bit separate planes, which the conversion refuses, and adapts Lab to
// sRGB's white. 8-bit CMYK stays with the conversion.
bool direct_layout(const Layout& l) {
  if (l.format != SAMPLEFORMAT_UINT) return false;
  if (l.planar != PLANARCONFIG_CONTIG && l.planar != PLANARCONFIG_SEPARATE) return false;
  const bool bits_ok = l.bits == 16 || (l.bits == 8 && !is_cmyk(l)) || (l.bits == 12 && is_grey(l));
  const int colours = colour_samples(l);
  return bits_ok && colours > 0 && l.samples >= colours + (keeps_alpha(l) ? 1 : 0);
}

// One sample of every pixel of a decoded strip or tile, narrowed to 8 bits.
struct SampleRun {
  const uint8_t* data;
  size_t row_bytes;  // one stored row of the block
  size_t step;       // samples from one pixel to the next
  size_t first;      // this sample's place within a pixel
  int bits;          // 8, 12 (packed, high bits first) or 16 (host order: libtiff swaps them)

  uint8_t at(uint32_t row, uint32_t x) const {
    const uint8_t* r = data + row * row_bytes;
    const size_t i = x * step + first;
    if (bits == 8) return r[i];
    if (bits == 16) {
      uint16_t v;
      std::memcpy(&v, r + i * 2, 2);
      return uint8_t(v >> 8);
    }
    const size_t bit = i * 12;
    const uint32_t v = (uint32_t(r[bit / 8]) << 8 | r[bit / 8 + 1]) >> (4 - bit % 8) & 0xFFF;
    return uint8_t((v * 255 + 2047) / 4095);
  }
};

// Where one block (a strip or a tile) lies in the image: its top-left corner and the
// part of it that lies inside the image.
struct Block {
  uint32_t x, y, cols, rows;
};

// Writes sample `sample` (0..samples-1) of a block into the stored-order RGBA raster,
// colour samples in their order (grey spread over three), then alpha.
void place_sample(const SampleRun& run, const Block& b, int sample, const Layout& l, Image& raster) {
  const int colours = colour_samples(l);
  int first, count;
  if (sample < colours) {
    first = colours == 1 ? 0 : sample, count = colours == 1 ? 3 : 1;
  } else if (keeps_alpha(l) && sample == colours) {
    first = 3, count = 1;
  } else {
    return;  // further extra samples are not part of the picture
  }
  const bool invert = l.photometric == PHOTOMETRIC_MINISWHITE && sample == 0;
  for (uint32_t y = 0; y < b.rows; ++y) {
    uint8_t* dst = raster.pixels.data() + (size_t(b.y + y) * l.width + b.x) * 4 + first;
    for (uint32_t x = 0; x < b.cols; ++x, dst += 4) {
      uint8_t v = run.at(y, x);
      if (invert) v = uint8_t(255 - v);
      for (int c = 0; c < count; ++c) dst[c] = v;
    }
  }
}

// Lab and CMYK samples placed as they are stored become RGB.
void to_rgb(const Layout& l, Image& raster) {
  uint8_t* px = raster.pixels.data();
  const size_t count = size_t(l.width) * l.height;
  if (is_lab(l)) {
    for (size_t i = 0; i < count; ++i, px += 4) lab_to_srgb(px[0], px[1], px[2], l.photometric == PHOTOMETRIC_ICCLAB, px);
  } else if (is_cmyk(l)) {
    // As libtiff converts 8-bit CMYK.
    for (size_t i = 0; i < count; ++i, px += 4) {
      const unsigned k = 255u - px[3];
      for (int c = 0; c < 3; ++c) px[c] = uint8_t(k * (255u - px[c]) / 255u);
      px[3] = 255;
    }
  }
}

// The largest strip or tile buffer we allocate on a file's say-so.
constexpr tmsize_t kMaxBlockBytes = tmsize_t(64) << 20;

bool read_direct(TIFF* t, const Layout& l, Image& raster) {
  const bool tiled = TIFFIsTiled(t);
  const bool separate = l.planar == PLANARCONFIG_SEPARATE;
  uint32_t block_w = l.width, block_h = 0;
  if (tiled) {
    if (!TIFFGetField(t, TIFFTAG_TILEWIDTH, &block_w) || !TIFFGetField(t, TIFFTAG_TILELENGTH, &block_h)) return false;
  } else {
    TIFFGetFieldDefaulted(t, TIFFTAG_ROWSPERSTRIP, &block_h);
    block_h = std::min(block_h, l.height);
  }
  if (block_w == 0 || block_h == 0) return false;
  const tmsize_t bytes = tiled ? TIFFTileSize(t) : TIFFStripSize(t);
  const size_t samples_per_pixel = separate ? 1 : l.samples;
  const auto row_bytes_of = [&](uint64_t pixels) { return (pixels * samples_per_pixel * l.bits + 7) / 8; };
  const uint64_t row_bytes = row_bytes_of(block_w);
  if (bytes <= 0 || bytes > kMaxBlockBytes || uint64_t(bytes) < row_bytes * block_h) return false;
  std::vector<uint8_t> buffer(static_cast<size_t>(bytes));
  const int planes = separate ? l.samples : 1;
  const uint32_t across = tiled ? block_w : l.width;
  for (int plane = 0; plane < planes; ++plane) {
    for (uint32_t y = 0; y < l.height; y += block_h) {
      for (uint32_t x = 0; x < l.width; x += across) {
        const tmsize_t got = tiled ? TIFFReadEncodedTile(t, TIFFComputeTile(t, x, y, 0, uint16_t(plane)),
                                                         buffer.data(), bytes)
                                   : TIFFReadEncodedStrip(t, TIFFComputeStrip(t, y, uint16_t(plane)), buffer.data(),
                                                          bytes);
        if (got < 0) return false;
        const Block b{x, y, std::min(block_w, l.width - x), std::min(block_h, l.height - y)};
        // A short strip (the last one) holds only the rows inside the image.
        if (uint64_t(got) < uint64_t(b.rows - 1) * row_bytes + row_bytes_of(b.cols)) return false;
        for (int s = 0; s < (separate ? 1 : l.samples); ++s)
          place_sample({buffer.data(), size_t(row_bytes), samples_per_pixel, size_t(s), l.bits}, b,
                       separate ? plane : s, l, raster);
      }
    }
  }
  to_rgb(l, raster);  // CMYK's black sits where alpha goes until then
  if (!keeps_alpha(l))
    for (size_t i = 3; i < raster.pixels.size(); i += 4) raster.pixels[i] = 255;
  if (keeps_alpha(l) && l.associated) unpremultiply(raster.pixels.data(), size_t(l.width) * l.height);
  return true;
}

// Everything else (palettes, bilevel, 8-bit CMYK, YCbCr, old-style JPEG, ...) goes through libtiff's RGBA
// conversion, asked for the rows in the order they are stored so that the orientation
// is applied in one place for both paths.
bool read_converted(TIFF* t, const Layout& l, Image& raster) {
  char message[1024];
  if (!TIFFRGBAImageOK(t, message)) return false;
  auto* words = reinterpret_cast<uint32_t*>(raster.pixels.data());
  if (!TIFFReadRGBAImageOriented(t, l.width, l.height, words, l.orientation, 1)) return false;
  const size_t count = size_t(l.width) * l.height;
  uint8_t* px = raster.pixels.data();
  for (size_t i = 0; i < count; ++i, px += 4) {
    const uint32_t v = words[i];
    px[0] = uint8_t(TIFFGetR(v)), px[1] = uint8_t(TIFFGetG(v)), px[2] = uint8_t(TIFFGetB(v)),
    px[3] = uint8_t(TIFFGetA(v));
  }
  // The conversion hands back associated alpha whatever the file held.
  if (l.has_alpha) unpremultiply(raster.pixels.data(), count);
  return true;
}

// A libtiff handle over bytes in memory, quiet, with a cap on every allocation libtiff
// makes on the file's say-so. The handle is closed before the
// file record it reads from goes.
struct MemoryTiff {
  std::unique_ptr<MemoryFile> file;
  std::unique_ptr<TIFF, void (*)(TIFF*)> tiff{nullptr, TIFFClose};

  MemoryTiff(const uint8_t* data, size_t size) : file(new MemoryFile{data, size, 0, false}) {
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (!options) return;
    TIFFOpenOptionsSetMaxSingleMemAlloc(options, tmsize_t(256) << 20);
    TIFFOpenOptionsSetErrorHandlerExtR(options, note_error, file.get());
    TIFFOpenOptionsSetWarningHandlerExtR(options, note_short_read, file.get());
    tiff.reset(TIFFClientOpenExt("memory", "rm", file.get(), mem_read, mem_write, mem_seek, mem_close, mem_size,
                                 no_map, no_unmap, options));
    TIFFOpenOptionsFree(options);
  }
  // libtiff reported an error, or a warning about data past the end of the file.
  bool damaged() const { return file->error; }
};

}  // namespace

bool decode_tiff(const uint8_t* data, size_t size, Image& out) {
  out = Image{};
  if (!data || size < 8) return false;
  MemoryTiff m(data, size);
  TIFF* t = m.tiff.get();
  if (!t) return false;
  const Layout l = read_layout(t);
  // Tags libtiff could not read (a cut-off colour map, say) make it guess; we refuse instead.
  if (m.damaged()) return false;
  Image stored;
  if (!allocate_rgba(stored, l.width, l.height)) return refuse(out);
  const bool ok = direct_layout(l) ? read_direct(t, l, stored) : read_converted(t, l, stored);
  if (!ok || m.damaged()) return refuse(out);
  out = std::move(stored);
  apply_orientation(out, l.orientation);
  return true;
}

bool probe_tiff(const uint8_t* data, size_t size, ImageInfo& info) {
  if (!data || size < 8) return false;
  MemoryTiff m(data, size);
  TIFF* t = m.tiff.get();
  if (!t) return false;
  const Layout l = read_layout(t);
  info.width = static_cast<int32_t>(l.width);
  info.height = static_cast<int32_t>(l.height);
  float rx = 0, ry = 0;
  uint16_t unit = RESUNIT_INCH;
  if (TIFFGetField(t, TIFFTAG_XRESOLUTION, &rx)) {
    if (!TIFFGetField(t, TIFFTAG_YRESOLUTION, &ry)) ry = rx;
    TIFFGetFieldDefaulted(t, TIFFTAG_RESOLUTIONUNIT, &unit);
    info.resolution.x = rx;
    info.resolution.y = ry;
    info.resolution.unit = unit == RESUNIT_INCH         ? ResolutionUnit::PerInch
                           : unit == RESUNIT_CENTIMETER ? ResolutionUnit::PerCentimetre
                                                        : ResolutionUnit::None;
  }
  orient_info(info, l.orientation);
  return true;
}

}  // namespace cvl::imaging
