// Lua filter scripts.
#include "corvel/corvel.h"
#include "core/guard.h"
#include "script/lua_filter.h"

using namespace cvl;

extern "C" {

CVL_API void CVL_CALL CVL_LuaFilterRun(const char* script_path, int32_t slider1, int32_t slider2, int32_t slider3,
                                       int32_t slider4, int32_t slider5, int32_t slider6, int32_t style1,
                                       int32_t style2, int32_t flag1, int32_t flag2, int32_t flag3, int32_t flag4,
                                       int32_t flag5, int32_t flag6) {
  const LuaFilterParams params{script_path,
                               {slider1, slider2, slider3, slider4, slider5, slider6},
                               {style1, style2},
                               {flag1, flag2, flag3, flag4, flag5, flag6}};
  guarded("LuaFilterRun Excpt", [&] { lua_filter_run(engine(), tool(), params); });
}

CVL_API void CVL_CALL CVL_SetLuaSandbox(int32_t on) { lua_filter_set_sandbox((on & 0xFF) != 0); }

}  // extern "C"
