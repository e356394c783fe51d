#include "imagescript/imagescript.h"

namespace cvl::imagescript {

bool read_script_header(const char*, int32_t*) { return false; }
ScriptResult render_script(const char*, imaging::Image& out) {
  out = imaging::Image{};
  return ScriptResult::NotAScript;
}
bool run_effect(int32_t, const int32_t*, int32_t, uint8_t*, int32_t, int32_t) { return false; }
bool rotate_in_place(uint8_t*, int32_t, int32_t, int32_t) { return false; }

}  // namespace cvl::imagescript
