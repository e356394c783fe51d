// File commands: everything goes through the engine's own reading and writing calls.
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "commands.h"
#include "corvel/corvel.h"

namespace corvel_tool {

namespace {

const char* kWritable = ".png .jpg .bmp .gif .tif .tga .pcx .psd .emf .wmf";

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

// TGA and TIFF are written with alpha only; PNG keeps it when the image has any.
bool write_with_alpha(const std::string& ext) {
  const std::string e = lower(ext);
  return e == ".tga" || e == ".tif" || (e == ".png" && CVL_IsNewRGBA32Transparent());
}

bool read_into_engine(const char* path) {
  if (CVL_ReadFromFile(path)) return true;
  std::fprintf(stderr, "corvel: cannot read %s (missing, damaged or not an image the engine reads)\n", path);
  return false;
}

}  // namespace

int run_convert(const char* in_path, const char* out_path) {
  if (!read_into_engine(in_path)) return 1;
  const int32_t w = CVL_GetNewRGBAWidth(), h = CVL_GetNewRGBAHeight();
  const int32_t dpi = CVL_GetDPIFromFile(in_path);
  const std::string ext = std::filesystem::path(out_path).extension().string();
  std::vector<uint8_t> pixels;
  int32_t written = 0;
  if (write_with_alpha(ext)) {
    pixels.resize(size_t(w) * size_t(h) * 4);
    CVL_GetNewRGBA32(pixels.data());
    written = CVL_WriteToFileRGBA32(pixels.data(), w, h, out_path, ext.c_str(), dpi);
  } else {
    pixels.resize(size_t(w) * size_t(h) * 3);
    CVL_GetNewRGBA24(pixels.data());
    written = CVL_WriteToFileRGB24(pixels.data(), w, h, out_path, ext.c_str(), dpi);
  }
  CVL_DeleteNewRGBA();
  if (!written) {
    std::fprintf(stderr, "corvel: cannot write %s (the name must end in one of %s)\n", out_path, kWritable);
    return 1;
  }
  std::printf("%s (%d x %d, %s, %d dpi) -> %s\n", in_path, w, h, CVL_GetFileTypeName(in_path), dpi, out_path);
  return 0;
}

int run_info(const char* path) {
  if (!read_into_engine(path)) return 1;
  std::printf("%s: %s, %d x %d pixels, %d dpi, %s\n", path, CVL_GetFileTypeName(path), CVL_GetNewRGBAWidth(),
              CVL_GetNewRGBAHeight(), CVL_GetDPIFromFile(path),
              CVL_IsNewRGBA32Transparent() ? "with transparency" : "opaque");
  CVL_DeleteNewRGBA();
  return 0;
}

}  // namespace corvel_tool
