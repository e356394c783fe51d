#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/files.h"

namespace cvl::platform {

bool rename_no_replace(const char* from, const char* to) {
  if (!from || !to) return false;
  // rename() would replace `to`; ask the kernel to refuse instead.
  if (renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return false;
  // File systems without that flag: a hard link fails on an existing name, and
  // directories (which cannot be linked) are checked first.
  struct stat st;
  if (lstat(from, &st) != 0) return false;
  if (!S_ISDIR(st.st_mode)) {
    if (link(from, to) != 0) return false;
    return unlink(from) == 0;
  }
  if (lstat(to, &st) == 0 || errno != ENOENT) return false;
  return std::rename(from, to) == 0;
}

// Fonts, icons and the like live here on these systems.
std::string system_directory() { return "/usr/share"; }

}  // namespace cvl::platform
