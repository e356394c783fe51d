// BMP files and the device-independent bitmaps inside them: 1, 4, 8 (plain, RLE4,
// RLE8), 16, 24 and 32 bits, bottom-up or top-down, with colour masks.
#include <algorithm>
#include <array>
#include <vector>

#include "codecs/decode_support.h"
#include "codecs/decoders.h"

namespace cvl::imaging {
namespace {

enum Compression : uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitfields = 3, kAlphaBitfields = 6 };

struct DibHeader {
  int64_t width = 0, height = 0;  // height < 0: top-down
  uint16_t bits = 0;
  uint32_t compression = kRgb;
  uint32_t x_ppm = 0, y_ppm = 0;
  uint32_t colours_used = 0;
  std::array<uint32_t, 4> masks{};  // R, G, B, A
  size_t header_size = 0;
  size_t table_offset = 0;  // of the colour table within the info block
  size_t table_entry = 4;
};

bool read_dib_header(const uint8_t* info, size_t info_size, DibHeader& h) {
  ByteReader r(info, info_size);
  h.header_size = r.u32le();
  if (!r.ok()) return false;
  if (h.header_size == 12) {
    h.width = r.u16le();
    h.height = int16_t(r.u16le());
    r.u16le();
    h.bits = r.u16le();
    h.table_entry = 3;
    h.table_offset = 12;
    return r.ok();
  }
  if (h.header_size < 40 || h.header_size > info_size) return false;
  h.width = int32_t(r.u32le());
  h.height = int32_t(r.u32le());
  r.u16le();
  h.bits = r.u16le();
  h.compression = r.u32le();
  r.u32le();  // image size
  h.x_ppm = r.u32le();
  h.y_ppm = r.u32le();
  h.colours_used = r.u32le();
  r.u32le();  // important colours
  h.table_offset = h.header_size;
  if (h.compression == kBitfields || h.compression == kAlphaBitfields) {
    // Masks sit inside V2+ headers, or right after a plain 40-byte header.
    const bool with_alpha = h.compression == kAlphaBitfields || h.header_size >= 56;
    for (size_t i = 0; i < (with_alpha ? 4u : 3u); ++i) h.masks[i] = r.u32le();
    if (h.header_size == 40) h.table_offset += with_alpha && h.compression == kAlphaBitfields ? 16 : 12;
  } else if (h.header_size >= 56) {
    r.skip(12);
    h.masks[3] = r.u32le();
  }
  return r.ok();
}

// Scales a masked field to 8 bits as v * 255 / max, truncated (5-bit 31 becomes 255).
struct MaskField {
  uint32_t mask = 0;
  int shift = 0;
  uint32_t max = 0;
  explicit MaskField(uint32_t m) : mask(m) {
    if (!m) return;
    while (!((m >> shift) & 1)) ++shift;
    max = m >> shift;
  }
  uint8_t get(uint32_t v) const { return max ? uint8_t(uint64_t((v & mask) >> shift) * 255 / max) : 0; }
};

void store_masked(const DibHeader& h, const uint8_t* src, uint8_t* dst, int64_t width, bool& any_alpha) {
  const MaskField r(h.masks[0]), g(h.masks[1]), b(h.masks[2]), a(h.masks[3]);
  const int bytes = h.bits / 8;
  for (int64_t x = 0; x < width; ++x, src += bytes, dst += 4) {
    const uint32_t v = bytes == 2 ? uint32_t(src[0] | src[1] << 8)
                                  : uint32_t(src[0]) | uint32_t(src[1]) << 8 | uint32_t(src[2]) << 16 |
                                        uint32_t(src[3]) << 24;
    dst[0] = r.get(v), dst[1] = g.get(v), dst[2] = b.get(v);
    dst[3] = a.mask ? a.get(v) : 255;
    if (a.mask && dst[3]) any_alpha = true;
  }
}

using Palette = std::array<std::array<uint8_t, 3>, 256>;

void store_indexed(const Palette& pal, const uint8_t* src, uint8_t* dst, int64_t width, int bits) {
  const int per_byte = 8 / bits, mask = (1 << bits) - 1;
  for (int64_t x = 0; x < width; ++x, dst += 4) {
    const int shift = 8 - bits * int(x % per_byte + 1);
    const auto& c = pal[(src[x / per_byte] >> shift) & mask];
    dst[0] = c[0], dst[1] = c[1], dst[2] = c[2], dst[3] = 255;
  }
}

// Run-length coded 4- and 8-bit bitmaps decode to indices first; skipped pixels keep index 0.
bool expand_rle(const DibHeader& h, const uint8_t* bits, size_t size, std::vector<uint8_t>& idx) {
  const int64_t w = h.width, rows = h.height < 0 ? -h.height : h.height;
  idx.assign(size_t(w * rows), 0);
  const bool four = h.compression == kRle4;
  ByteReader r(bits, size);
  int64_t x = 0, y = 0;  // y counts rows in file order
  auto put = [&](uint8_t v) {
    if (x < w && y < rows) idx[size_t(y * w + x)] = v;
    ++x;
  };
  while (r.remaining() >= 2 && y < rows) {
    const uint8_t count = r.u8(), value = r.u8();
    if (count) {
      for (int i = 0; i < count; ++i) put(four ? uint8_t(i & 1 ? value & 15 : value >> 4) : value);
      continue;
    }
    if (value == 0) {
      x = 0, ++y;
    } else if (value == 1) {
      return true;
    } else if (value == 2) {
      x += r.u8();
      y += r.u8();
    } else {
      const size_t bytes = four ? (value + 1u) / 2 : value;
      const uint8_t* run = r.take(bytes + (bytes & 1));
      if (!run) return false;
      for (int i = 0; i < value; ++i) put(four ? uint8_t(i & 1 ? run[i / 2] & 15 : run[i / 2] >> 4) : run[i]);
    }
  }
  return r.ok();
}

}  // namespace

