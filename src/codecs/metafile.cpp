// Raster metafiles: writing an image as one stretched-bitmap record, and reading back
// the bitmap records of enhanced and Windows metafiles. Vector records are skipped, and a
// metafile without any bitmap is refused rather than rendered as a blank; logical units
// are taken as pixels of the picture.
#include "codecs/metafile.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "codecs/codec.h"
#include "codecs/decode_support.h"
#include "codecs/decoders.h"
#include "codecs/encode.h"
#include "codecs/file_sink.h"

namespace cvl::imaging {
namespace {

constexpr uint32_t kEmrHeader = 1, kEmrEof = 14, kEmrStretchDIBits = 81;
constexpr uint32_t kEmfSignature = 0x464D4520;  // " EMF"
constexpr uint16_t kMetaSetWindowOrg = 0x020B, kMetaSetWindowExt = 0x020C, kMetaStretchDib = 0x0F43,
                   kMetaDibStretchBlt = 0x0B41, kMetaEof = 0x0000;
constexpr uint32_t kSrcCopy = 0x00CC0020;

// BITMAPINFOHEADER and bottom-up 24-bit rows of `src`.
std::vector<uint8_t> make_dib(const ImageView& src) {
  const size_t stride = (size_t(src.width) * 3 + 3) & ~size_t(3);
  std::vector<uint8_t> dib(40 + stride * src.height, 0);
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) dib[at + i] = uint8_t(v >> (8 * i));
  };
  put32(0, 40);
  put32(4, uint32_t(src.width));
  put32(8, uint32_t(src.height));
  dib[12] = 1, dib[14] = 24;
  put32(20, uint32_t(stride * src.height));
  for (int32_t y = 0; y < src.height; ++y) {
    const uint8_t* s = src.row(src.height - 1 - y);
    uint8_t* d = dib.data() + 40 + size_t(y) * stride;
    for (int32_t x = 0; x < src.width; ++x, s += src.channels, d += 3) d[0] = s[2], d[1] = s[1], d[2] = s[0];
  }
  return dib;
}

bool write_emf(FileSink& f, const ImageView& src, const std::vector<uint8_t>& dib) {
  const uint32_t header = 88, stretch = 80 + uint32_t(dib.size()), eof = 20;
  const uint32_t w = uint32_t(src.width), h = uint32_t(src.height);
  // A 96 dpi reference device: the frame is the picture's size in hundredths of a millimetre.
  const auto hundredths_mm = [](uint32_t px) { return uint32_t(std::lround(px * 2540.0 / 96.0)); };
  f.u32le(kEmrHeader), f.u32le(header);
  f.u32le(0), f.u32le(0), f.u32le(w - 1), f.u32le(h - 1);  // bounds, inclusive
  f.u32le(0), f.u32le(0), f.u32le(hundredths_mm(w) - 1), f.u32le(hundredths_mm(h) - 1);
  f.u32le(kEmfSignature), f.u32le(0x10000);
  f.u32le(header + stretch + eof), f.u32le(3);
  f.u16le(1), f.u16le(0);
  f.u32le(0), f.u32le(0), f.u32le(0);  // description, palette
  f.u32le(w), f.u32le(h);
  f.u32le(std::max<uint32_t>(1, uint32_t(std::lround(w * 25.4 / 96)))), f.u32le(std::max<uint32_t>(1, uint32_t(std::lround(h * 25.4 / 96))));

  f.u32le(kEmrStretchDIBits), f.u32le(stretch);
  f.u32le(0), f.u32le(0), f.u32le(w - 1), f.u32le(h - 1);
  f.u32le(0), f.u32le(0), f.u32le(0), f.u32le(0), f.u32le(w), f.u32le(h);  // dest x, y; source x, y, w, h
  f.u32le(80), f.u32le(40), f.u32le(120), f.u32le(uint32_t(dib.size() - 40));
  f.u32le(0), f.u32le(kSrcCopy), f.u32le(w), f.u32le(h);
  f.bytes(dib.data(), dib.size());

  f.u32le(kEmrEof), f.u32le(eof), f.u32le(0), f.u32le(16), f.u32le(eof);
  return f.close();
}

