// Scanning.
#include "corvel/corvel.h"
#include "core/guard.h"
#include "io/scan_import.h"

using namespace cvl;

extern "C" {

CVL_API int32_t CVL_CALL CVL_IsTwain(void) {
  return guarded("IsTwain Excpt", 0, [] { return is_twain(); });
}

CVL_API int32_t CVL_CALL CVL_TwainSelectSource(void) {
  return guarded("TwainSelectSource Excpt", 0, [] { return twain_select_source(); });
}

CVL_API int32_t CVL_CALL CVL_TwainAcquire(void) {
  return guarded("TwainAcquire Excpt", 0, [] { return twain_acquire(); });
}

}  // extern "C"
