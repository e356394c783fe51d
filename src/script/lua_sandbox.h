// An opt-in sandbox for filters from people the user does not know: no file
// or process access, no native libraries, no debug library, and no
// precompiled chunks (whose loader trusts its input).
#pragma once

#include <lua.hpp>

namespace cvl {

// Strips the opened standard libraries of a state; runs in protected mode.
// Returns 0 or a Lua error status with the message on the stack.
int sandbox_state(lua_State* L);

// luaL_loadfile that refuses a precompiled chunk with a load error.
int sandbox_load_file(lua_State* L, const char* path);

}  // namespace cvl
