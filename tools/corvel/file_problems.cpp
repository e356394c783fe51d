#include "file_problems.h"

#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "arguments.h"
#include "codecs/decode_support.h"
#include "corvel/corvel.h"
#include "stated_size.h"

#ifdef _WIN32
#include <io.h>
#define access _access
#define W_OK 2
#else
#include <unistd.h>
#endif

namespace corvel_tool {

namespace fs = std::filesystem;

namespace {

bool listed(const std::string& ext, const char* extensions) {
  std::istringstream words(extensions);
  for (std::string w; words >> w;)
    if (w == ext) return true;
  return false;
}

}  // namespace

std::string engine_reason() {
  const char* text = CVL_GetLastError();
  const std::string s = text ? text : "";
  const std::string tag = " Excpt";
  if (s.size() >= tag.size() && s.compare(s.size() - tag.size(), tag.size(), tag) == 0) return "";
  return s;
}

std::string unreadable_file(const char* path) {
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (!fs::exists(status)) return "no such file";
  if (fs::is_directory(status)) return "it is a folder, not a file";
  if (!fs::is_regular_file(status)) return "not a regular file";
  std::ifstream in(path, std::ios::binary);
  if (!in) return errno == EACCES ? "permission denied" : std::string("cannot open it: ") + std::strerror(errno);
  if (in.peek() == std::ifstream::traits_type::eof()) return "the file is empty";
  return "";
}

std::string refused_picture(const char* path) {
  const std::string reason = engine_reason();
  const std::string type = CVL_GetFileTypeName(path);
  if (type.empty())
    return "not a picture format the engine reads (it reads BMP, GIF, JPEG, PCX, PNG, PSD, TGA, TIFF, WebP, EMF "
           "and WMF)";
  int64_t w = 0, h = 0;
  if (stated_size(path, type.c_str(), w, h) && !cvl::imaging::acceptable_size(w, h)) {
    std::ostringstream s;
    s << "the picture is too large: its header says " << w << " x " << h << " pixels; the engine reads up to "
      << cvl::imaging::kMaxDecodeEdge << " pixels a side and " << cvl::imaging::kMaxDecodePixels << " pixels in all";
    return s.str();
  }
  return "a damaged or cut-short " + type + " file" + (reason.empty() ? "" : " (" + reason + ")");
}

std::string unwritable_file(const char* path, const char* extensions) {
  const fs::path p(path);
  const std::string ext = lower_case(p.extension().string());
  if (!listed(ext, extensions))
    return (ext.empty() ? std::string("the name has no extension") : "unknown extension \"" + ext + "\"") +
           "; the name must end in one of " + extensions;
  std::error_code ec;
  const fs::path folder = p.has_parent_path() ? p.parent_path() : fs::path(".");
  const fs::file_status status = fs::status(folder, ec);
  if (!fs::exists(status)) return "no such folder " + folder.string();
  if (!fs::is_directory(status)) return folder.string() + " is not a folder";
  if (fs::is_directory(p, ec)) return "it is a folder";
  const bool exists = fs::exists(p, ec);
  if (access(exists ? path : folder.string().c_str(), W_OK) != 0)
    return exists ? "permission denied" : "permission denied: cannot make files in " + folder.string();
  return "";
}

}  // namespace corvel_tool
