// Movie recording.
#include "corvel/corvel.h"
#include "core/engine.h"
#include "core/guard.h"
#include "io/movie.h"

using namespace cvl;

extern "C" {

CVL_API void* CVL_CALL CVL_CreateAVI(const char* path, int32_t frame_period) {
  return guarded("CreateAVI Excpt", static_cast<void*>(nullptr),
                 [&]() -> void* { return create_avi(path, frame_period); });
}

CVL_API int32_t CVL_CALL CVL_WriteAVI(const char* bitmap_path) {
  return guarded("WriteAVI Excpt", 0, [&] { return write_avi(engine(), bitmap_path); });
}

CVL_API int32_t CVL_CALL CVL_CloseAVI(void) {
  // 0 whatever happens: a movie that could not be completed is told by the last-error text.
  guarded("CloseAVI Excpt", [] { report_failure("CloseAVI", close_avi()); });
  return 0;
}

}  // extern "C"