bool write_wmf(FileSink& f, const ImageView& src, const std::vector<uint8_t>& dib) {
  const uint16_t w = uint16_t(src.width), h = uint16_t(src.height);
  // Placeable header: bounds in units of 1/96 inch, so one unit is one pixel.
  uint16_t placeable[11] = {0xCDD7, 0x9AC6, 0, 0, 0, w, h, 96, 0, 0, 0};
  for (int i = 0; i < 10; ++i) placeable[10] ^= placeable[i];
  for (uint16_t v : placeable) f.u16le(v);
  const uint32_t stretch_words = 14 + uint32_t(dib.size() / 2);
  const uint32_t total_words = 9 + 5 + 5 + stretch_words + 3;
  f.u16le(1), f.u16le(9), f.u16le(0x300), f.u32le(total_words), f.u16le(0), f.u32le(stretch_words), f.u16le(0);
  f.u32le(5), f.u16le(kMetaSetWindowOrg), f.u16le(0), f.u16le(0);
  f.u32le(5), f.u16le(kMetaSetWindowExt), f.u16le(h), f.u16le(w);
  // Parameters are stored last first: the raster operation and colour use, then the
  // source and destination rectangles as height, width, y, x.
  f.u32le(stretch_words), f.u16le(kMetaStretchDib), f.u32le(kSrcCopy), f.u16le(0);
  for (uint16_t v : {h, w, uint16_t(0), uint16_t(0), h, w, uint16_t(0), uint16_t(0)}) f.u16le(v);
  f.bytes(dib.data(), dib.size());
  f.u32le(3), f.u16le(kMetaEof);
  return f.close();
}

// The picture being rendered: RGB on the background colour.
struct Canvas {
  Image& out;
  int32_t origin_x = 0, origin_y = 0;  // logical coordinate of the picture's top-left pixel
};

struct Placement {
  int32_t dest_x, dest_y, dest_w, dest_h, src_x, src_y, src_w, src_h;
};

// Draws a decoded bitmap (top-down RGBA) scaled nearest-neighbour into the canvas,
// composited over what is there by its alpha.
void draw_bitmap(Canvas& c, const Image& bmp, bool bottom_up, Placement p) {
  if (p.dest_w <= 0 || p.dest_h <= 0 || p.src_w <= 0 || p.src_h <= 0) return;
  if (bottom_up) p.src_y = bmp.height - p.src_y - p.src_h;  // source rows count from the bottom
  if (p.src_x < 0 || p.src_y < 0 || int64_t(p.src_x) + p.src_w > bmp.width || int64_t(p.src_y) + p.src_h > bmp.height) return;
  const int64_t left = int64_t(p.dest_x) - c.origin_x, top = int64_t(p.dest_y) - c.origin_y;
  for (int64_t y = std::max<int64_t>(0, top); y < std::min<int64_t>(c.out.height, top + p.dest_h); ++y) {
    const int64_t sy = p.src_y + (y - top) * p.src_h / p.dest_h;
    for (int64_t x = std::max<int64_t>(0, left); x < std::min<int64_t>(c.out.width, left + p.dest_w); ++x) {
      const int64_t sx = p.src_x + (x - left) * p.src_w / p.dest_w;
      const uint8_t* s = &bmp.pixels[size_t(sy * bmp.width + sx) * 4];
      uint8_t* d = &c.out.pixels[size_t(y * c.out.width + x) * 3];
      for (int k = 0; k < 3; ++k) d[k] = uint8_t((s[k] * s[3] + d[k] * (255 - s[3]) + 127) / 255);
    }
  }
}

bool dib_is_bottom_up(const uint8_t* info, size_t size) {
  if (size < 12) return true;
  if (info[0] == 12) return true;  // core headers are always bottom-up
  return size >= 12 && int32_t(info[8] | info[9] << 8 | info[10] << 16 | uint32_t(info[11]) << 24) > 0;
}

// Metafiles state their size in a few bytes, so the picture is capped lower than decoded images.
constexpr int64_t kMaxMetafilePixels = int64_t(1) << 26;

bool start_canvas(Image& out, int64_t w, int64_t h, uint32_t background) {
  if (!acceptable_size(w, h) || w * h > kMaxMetafilePixels) return false;
  out.width = int32_t(w), out.height = int32_t(h), out.channels = 3;
  out.pixels.resize(size_t(w * h) * 3);
  for (size_t i = 0; i < out.pixels.size(); i += 3)
    out.pixels[i] = uint8_t(background), out.pixels[i + 1] = uint8_t(background >> 8), out.pixels[i + 2] = uint8_t(background >> 16);
  return true;
}

