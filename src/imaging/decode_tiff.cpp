// TIFF through libtiff from memory. Plain 8-bit RGB and grey images are read
// row by row so that unassociated alpha arrives untouched; every other layout goes
// through libtiff's RGBA conversion.
#include <algorithm>
#include <memory>
#include <vector>

#include "imaging/decode_support.h"
#include "imaging/decoders.h"

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
  bool has_alpha = false, associated = false;
};

Layout read_layout(TIFF* t) {
  Layout l;
  TIFFGetField(t, TIFFTAG_IMAGEWIDTH, &l.width);
  TIFFGetField(t, TIFFTAG_IMAGELENGTH, &l.height);
  TIFFGetFieldDefaulted(t, TIFFTAG_BITSPERSAMPLE, &l.bits);
  TIFFGetFieldDefaulted(t, TIFFTAG_SAMPLESPERPIXEL, &l.samples);
  TIFFGetFieldDefaulted(t, TIFFTAG_PLANARCONFIG, &l.planar);
  if (!TIFFGetField(t, TIFFTAG_PHOTOMETRIC, &l.photometric)) l.photometric = 0xFFFF;
  uint16_t extra_count = 0;
  uint16_t* extra = nullptr;
  if (TIFFGetField(t, TIFFTAG_EXTRASAMPLES, &extra_count, &extra) && extra_count > 0 && extra) {
    l.has_alpha = extra[0] == EXTRASAMPLE_ASSOCALPHA || extra[0] == EXTRASAMPLE_UNASSALPHA;
    l.associated = extra[0] == EXTRASAMPLE_ASSOCALPHA;
  }
  return l;
}

bool plain_layout(TIFF* t, const Layout& l) {
  if (TIFFIsTiled(t) || l.bits != 8 || l.planar != PLANARCONFIG_CONTIG) return false;
  if (l.photometric == PHOTOMETRIC_RGB) return l.samples >= 3;
  if (l.photometric == PHOTOMETRIC_MINISBLACK || l.photometric == PHOTOMETRIC_MINISWHITE) return l.samples >= 1;
  return false;
}

bool read_plain(TIFF* t, const Layout& l, Image& out) {
  const tmsize_t line = TIFFScanlineSize(t);
  if (line < tmsize_t(l.width) * l.samples) return false;
  std::vector<uint8_t> row(static_cast<size_t>(line));
  const bool rgb = l.photometric == PHOTOMETRIC_RGB;
  const bool invert = l.photometric == PHOTOMETRIC_MINISWHITE;
  const int alpha_at = l.has_alpha ? (rgb ? 3 : 1) : -1;
  if (alpha_at >= l.samples) return false;
  for (uint32_t y = 0; y < l.height; ++y) {
    if (TIFFReadScanline(t, row.data(), y, 0) < 0) return false;
    uint8_t* dst = out.pixels.data() + size_t(y) * l.width * 4;
    const uint8_t* src = row.data();
    for (uint32_t x = 0; x < l.width; ++x, src += l.samples, dst += 4) {
      if (rgb) {
        dst[0] = src[0], dst[1] = src[1], dst[2] = src[2];
      } else {
        const uint8_t v = invert ? uint8_t(255 - src[0]) : src[0];
        dst[0] = dst[1] = dst[2] = v;
      }
      dst[3] = alpha_at >= 0 ? src[alpha_at] : 255;
    }
  }
  if (l.associated) unpremultiply(out.pixels.data(), size_t(l.width) * l.height);
  return true;
}

bool read_converted(TIFF* t, const Layout& l, Image& out) {
  char message[1024];
  if (!TIFFRGBAImageOK(t, message)) return false;
  auto* raster = reinterpret_cast<uint32_t*>(out.pixels.data());
  if (!TIFFReadRGBAImageOriented(t, l.width, l.height, raster, ORIENTATION_TOPLEFT, 1)) return false;
  const size_t count = size_t(l.width) * l.height;
  uint8_t* px = out.pixels.data();
  for (size_t i = 0; i < count; ++i, px += 4) {
    const uint32_t v = raster[i];
    px[0] = uint8_t(TIFFGetR(v)), px[1] = uint8_t(TIFFGetG(v)), px[2] = uint8_t(TIFFGetB(v)),
    px[3] = uint8_t(TIFFGetA(v));
  }
  // The conversion hands back associated alpha whatever the file held.
  if (l.has_alpha) unpremultiply(out.pixels.data(), count);
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
  if (!allocate_rgba(out, l.width, l.height)) return refuse(out);
  const bool ok = plain_layout(t, l) ? read_plain(t, l, out) : read_converted(t, l, out);
  return (ok && !m.damaged()) || refuse(out);
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
