#include "codecs/codec.h"

#include <cstdio>
#include <cstring>

#include "codecs/decode_support.h"
#include "codecs/decoders.h"

namespace cvl::imaging {

bool allocate_rgba(Image& out, int64_t width, int64_t height) {
  if (!acceptable_size(width, height)) return false;
  out.width = static_cast<int32_t>(width);
  out.height = static_cast<int32_t>(height);
  out.channels = 4;
  out.pixels.assign(static_cast<size_t>(width * height * 4), 0);
  return true;
}

namespace {

bool starts_with(const uint8_t* data, size_t size, const char* magic, size_t n) {
  return size >= n && std::memcmp(data, magic, n) == 0;
}

uint32_t le32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }
uint16_t le16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

bool looks_like_pcx(const uint8_t* d, size_t size) {
  if (size < 128 || d[0] != 0x0A || d[2] > 1) return false;
  if (d[1] > 5 || d[1] == 1) return false;
  return d[3] == 1 || d[3] == 2 || d[3] == 4 || d[3] == 8;
}

// TGA has no signature; its header is judged by plausible field values.
bool looks_like_tga(const uint8_t* d, size_t size) {
  if (size < 18) return false;
  const uint8_t cmap_type = d[1], type = d[2], depth = d[16];
  if (cmap_type > 1) return false;
  const bool mapped = type == 1 || type == 9;
  const bool truecolour = type == 2 || type == 10;
  const bool grey = type == 3 || type == 11;
  if (!mapped && !truecolour && !grey) return false;
  if (mapped != (cmap_type == 1)) return false;
  if (mapped && depth != 8) return false;
  if (truecolour && depth != 15 && depth != 16 && depth != 24 && depth != 32) return false;
  if (grey && depth != 8 && depth != 16) return false;
  if (mapped) {
    const uint8_t entry = d[7];
    if (entry != 15 && entry != 16 && entry != 24 && entry != 32) return false;
  }
  return le16(d + 12) != 0 && le16(d + 14) != 0;
}

}  // namespace

FileType guess_file_type(const uint8_t* d, size_t size) {
  if (!d) return FileType::Unknown;
  if (starts_with(d, size, "\x89PNG\r\n\x1a\n", 8)) return FileType::Png;
  if (starts_with(d, size, "\xFF\xD8\xFF", 3)) return FileType::Jpeg;
  // Classic TIFF, and BigTIFF with its 64-bit offsets.
  if (starts_with(d, size, "II*\0", 4) || starts_with(d, size, "MM\0*", 4) || starts_with(d, size, "II+\0", 4) ||
      starts_with(d, size, "MM\0+", 4))
    return FileType::Tiff;
  if (starts_with(d, size, "GIF87a", 6) || starts_with(d, size, "GIF89a", 6)) return FileType::Gif;
  if (starts_with(d, size, "8BPS", 4)) return FileType::Psd;
  if (size >= 16 && std::memcmp(d, "RIFF", 4) == 0 && std::memcmp(d + 8, "WEBPVP8", 7) == 0) return FileType::Webp;
  if (starts_with(d, size, "BM", 2) && size >= 18) return FileType::Bmp;
  if (size >= 44 && le32(d) == 1 && std::memcmp(d + 40, " EMF", 4) == 0) return FileType::Emf;
  if (starts_with(d, size, "\xD7\xCD\xC6\x9A", 4)) return FileType::Wmf;
  if (size >= 18 && (le16(d) == 1 || le16(d) == 2) && le16(d + 2) == 9 &&
      (le16(d + 4) == 0x300 || le16(d + 4) == 0x100))
    return FileType::Wmf;
  if (looks_like_pcx(d, size)) return FileType::Pcx;
  if (looks_like_tga(d, size)) return FileType::Tga;
  return FileType::Unknown;
}

FileType guess_file_type(const char* path) {
  if (!path) return FileType::Unknown;
  std::FILE* f = std::fopen(path, "rb");
  if (!f) return FileType::Unknown;
  uint8_t head[64];
  const size_t n = std::fread(head, 1, sizeof head, f);
  std::fclose(f);
  return guess_file_type(head, n);
}

bool decode_memory(const uint8_t* data, size_t size, Image& out) {
  switch (guess_file_type(data, size)) {
    case FileType::Png: return decode_png(data, size, out);
    case FileType::Jpeg: return decode_jpeg(data, size, out);
    case FileType::Tiff: return decode_tiff(data, size, out);
    case FileType::Gif: return decode_gif(data, size, out);
    case FileType::Bmp: return decode_bmp(data, size, out);
    case FileType::Tga: return decode_tga(data, size, out);
    case FileType::Pcx: return decode_pcx(data, size, out);
    case FileType::Psd: return decode_psd(data, size, out);
    case FileType::Webp: return decode_webp(data, size, out);
    default: return refuse(out);
  }
}

bool read_whole_file(const char* path, std::vector<uint8_t>& bytes, size_t max_bytes) {
  bytes.clear();
  if (!path) return false;
  std::FILE* f = std::fopen(path, "rb");
  if (!f) return false;
  bool ok = std::fseek(f, 0, SEEK_END) == 0;
  const long length = ok ? std::ftell(f) : -1;
  ok = ok && length >= 0 && static_cast<unsigned long>(length) <= max_bytes && std::fseek(f, 0, SEEK_SET) == 0;
  if (ok) {
    bytes.resize(static_cast<size_t>(length));
    ok = std::fread(bytes.data(), 1, bytes.size(), f) == bytes.size();
  }
  std::fclose(f);
  if (!ok) bytes.clear();
  return ok;
}

bool decode_file(const char* path, Image& out) {
  std::vector<uint8_t> bytes;
  if (!read_whole_file(path, bytes)) return refuse(out);
  return decode_memory(bytes.data(), bytes.size(), out);
}

bool probe_memory(const uint8_t* data, size_t size, ImageInfo& info) {
  info = ImageInfo{};
  info.type = guess_file_type(data, size);
  switch (info.type) {
    case FileType::Png: return probe_png(data, size, info);
    case FileType::Jpeg: return probe_jpeg(data, size, info);
    case FileType::Tiff: return probe_tiff(data, size, info);
    case FileType::Bmp: return probe_bmp(data, size, info);
    case FileType::Psd: return probe_psd(data, size, info);
    case FileType::Webp: return probe_webp(data, size, info);
    case FileType::Unknown: return false;
    default: {
      // Formats without a resolution: the size comes from a decode.
      Image image;
      if (!decode_memory(data, size, image)) return false;
      info.width = image.width;
      info.height = image.height;
      return true;
    }
  }
}

bool probe_file(const char* path, ImageInfo& info) {
  std::vector<uint8_t> bytes;
  if (!read_whole_file(path, bytes)) {
    info = ImageInfo{};
    return false;
  }
  return probe_memory(bytes.data(), bytes.size(), info);
}

}  // namespace cvl::imaging
