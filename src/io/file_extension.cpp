#include "io/file_extension.h"

#include <string>

namespace cvl {

FailureCause extension_refused(const char* ext, const std::vector<const char*>& accepted) {
  std::string list;
  bool known_without_dot = false;
  for (const char* a : accepted) {
    list += list.empty() ? "" : ", ";
    list += a;
    known_without_dot = known_without_dot || (ext && extension_is(ext, a + 1));
  }
  if (!ext || !*ext) return "no extension given (" + list + ")";
  if (known_without_dot)
    return "extension \"" + std::string(ext) + "\" lacks its dot (give \"." + ext + "\")";
  return "unknown extension \"" + std::string(ext) + "\" (" + list + ")";
}

}  // namespace cvl
