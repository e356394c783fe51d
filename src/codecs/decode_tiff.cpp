// TIFF through libtiff from memory. RGB and grey images of 8 or 16 bits are read strip
// by strip or tile by tile, interleaved or in separate planes, so that unassociated
// alpha arrives untouched; every other layout goes through libtiff's RGBA conversion.
// Both paths fill a raster in stored order, which the orientation tag then turns upright.
#include <algorithm>
#include <memory>
#include <vector>

#include "codecs/decode_support.h"
#include "codecs/decoders.h"

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
int note_error(TIFF*, void* file, const char*, const char*, va_list) {
  if (file) static_cast<MemoryFile*>(file)->error = true;
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
  uint16_t format = SAMPLEFORMAT_UINT, orientation = ORIENTATION_TOPLEFT;
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

// Layouts whose samples we copy ourselves: RGB or grey, 8 or 16 unsigned bits, in strips
// or tiles, interleaved or one plane per sample. Reading them directly keeps unassociated
// alpha exact (the RGBA conversion premultiplies it) and reads 16-bit separate planes,
// which the conversion refuses.
bool direct_layout(const Layout& l) {
  if ((l.bits != 8 && l.bits != 16) || l.format != SAMPLEFORMAT_UINT) return false;
  if (l.planar != PLANARCONFIG_CONTIG && l.planar != PLANARCONFIG_SEPARATE) return false;
  const int colours = l.photometric == PHOTOMETRIC_RGB ? 3
                      : (l.photometric == PHOTOMETRIC_MINISBLACK || l.photometric == PHOTOMETRIC_MINISWHITE) ? 1
                                                                                                               : 0;
  return colours > 0 && l.samples >= colours + (l.has_alpha ? 1 : 0);
}

// One sample of every pixel of a decoded strip or tile, `step` samples apart.
struct SampleRun {
  const uint8_t* data;
  size_t step;
  bool wide;  // 16-bit samples in host order (libtiff swaps them on decoding)

  uint8_t at(size_t i) const {
    if (!wide) return data[i * step];
    uint16_t v;
    std::memcpy(&v, data + i * step * 2, 2);
    return uint8_t(v >> 8);
  }
};

// Where one block (a strip or a tile) lies in the image: its top-left corner, its row
// length in pixels as stored, and the part of it that lies inside the image.
struct Block {
  uint32_t x, y, stored_width, cols, rows;
};

// Writes sample `sample` (0..samples-1) of a block into the stored-order RGBA raster.
void place_sample(const SampleRun& run, const Block& b, int sample, const Layout& l, Image& raster) {
  const bool grey = l.photometric != PHOTOMETRIC_RGB;
  const int colours = grey ? 1 : 3;
  int first, count;
  if (sample < colours) {
    first = grey ? 0 : sample, count = grey ? 3 : 1;
  } else if (l.has_alpha && sample == colours) {
    first = 3, count = 1;
  } else {
    return;  // further extra samples are not part of the picture
  }
  const bool invert = l.photometric == PHOTOMETRIC_MINISWHITE && sample == 0;
  for (uint32_t y = 0; y < b.rows; ++y) {
    uint8_t* dst = raster.pixels.data() + (size_t(b.y + y) * l.width + b.x) * 4 + first;
    const size_t row = size_t(y) * b.stored_width;
    for (uint32_t x = 0; x < b.cols; ++x, dst += 4) {
      uint8_t v = run.at(row + x);
      if (invert) v = uint8_t(255 - v);
      for (int c = 0; c < count; ++c) dst[c] = v;
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
  const uint64_t needed = uint64_t(block_w) * block_h * samples_per_pixel * (l.bits / 8);
  if (bytes <= 0 || bytes > kMaxBlockBytes || uint64_t(bytes) < needed) return false;
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
        const Block b{x, y, block_w, std::min(block_w, l.width - x), std::min(block_h, l.height - y)};
        // A short strip (the last one) holds only the rows inside the image.
        if (uint64_t(got) < uint64_t(b.rows - 1) * block_w * samples_per_pixel * (l.bits / 8) +
                                uint64_t(b.cols) * samples_per_pixel * (l.bits / 8))
          return false;
        for (int s = 0; s < (separate ? 1 : l.samples); ++s) {
          const size_t offset = size_t(s) * (l.bits / 8);
          place_sample({buffer.data() + offset, samples_per_pixel, l.bits == 16}, b, separate ? plane : s, l, raster);
        }
      }
    }
  }
  if (!l.has_alpha)
    for (size_t i = 3; i < raster.pixels.size(); i += 4) raster.pixels[i] = 255;
  if (l.associated) unpremultiply(raster.pixels.data(), size_t(l.width) * l.height);
  return true;
}

// Everything else (palettes, bilevel, CMYK, YCbCr, Lab, ...) goes through libtiff's RGBA
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

// The stored raster turned upright by the orientation tag: 2 to 4 mirror it, 5 to 8
// exchange rows and columns first (the picture is stored on its side).
void orient(const Image& stored, uint16_t orientation, Image& out) {
  const uint32_t w = uint32_t(stored.width), h = uint32_t(stored.height);
  const bool sideways = orientation >= ORIENTATION_LEFTTOP;
  allocate_rgba(out, sideways ? h : w, sideways ? w : h);
  const uint32_t ow = uint32_t(out.width), oh = uint32_t(out.height);
  const auto* src = reinterpret_cast<const uint32_t*>(stored.pixels.data());
  auto* dst = reinterpret_cast<uint32_t*>(out.pixels.data());
  for (uint32_t y = 0; y < oh; ++y) {
    for (uint32_t x = 0; x < ow; ++x) {
      uint32_t col = x, row = y;
      switch (orientation) {
        case ORIENTATION_TOPRIGHT: col = w - 1 - x; break;
        case ORIENTATION_BOTRIGHT: col = w - 1 - x, row = h - 1 - y; break;
        case ORIENTATION_BOTLEFT: row = h - 1 - y; break;
        case ORIENTATION_LEFTTOP: col = y, row = x; break;
        case ORIENTATION_RIGHTTOP: col = y, row = h - 1 - x; break;
        case ORIENTATION_RIGHTBOT: col = w - 1 - y, row = h - 1 - x; break;
        case ORIENTATION_LEFTBOT: col = w - 1 - y, row = x; break;
        default: break;
      }
      dst[size_t(y) * ow + x] = src[size_t(row) * w + col];
    }
  }
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
  if (l.orientation == ORIENTATION_TOPLEFT) {
    out = std::move(stored);
  } else {
    orient(stored, l.orientation, out);
  }
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
  return true;
}

}  // namespace cvl::imaging
