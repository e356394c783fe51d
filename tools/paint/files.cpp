#include "files.h"

#include <cctype>
#include <filesystem>
#include <system_error>

#include "corvel/corvel.h"

namespace corvel_paint {

bool read_picture(const std::string& path, int& width, int& height) {
  if (!CVL_ReadFromFile(path.c_str())) return false;
  width = CVL_GetNewRGBAWidth();
  height = CVL_GetNewRGBAHeight();
  return width > 0 && height > 0;
}

void place_picture() {
  CVL_SetInNewRGBA();
  CVL_DeleteNewRGBA();
}

bool save_picture(const std::string& path) {
  namespace fs = std::filesystem;
  std::string ext = fs::path(path).extension().string();
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  // The page savers report nothing, so success is a fresh, non-empty file.
  std::error_code ec;
  fs::remove(path, ec);
  if (ext == ".tiff") ext = ".tif";
  if (ext == ".tga" || ext == ".tif")
    CVL_SavePageToFileRGB32(path.c_str(), ext.c_str(), 72);
  else
    CVL_SavePageToFileRGB24(path.c_str(), ext.c_str(), 72);
  return fs::exists(path, ec) && fs::file_size(path, ec) > 0;
}

}  // namespace corvel_paint
