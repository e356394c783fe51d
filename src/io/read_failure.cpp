#include "io/read_failure.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "codecs/codec.h"
#include "codecs/decode_support.h"
#include "io/image_read.h"

namespace cvl {
namespace {

// The size the file's header claims. The PNG probe refuses sizes past the decode
// limits before it reports them, so PNG's fixed header is read here.
bool claimed_size(const char* path, imaging::ImageInfo& info) {
  if (imaging::probe_file(path, info)) return true;
  uint8_t head[24];
  std::FILE* f = std::fopen(path, "rb");
  if (!f) return false;
  const bool whole = std::fread(head, 1, sizeof head, f) == sizeof head;
  std::fclose(f);
  if (!whole || imaging::guess_file_type(head, sizeof head) != imaging::FileType::Png ||
      std::memcmp(head + 12, "IHDR", 4) != 0)
    return false;
  const auto be32 = [&](int at) {
    return int64_t(head[at]) << 24 | int64_t(head[at + 1]) << 16 | int64_t(head[at + 2]) << 8 | head[at + 3];
  };
  info.width = int32_t(std::min<int64_t>(be32(16), INT32_MAX));
  info.height = int32_t(std::min<int64_t>(be32(20), INT32_MAX));
  return true;
}

}  // namespace

FailureCause read_failure(const char* path) {
  if (!path || !*path) return "no file name given";
  namespace fs = std::filesystem;
  const std::string name(path);
  std::error_code ec;
  const fs::file_status status = fs::status(fs::path(name), ec);
  if (ec) return "cannot read " + name + ": " + ec.message();
  if (fs::is_directory(status)) return name + " is a folder, not a file";
  if (!fs::is_regular_file(status)) return name + " is not a regular file";
  std::FILE* f = std::fopen(path, "rb");
  if (!f) return "cannot read " + name + os_reason(errno);
  std::fclose(f);
  if (fs::file_size(fs::path(name), ec) == 0 && !ec) return name + " is empty";
  const std::string type = file_type_name(path);
  if (type.empty()) return name + " is not a picture the engine reads";
  imaging::ImageInfo info;
  if (claimed_size(path, info) && !imaging::acceptable_size(info.width, info.height))
    return name + " is too large (" + std::to_string(info.width) + " x " + std::to_string(info.height) +
           " pixels; the engine reads up to " + std::to_string(imaging::kMaxDecodeEdge) + " a side and " +
           std::to_string(imaging::kMaxDecodePixels) + " pixels)";
  if (type == "EMF" || type == "WMF") return name + " is a metafile (" + type + "), not a raster picture";
  return name + " is damaged (" + type + " content the engine cannot decode)";
}

}  // namespace cvl
