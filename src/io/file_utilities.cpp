#include "io/file_utilities.h"

#include <cstring>
#include <string>

#include "platform/files.h"

namespace cvl {
namespace {
char g_dir_info[264];
constexpr size_t kDirInfoLimit = 260;
}  // namespace

int32_t rename_file(const char* old_path, const char* new_path) {
  return platform::rename_no_replace(old_path, new_path) ? 1 : 0;
}

const char* dir_info() {
  const std::string dir = platform::system_directory();
  // A directory that does not fit leaves the buffer empty, as the system call does.
  std::memset(g_dir_info, 0, sizeof g_dir_info);
  if (dir.size() < kDirInfoLimit) std::memcpy(g_dir_info, dir.c_str(), dir.size());
  return g_dir_info;
}

}  // namespace cvl
