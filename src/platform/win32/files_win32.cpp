#include <windows.h>

#include "platform/files.h"

namespace cvl::platform {

// MoveFileA refuses an existing target, as the engine promises.
bool rename_no_replace(const char* from, const char* to) {
  if (!from || !to) return false;
  return MoveFileA(from, to) != 0;
}

std::string system_directory() {
  char path[MAX_PATH + 4] = {};
  const UINT n = GetWindowsDirectoryA(path, MAX_PATH);
  return n > 0 && n < MAX_PATH ? std::string(path, n) : std::string();
}

}  // namespace cvl::platform
