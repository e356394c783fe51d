// File utilities.
#include "corvel/corvel.h"
#include "core/guard.h"
#include "io/file_utilities.h"

using namespace cvl;

extern "C" {

CVL_API int32_t CVL_CALL CVL_RenameFile(const char* old_path, const char* new_path) {
  return guarded("RenameFile Excpt", 0, [&] { return rename_file(old_path, new_path); });
}

CVL_API const char* CVL_CALL CVL_GetDirInfo(void) {
  return guarded("GetDirInfo Excpt", static_cast<const char*>(nullptr), [] { return dir_info(); });
}

}  // extern "C"