bool decode_dib(const uint8_t* info, size_t info_size, const uint8_t* bits, size_t bits_size, Image& out) {
  out = Image{};
  DibHeader h;
  if (!info || !bits || !read_dib_header(info, info_size, h)) return false;
  const int64_t rows = h.height < 0 ? -h.height : h.height;
  const bool top_down = h.height < 0;
  const bool rle = h.compression == kRle8 || h.compression == kRle4;
  const bool masked = h.compression == kBitfields || h.compression == kAlphaBitfields;
  if (rle && h.bits != (h.compression == kRle8 ? 8 : 4)) return false;
  if (masked && h.bits != 16 && h.bits != 32) return false;
  if (!rle && !masked && h.compression != kRgb) return false;
  if (h.bits != 1 && h.bits != 4 && h.bits != 8 && h.bits != 16 && h.bits != 24 && h.bits != 32) return false;
  if (!acceptable_size(h.width, rows)) return false;

  Palette pal{};
  if (h.bits <= 8) {
    size_t entries = h.colours_used ? std::min<size_t>(h.colours_used, 256) : size_t(1) << h.bits;
    if (h.table_offset > info_size) return false;
    const size_t fit = (info_size - h.table_offset) / h.table_entry;
    // OS/2 1.x headers have no count of colours: writers keep the table short and let the
    // pixels follow. The entries that fit before them are the palette; the rest stay black.
    if (h.header_size == 12 && fit > 0) entries = std::min(entries, fit);
    if (fit < entries) return false;
    for (size_t i = 0; i < entries; ++i) {
      const uint8_t* e = info + h.table_offset + i * h.table_entry;
      pal[i] = {e[2], e[1], e[0]};
    }
  }
  if (h.bits == 16 && !masked) h.masks = {0x7C00, 0x03E0, 0x001F, 0};
  if (h.bits == 32 && !masked) h.masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};

  // Uncompressed rows must all be in the file: a short one is refused before the
  // picture it declares is allocated.
  const size_t stride = size_t((h.width * h.bits + 31) / 32 * 4);
  const size_t used = size_t((h.width * h.bits + 7) / 8);
  if (!rle && bits_size < stride * size_t(rows - 1) + used) return refuse(out);
  if (!allocate_rgba(out, h.width, rows)) return false;
  const auto dst_row = [&](int64_t file_row) {
    const int64_t y = top_down ? file_row : rows - 1 - file_row;
    return out.pixels.data() + size_t(y * h.width * 4);
  };
  if (rle) {
    std::vector<uint8_t> idx;
    if (!expand_rle(h, bits, bits_size, idx)) return refuse(out);
    for (int64_t fy = 0; fy < rows; ++fy) {
      uint8_t* dst = dst_row(fy);
      const uint8_t* src = idx.data() + fy * h.width;
      for (int64_t x = 0; x < h.width; ++x, dst += 4)
        dst[0] = pal[src[x]][0], dst[1] = pal[src[x]][1], dst[2] = pal[src[x]][2], dst[3] = 255;
    }
    return true;
  }
  bool any_alpha = false;
  for (int64_t fy = 0; fy < rows; ++fy) {
    const uint8_t* src = bits + size_t(fy) * stride;
    uint8_t* dst = dst_row(fy);
    if (h.bits <= 8) {
      store_indexed(pal, src, dst, h.width, h.bits);
    } else if (h.bits == 24) {
      for (int64_t x = 0; x < h.width; ++x, src += 3, dst += 4) dst[0] = src[2], dst[1] = src[1], dst[2] = src[0], dst[3] = 255;
    } else {
      store_masked(h, src, dst, h.width, any_alpha);
    }
  }
  // A 32-bit plain bitmap whose fourth bytes are all zero carries no alpha at all.
  if (h.bits == 32 && h.compression == kRgb && !any_alpha)
    for (size_t i = 3; i < out.pixels.size(); i += 4) out.pixels[i] = 255;
  return true;
}

