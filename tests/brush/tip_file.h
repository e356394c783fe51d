// Image files for the brush tests, written with libpng so the tests own their data.
#pragma once

#include <png.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "codecs/codec.h"
#include "imagescript/imagescript.h"

namespace cvl::test {

// An 8-bit grey PNG whose pixel (x, y) is grey(x, y).
inline bool write_grey_png(const std::string& path, int width, int height,
                           const std::function<uint8_t(int, int)>& grey) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
    return false;
  }
  png_init_io(png, f);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, PNG_COLOR_TYPE_GRAY,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  std::vector<uint8_t> row(static_cast<size_t>(width));
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) row[static_cast<size_t>(x)] = grey(x, y);
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return std::fclose(f) == 0;
}

// A file name private to this test process (ctest runs tests side by side).
inline std::string temp_path(const std::string& name) {
  return (std::filesystem::temp_directory_path() / (name + "-" + std::to_string(getpid()) + ".png")).string();
}

// True once the imaging library decodes PNG files; until then file tips cannot be tested.
inline bool png_decoding_works(const std::string& path) {
  imaging::Image img;
  return imaging::decode_file(path.c_str(), img);
}

}  // namespace cvl::test

namespace cvl::test {

// Writes an image-script file; true once the image-script library renders it.
inline bool write_script(const std::string& path, const std::string& text, imaging::Image* rendered = nullptr) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  std::fwrite(text.data(), 1, text.size(), f);
  std::fclose(f);
  imaging::Image img;
  const bool ok = imagescript::render_script(path.c_str(), img) == imagescript::ScriptResult::Ok;
  if (rendered) *rendered = img;
  return ok;
}

}  // namespace cvl::test