bool read_emf(const uint8_t* data, size_t size, uint32_t background, int32_t fw, int32_t fh, Image& out) {
  ByteReader r(data, size);
  r.skip(4);
  const uint32_t header_size = r.u32le();
  const int32_t left = int32_t(r.u32le()), top = int32_t(r.u32le()), right = int32_t(r.u32le()), bottom = int32_t(r.u32le());
  if (!r.ok() || header_size < 88 || header_size % 4 || header_size > size) return false;

  // Records are walked once to check them and find the bitmaps, then the bitmaps are drawn.
  std::vector<std::pair<size_t, uint32_t>> stretches;  // offset, length
  bool ended = false;
  for (size_t at = header_size; !ended && size - at >= 8;) {
    ByteReader rec(data + at, size - at);
    const uint32_t type = rec.u32le(), length = rec.u32le();
    if (length < 8 || length % 4 || length > size - at) return false;
    if (type == kEmrEof) ended = true;
    if (type == kEmrStretchDIBits && length >= 80) stretches.emplace_back(at, length);
    at += length;
  }
  if (!ended || stretches.empty()) return false;
  int64_t w = int64_t(right) - left + 1, h = int64_t(bottom) - top + 1;
  if (w <= 0 || h <= 0) w = fw, h = fh;
  if (!start_canvas(out, w, h, background)) return false;
  Canvas canvas{out, left, top};
  for (const auto& [at, length] : stretches) {
    ByteReader f(data + at, length);
    f.skip(24);
    Placement p{};
    p.dest_x = int32_t(f.u32le()), p.dest_y = int32_t(f.u32le());
    p.src_x = int32_t(f.u32le()), p.src_y = int32_t(f.u32le()), p.src_w = int32_t(f.u32le()), p.src_h = int32_t(f.u32le());
    const uint32_t bmi_at = f.u32le(), bmi_size = f.u32le(), bits_at = f.u32le(), bits_size = f.u32le();
    f.skip(8);
    p.dest_w = int32_t(f.u32le()), p.dest_h = int32_t(f.u32le());
    if (bmi_at > length || bmi_size > length - bmi_at || bits_at > length || bits_size > length - bits_at) return false;
    Image bmp;
    if (!decode_dib(data + at + bmi_at, bmi_size, data + at + bits_at, bits_size, bmp)) return false;
    draw_bitmap(canvas, bmp, dib_is_bottom_up(data + at + bmi_at, bmi_size), p);
  }
  return true;
}