namespace {

bool split_bmp(const uint8_t* data, size_t size, const uint8_t*& info, size_t& info_size, const uint8_t*& bits,
               size_t& bits_size) {
  if (!data || size < 18 || data[0] != 'B' || data[1] != 'M') return false;
  ByteReader r(data, size);
  r.skip(10);
  const uint32_t offset = r.u32le();
  if (!r.ok() || offset < 14 + 12 || offset > size) return false;
  info = data + 14;
  info_size = offset - 14;
  bits = data + offset;
  bits_size = size - offset;
  return true;
}

}  // namespace

bool decode_bmp(const uint8_t* data, size_t size, Image& out) {
  const uint8_t *info = nullptr, *bits = nullptr;
  size_t info_size = 0, bits_size = 0;
  if (!split_bmp(data, size, info, info_size, bits, bits_size)) return refuse(out);
  return decode_dib(info, info_size, bits, bits_size, out);
}

namespace {

// A packed DIB (the clipboard's block) has no file header saying where the bits
// start: they follow the header, its masks and its colour table.
bool split_packed_dib(const uint8_t* block, size_t size, DibHeader& h, size_t& info_size) {
  if (!block || !read_dib_header(block, size, h)) return false;
  size_t entries = 0;
  if (h.bits <= 8) entries = h.colours_used ? std::min<size_t>(h.colours_used, 256) : size_t(1) << h.bits;
  info_size = h.table_offset + entries * h.table_entry;
  return info_size <= size;
}

}  // namespace

bool probe_packed_dib(const uint8_t* block, size_t size, int32_t& width, int32_t& height) {
  DibHeader h;
  size_t info_size = 0;
  if (!split_packed_dib(block, size, h, info_size) || !acceptable_size(h.width, h.height < 0 ? -h.height : h.height))
    return false;
  width = static_cast<int32_t>(h.width);
  height = static_cast<int32_t>(h.height < 0 ? -h.height : h.height);
  return true;
}

bool decode_packed_dib(const uint8_t* block, size_t size, Image& out) {
  DibHeader h;
  size_t info_size = 0;
  if (!split_packed_dib(block, size, h, info_size)) return refuse(out);
  return decode_dib(block, info_size, block + info_size, size - info_size, out);
}

bool probe_bmp(const uint8_t* data, size_t size, ImageInfo& info) {
  const uint8_t *dib = nullptr, *bits = nullptr;
  size_t dib_size = 0, bits_size = 0;
  DibHeader h;
  if (!split_bmp(data, size, dib, dib_size, bits, bits_size) || !read_dib_header(dib, dib_size, h)) return false;
  info.width = static_cast<int32_t>(h.width);
  info.height = static_cast<int32_t>(h.height < 0 ? -h.height : h.height);
  if (h.x_ppm) {
    info.resolution = {double(h.x_ppm), double(h.y_ppm), ResolutionUnit::PerMetre};
  }
  return true;
}

}  // namespace cvl::imaging
