// File commands: everything goes through the engine's own reading and writing calls.
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "arguments.h"
#include "commands.h"
#include "corvel/corvel.h"
#include "file_problems.h"

namespace corvel_tool {

const char* const kWritableExtensions = ".png .jpg .bmp .gif .tif .tga .pcx .psd .emf .wmf .webp";

namespace {

// TGA and TIFF are written with alpha only; PNG and WebP keep it when the image has any.
bool write_with_alpha(const std::string& ext, bool transparent) {
  const std::string e = lower_case(ext);
  return e == ".tga" || e == ".tif" || ((e == ".png" || e == ".webp") && transparent);
}

}  // namespace

bool read_into_engine(const char* path) {
  std::string why = unreadable_file(path);
  if (why.empty()) {
    CVL_SetLastError("");
    if (CVL_ReadFromFile(path)) return true;
    why = refused_picture(path);
  }
  std::fprintf(stderr, "corvel: cannot read %s: %s\n", path, why.c_str());
  return false;
}

bool writable(const char* path, const char* extensions) {
  const std::string why = unwritable_file(path, extensions);
  if (why.empty()) return true;
  std::fprintf(stderr, "corvel: cannot write %s: %s\n", path, why.c_str());
  return false;
}

bool write_rgba(const uint8_t* rgba, int32_t w, int32_t h, bool transparent, const char* out_path, int32_t dpi) {
  if (!writable(out_path, kWritableExtensions)) return false;
  const std::string ext = std::filesystem::path(out_path).extension().string();
  CVL_SetLastError("");
  int32_t written = 0;
  if (write_with_alpha(ext, transparent)) {
    written = CVL_WriteToFileRGBA32(rgba, w, h, out_path, ext.c_str(), dpi);
  } else {
    std::vector<uint8_t> rgb(size_t(w) * size_t(h) * 3);
    for (size_t i = 0, n = size_t(w) * size_t(h); i < n; ++i)
      for (size_t c = 0; c < 3; ++c) rgb[i * 3 + c] = rgba[i * 4 + c];
    written = CVL_WriteToFileRGB24(rgb.data(), w, h, out_path, ext.c_str(), dpi);
  }
  if (!written) {
    const std::string reason = engine_reason();
    std::fprintf(stderr, "corvel: cannot write %s: %s\n", out_path,
                 reason.empty() ? "the engine's writer failed" : reason.c_str());
  }
  return written != 0;
}

bool read_picture(const char* path, Picture& out) {
  if (!read_into_engine(path)) return false;
  out.width = CVL_GetNewRGBAWidth();
  out.height = CVL_GetNewRGBAHeight();
  out.dpi = CVL_GetDPIFromFile(path);
  out.transparent = CVL_IsNewRGBA32Transparent() != 0;
  out.rgba.resize(size_t(out.width) * size_t(out.height) * 4);
  CVL_GetNewRGBA32(out.rgba.data());
  CVL_DeleteNewRGBA();
  return true;
}

int run_convert(const char* in_path, const char* out_path) {
  Picture p;
  if (!read_picture(in_path, p)) return 1;
  if (!write_rgba(p.rgba.data(), p.width, p.height, p.transparent, out_path, p.dpi)) return 1;
  std::printf("%s (%d x %d, %s, %d dpi) -> %s\n", in_path, p.width, p.height, CVL_GetFileTypeName(in_path), p.dpi,
              out_path);
  return 0;
}

int run_info(const char* path) {
  if (!read_into_engine(path)) return 1;
  std::printf("%s: %s, %d x %d pixels, %d dpi, %s\n", path, CVL_GetFileTypeName(path), CVL_GetNewRGBAWidth(),
              CVL_GetNewRGBAHeight(), CVL_GetDPIFromFile(path),
              CVL_IsNewRGBA32Transparent() ? "with transparency" : "opaque");
  std::printf("%s: orientation %d applied\n", path, CVL_GetFileOrientation(path));
  CVL_DeleteNewRGBA();
  return 0;
}

}  // namespace corvel_tool