bool read_wmf(const uint8_t* data, size_t size, uint32_t background, int32_t fw, int32_t fh, Image& out) {
  ByteReader r(data, size);
  int64_t w = 0, h = 0;
  if (r.u32le() == 0x9AC6CDD7u) {
    r.skip(2);
    const int16_t left = int16_t(r.u16le()), top = int16_t(r.u16le()), right = int16_t(r.u16le()), bottom = int16_t(r.u16le());
    const uint16_t inch = r.u16le();
    if (inch) w = (int64_t(right) - left) * 96 / inch, h = (int64_t(bottom) - top) * 96 / inch;
    r.skip(6);
  } else {
    r.seek(0);
  }
  const size_t header_at = r.pos();
  r.skip(2);
  const uint16_t header_words = r.u16le();
  if (!r.ok() || header_words < 9 || !r.seek(header_at + size_t(header_words) * 2)) return false;

  // Records are walked twice: first for the window, then to draw.
  int32_t org_x = 0, org_y = 0, ext_w = 0, ext_h = 0;
  std::vector<size_t> stretches;
  bool ended = false;
  for (size_t at = r.pos(); !ended && size - at >= 6;) {
    ByteReader rec(data + at, size - at);
    const uint32_t words = rec.u32le();
    const uint16_t function = rec.u16le();
    if (words < 3 || words > (size - at) / 2) return false;
    if (function == kMetaEof) ended = true;
    if (function == kMetaSetWindowOrg) org_y = int16_t(rec.u16le()), org_x = int16_t(rec.u16le());
    if (function == kMetaSetWindowExt) ext_h = int16_t(rec.u16le()), ext_w = int16_t(rec.u16le());
    if (function == kMetaStretchDib || function == kMetaDibStretchBlt) stretches.push_back(at);
    at += size_t(words) * 2;
  }
  if (!ended || stretches.empty()) return false;
  if (ext_w > 0 && ext_h > 0) w = ext_w, h = ext_h;
  if (w <= 0 || h <= 0) w = fw, h = fh;
  if (!start_canvas(out, w, h, background)) return false;
  Canvas canvas{out, org_x, org_y};
  for (size_t at : stretches) {
    ByteReader rec(data + at, size - at);
    const uint32_t words = rec.u32le();
    const uint16_t function = rec.u16le();
    rec.skip(4);  // raster operation
    if (function == kMetaStretchDib) rec.skip(2);
    Placement p{};
    p.src_h = int16_t(rec.u16le()), p.src_w = int16_t(rec.u16le()), p.src_y = int16_t(rec.u16le()), p.src_x = int16_t(rec.u16le());
    p.dest_h = int16_t(rec.u16le()), p.dest_w = int16_t(rec.u16le()), p.dest_y = int16_t(rec.u16le()), p.dest_x = int16_t(rec.u16le());
    const size_t used = rec.pos(), length = size_t(words) * 2;
    if (!rec.ok() || used > length) return false;
    const uint8_t* dib = data + at + used;
    const size_t dib_size = length - used;
    ByteReader hdr(dib, dib_size);
    const uint32_t info_size = hdr.u32le();
    if (!hdr.ok() || info_size < 12 || info_size > dib_size) return false;
    // The colour table sits between the header and the bits; its length follows from the header.
    size_t table = 0;
    if (info_size >= 40 && dib_size >= 36) {
      const uint16_t bits = uint16_t(dib[14] | dib[15] << 8);
      const uint32_t used_colours = uint32_t(dib[32] | dib[33] << 8 | dib[34] << 16 | uint32_t(dib[35]) << 24);
      const uint32_t compression = uint32_t(dib[16] | dib[17] << 8 | dib[18] << 16 | uint32_t(dib[19]) << 24);
      if (bits <= 8) table = size_t(used_colours && used_colours <= 256 ? used_colours : 1u << bits) * 4;
      if (compression == 3 && info_size == 40) table = 12;
    } else if (info_size == 12 && dib_size >= 12) {
      const uint16_t bits = uint16_t(dib[10] | dib[11] << 8);
      if (bits <= 8) table = (size_t(1) << bits) * 3;
    }
    if (table > dib_size - info_size) return false;
    Image bmp;
    const size_t bits_at = info_size + table;
    if (!decode_dib(dib, bits_at, dib + bits_at, dib_size - bits_at, bmp)) return false;
    draw_bitmap(canvas, bmp, dib_is_bottom_up(dib, info_size), p);
  }
  return true;
}

}  // namespace

bool write_metafile(const char* path, const ImageView& src, MetafileKind kind) {
  if (!src.data || src.width <= 0 || src.height <= 0 || (src.channels != 3 && src.channels != 4)) return false;
  if (kind == MetafileKind::Windows && (src.width > 32767 || src.height > 32767)) return false;
  const std::vector<uint8_t> dib = make_dib(src);
  if (dib.size() > 0x7FFFFFF0u) return false;
  FileSink f(path);
  if (!f.ok()) return false;
  return kind == MetafileKind::Enhanced ? write_emf(f, src, dib) : write_wmf(f, src, dib);
}

bool read_metafile(const uint8_t* data, size_t size, uint32_t background_colour, int32_t fallback_width,
                   int32_t fallback_height, Image& out) {
  out = Image{};
  bool ok = false;
  switch (guess_file_type(data, size)) {
    case FileType::Emf: ok = read_emf(data, size, background_colour, fallback_width, fallback_height, out); break;
    case FileType::Wmf: ok = read_wmf(data, size, background_colour, fallback_width, fallback_height, out); break;
    default: break;
  }
  if (!ok) out = Image{};
  return ok;
}

bool read_metafile_file(const char* path, uint32_t background_colour, int32_t fallback_width, int32_t fallback_height,
                        Image& out) {
  std::vector<uint8_t> bytes;
  if (!read_whole_file(path, bytes)) {
    out = Image{};
    return false;
  }
  return read_metafile(bytes.data(), bytes.size(), background_colour, fallback_width, fallback_height, out);
}

}  // namespace cvl::imaging
