#include "corvel/corvel.h"
#include "core/engine.h"
#include "core/guard.h"
#include "core/tool_settings.h"
#include "effects/inhouse_effects.h"

using namespace cvl;

extern "C" {

CVL_API int32_t CVL_CALL CVL_IPLPhotoPop(int32_t amount, double saturation, int32_t flag) {
  return guarded("IPLPhotoPop Excpt", 0, [&] { return photo_pop(engine(), tool(), amount, saturation, flag); });
}

}  // extern "C"
