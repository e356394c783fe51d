#include "stated_size.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace corvel_tool {

namespace {

// Bounds-checked little- and big-endian reads over the header bytes; out of range reads 0.
struct Bytes {
  std::vector<uint8_t> data;
  uint64_t at(size_t i) const { return i < data.size() ? data[i] : 0; }
  uint64_t be16(size_t i) const { return at(i) << 8 | at(i + 1); }
  uint64_t be32(size_t i) const { return be16(i) << 16 | be16(i + 2); }
  uint64_t le16(size_t i) const { return at(i) | at(i + 1) << 8; }
  uint64_t le24(size_t i) const { return le16(i) | at(i + 2) << 16; }
  uint64_t le32(size_t i) const { return le16(i) | le16(i + 2) << 16; }
  bool has(size_t end) const { return end <= data.size(); }
};

bool jpeg_size(const Bytes& b, int64_t& w, int64_t& h) {
  for (size_t i = 2; b.has(i + 9);) {
    if (b.at(i) != 0xFF) return false;
    const uint64_t marker = b.at(i + 1);
    if (marker == 0xFF) {  // fill byte
      ++i;
      continue;
    }
    const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
    if (frame) {
      h = int64_t(b.be16(i + 5));
      w = int64_t(b.be16(i + 7));
      return true;
    }
    i += 2 + b.be16(i + 2);
  }
  return false;
}

bool webp_size(const Bytes& b, int64_t& w, int64_t& h) {
  const std::string chunk(reinterpret_cast<const char*>(b.data.data()) + 12, b.has(16) ? 4 : 0);
  if (chunk == "VP8X" && b.has(30)) {
    w = int64_t(b.le24(24) + 1), h = int64_t(b.le24(27) + 1);
  } else if (chunk == "VP8L" && b.has(25)) {
    const uint64_t bits = b.le32(21);
    w = int64_t((bits & 0x3FFF) + 1), h = int64_t((bits >> 14 & 0x3FFF) + 1);
  } else if (chunk == "VP8 " && b.has(30)) {
    w = int64_t(b.le16(26) & 0x3FFF), h = int64_t(b.le16(28) & 0x3FFF);
  } else {
    return false;
  }
  return true;
}

bool tiff_size(const Bytes& b, int64_t& w, int64_t& h) {
  const bool big = b.at(0) == 'M';
  auto u16 = [&](size_t i) { return big ? b.be16(i) : b.le16(i); };
  auto u32 = [&](size_t i) { return big ? b.be32(i) : b.le32(i); };
  const size_t ifd = size_t(u32(4));
  if (!b.has(ifd + 2)) return false;
  w = h = 0;
  for (size_t k = 0, n = size_t(u16(ifd)); k < n && b.has(ifd + 2 + (k + 1) * 12); ++k) {
    const size_t e = ifd + 2 + k * 12;
    const uint64_t tag = u16(e), value = u16(e + 2) == 3 ? u16(e + 8) : u32(e + 8);
    if (tag == 256) w = int64_t(value);
    if (tag == 257) h = int64_t(value);
  }
  return w > 0 && h > 0;
}

}  // namespace

bool stated_size(const char* path, const char* type, int64_t& width, int64_t& height) {
  Bytes b;
  std::ifstream in(path, std::ios::binary);
  b.data.resize(1 << 20);  // room for the metadata that may come before a JPEG's frame header
  in.read(reinterpret_cast<char*>(b.data.data()), std::streamsize(b.data.size()));
  b.data.resize(size_t(in.gcount()));
  const std::string t = type ? type : "";
  if (t == "PNG" && b.has(24)) width = int64_t(b.be32(16)), height = int64_t(b.be32(20));
  else if (t == "GIF" && b.has(10)) width = int64_t(b.le16(6)), height = int64_t(b.le16(8));
  else if (t == "BMP" && b.has(26) && b.le32(14) == 12) width = int64_t(b.le16(18)), height = int64_t(b.le16(20));
  else if (t == "BMP" && b.has(26)) width = int64_t(b.le32(18)), height = std::llabs(int64_t(int32_t(b.le32(22))));
  else if (t == "PSD" && b.has(22)) height = int64_t(b.be32(14)), width = int64_t(b.be32(18));
  else if (t == "PCX" && b.has(12))
    width = int64_t(b.le16(8)) - int64_t(b.le16(4)) + 1, height = int64_t(b.le16(10)) - int64_t(b.le16(6)) + 1;
  else if (t == "TGA" && b.has(18)) width = int64_t(b.le16(12)), height = int64_t(b.le16(14));
  else if (t == "JPG") return jpeg_size(b, width, height);
  else if (t == "WEBP") return webp_size(b, width, height);
  else if (t == "TIFF") return tiff_size(b, width, height);
  else return false;
  return true;
}

}  // namespace corvel_tool
