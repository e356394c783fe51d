// Named image effects.
#include "corvel/corvel.h"
#include "core/engine.h"
#include "core/guard.h"
#include "core/tool_settings.h"
#include "effects/effect_dispatch.h"
#include "effects/effect_docs.h"
#include "effects/effect_table.h"

using namespace cvl;

extern "C" {

CVL_API int32_t CVL_CALL CVL_IPLImageProcess(int32_t, const char* effect, int32_t i1, int32_t s1, int32_t s2,
                                             int32_t s3, int32_t s4, int32_t s5, int32_t s6, int32_t option,
                                             int32_t i2, int32_t f1, int32_t f2, int32_t f3, int32_t f4, int32_t f5,
                                             int32_t f6, int32_t r, int32_t g, int32_t b, const char* text) {
  const EffectRequest request{effect, i1, {s1, s2, s3, s4, s5, s6}, option, i2, {f1, f2, f3, f4, f5, f6},
                              r,      g,  b,  text};
  return guarded("IPLImageProc Excpt", 0, [&] {
    FailureCause why;
    const int32_t result = image_process(engine(), tool(), request, why);
    report_failure("IPLImageProcess", why);
    return result;
  });
}

CVL_API const char* CVL_CALL CVL_IPLEffectInfo(int32_t index, const char** frame, const char** reads) {
  const auto rows = effect_rows();
  if (index < 0 || static_cast<size_t>(index) >= rows.size()) return nullptr;
  const EffectRow& row = rows[static_cast<size_t>(index)];
  if (frame) *frame = frame_name(row.frame);
  if (reads) *reads = row.reads;
  return row.name;
}

CVL_API const char* CVL_CALL CVL_IPLEffectDescription(int32_t index, const char** frame_description_out) {
  const auto rows = effect_rows();
  if (index < 0 || static_cast<size_t>(index) >= rows.size()) return nullptr;
  const EffectRow& row = rows[static_cast<size_t>(index)];
  if (frame_description_out) *frame_description_out = frame_description(row.frame);
  return guarded("IPLEffectDescription Excpt", static_cast<const char*>(nullptr), [&] {
    const EffectDoc* doc = effect_doc(row);
    return doc ? doc->description : nullptr;
  });
}

CVL_API const char* CVL_CALL CVL_IPLEffectArgumentInfo(int32_t index, int32_t k, const char** name,
                                                       const char** unit, double* min, double* max, double* def,
                                                       const char** meaning) {
  const auto rows = effect_rows();
  if (index < 0 || static_cast<size_t>(index) >= rows.size() || k < 0) return nullptr;
  return guarded("IPLEffectArgumentInfo Excpt", static_cast<const char*>(nullptr), [&]() -> const char* {
    const EffectDoc* doc = effect_doc(rows[static_cast<size_t>(index)]);
    if (!doc || static_cast<size_t>(k) >= doc->args.size()) return nullptr;
    const ArgDoc& a = doc->args[static_cast<size_t>(k)];
    if (name) *name = a.name;
    if (unit) *unit = a.unit;
    if (min) *min = a.min;
    if (max) *max = a.max;
    if (def) *def = a.def;
    if (meaning) *meaning = a.meaning;
    return a.arg;
  });
}

}  // extern "C"
