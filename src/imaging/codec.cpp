#include "imaging/codec.h"

namespace cvl::imaging {

FileType guess_file_type(const uint8_t*, size_t) { return FileType::Unknown; }
FileType guess_file_type(const char*) { return FileType::Unknown; }
bool decode_memory(const uint8_t*, size_t, Image& out) {
  out = Image{};
  return false;
}
bool decode_file(const char*, Image& out) {
  out = Image{};
  return false;
}

}  // namespace cvl::imaging
