// The canvas mask as fractions, and 32-bit integer bit arithmetic for scripts
// (Lua 5.1 numbers are doubles and have no bit operators of their own).
#include "core/engine.h"
#include "script/lua_functions.h"

namespace cvl::luafn {
namespace {

// The mask word under the pixel at arguments 1 and 2, or null outside the
// canvas or while the canvas has no mask.
uint16_t* mask_word(lua_State* L) {
  const int32_t x = arg_int(L, 1), y = arg_int(L, 2);
  const FilterImages& f = run_images(L);
  Engine& e = *f.canvas;
  if (!e.mask || !inside_canvas(f, x, y)) return nullptr;
  return e.mask.get() + static_cast<size_t>(x) + static_cast<size_t>(y) * static_cast<size_t>(e.canvas_width);
}

int32_t operand(lua_State* L, int idx) { return low32_of_trunc(lua_tonumber(L, idx)); }

int push_int(lua_State* L, int32_t v) {
  lua_pushnumber(L, v);
  return 1;
}

}  // namespace

int get_mask(lua_State* L) {
  const uint16_t* w = mask_word(L);
  lua_pushnumber(L, w ? *w * 0.000015259021896696422 : 0.0);
  return 1;
}

int set_mask(lua_State* L) {
  uint16_t* w = mask_word(L);
  // No clamping: the low 16 bits of the truncated product, as stored masks expect.
  if (w) *w = static_cast<uint16_t>(low32_of_trunc(arg_num(L, 3) * 65535.0));
  return 0;
}

int bit_not(lua_State* L) { return push_int(L, ~operand(L, 1)); }
int bit_and(lua_State* L) { return push_int(L, operand(L, 1) & operand(L, 2)); }
int bit_or(lua_State* L) { return push_int(L, operand(L, 1) | operand(L, 2)); }
int bit_xor(lua_State* L) { return push_int(L, operand(L, 1) ^ operand(L, 2)); }
// >> on a negative value sign-extends; << goes through unsigned so bits
// shifted out of a negative value are simply lost.
int bit_shfr(lua_State* L) { return push_int(L, operand(L, 1) >> (operand(L, 2) & 31)); }
int bit_shfl(lua_State* L) {
  return push_int(L, static_cast<int32_t>(static_cast<uint32_t>(operand(L, 1)) << (operand(L, 2) & 31)));
}

}  // namespace cvl::luafn
