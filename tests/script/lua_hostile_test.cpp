// Scripts that misbehave: the host must come through every one of them (these
// also run under the sanitizers).
#include "script/lua_fixture.h"

namespace cvl::test {
namespace {

class LuaHostile : public LuaFilterFixture {};

TEST_F(LuaHostile, MisbehavingScriptsEndInAnErrorBoxOrNothing) {
  const char* scripts[] = {
      // Coordinates far outside the canvas, of every kind.
      "for _, v in ipairs({-1, 1e10, -1e10, 2^31, -2^31, 2^53, 1/0, -1/0, 0/0, width, height}) do "
      "  for _, f in ipairs({get_value, get_rgb, get_alpha, get_rgba, get_hsv, get_hsl, get_lab, get_cmyk, get_mask}) "
      "do f(v, 0) f(0, v) f(v, v) end "
      "  set_value(v, v, 1) set_rgb(v, 0, 1, 1, 1) set_rgba(0, v, 1, 1, 1, 1) set_alpha(v, 0, 1) set_hsv(v, 0, 1, 1, 1) "
      "  set_hsl(0, v, 1, 1, 1) set_lab(v, v, 1, 1, 1) set_cmyk(v, 0, 1, 1, 1, 1) set_mask(v, v, 1) "
      "end",
      // Arguments of the wrong type or missing altogether.
      "local bad = {nil, true, {}, print, 'x', coroutine.create(print)} "
      "for i = 1, 6 do local v = bad[i] "
      "  get_rgb(v, v) set_rgba(v, v, v, v, v, v) set_hsv(0, 0, v, v, v) set_lab(0, 0, v, v, v) set_cmyk(0, 0, v, v, v, v) "
      "  bit_and(v, v) bit_shfl(v, v) merge(v, v) single_buffer(v) message_box(v, v) output_debug_string(v) "
      "  pcall(paint_dab, v, v, v) pcall(paint_open, v) "
      "end",
      // Huge values into the conversions.
      "set_hsv(0, 0, 1e308, -1e308, 0/0) set_hsl(0, 0, 0/0, 0/0, 0/0) set_lab(0, 0, 1e308, -1e308, 0/0) "
      "set_cmyk(0, 0, 1e308, -1e308, 0/0, 1e308) set_mask(0, 0, 1e308) merge(1e308, 0/0) merge(-2^31, 1/0)",
      // Errors of every shape.
      "error()",
      "error(nil)",
      "error(setmetatable({}, {__tostring = function() return 'x' end}))",
      "local function f() return f() + 1 end f()",
      "local t = {} for i = 1, 1e6 do t[i] = string.rep('x', 100) end error('big')",
      "coroutine.wrap(function() flush() error('inside a coroutine') end)()",
      "setmetatable(_G, {__index = function() error('no such global') end}) undefined_name()",
      // The recorder with hostile values.
      "paint_open(string.rep('s', 100000)) paint_filter(string.rep('\\0', 10), 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, "
      "14, 15, 16, 17, 18, 19, 20) paint_close() paint_close()",
  };
  for (const char* script : scripts) {
    boxes.clear();
    run(script);
    EXPECT_LE(boxes.size(), 40u) << script;
    SetUp();
  }
}

}  // namespace
}  // namespace cvl::test
