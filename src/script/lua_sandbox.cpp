#include "script/lua_sandbox.h"

#include <cstdio>
#include <cstring>

namespace cvl {
namespace {

// Runs over the opened libraries. `load` and `loadstring` stay for scripts
// that build code from text, but refuse bytecode. `package.loaded` keeps the
// removed libraries reachable otherwise, and `package.preload` holds loaders of
// native modules on some interpreters.
constexpr const char* kStrip = R"lua(
local loadstring, byte, concat, pairs = loadstring, string.byte, table.concat, pairs
io, debug, package.loaded.io, package.loaded.debug = nil, nil, nil, nil
os.execute, os.remove, os.rename, os.exit, os.tmpname = nil, nil, nil, nil, nil
package.loadlib, package.cpath, package.path = nil, "", ""
for k in pairs(package.preload) do package.preload[k] = nil end
for k in pairs(package.loaders) do package.loaders[k] = nil end
require, dofile, loadfile = nil, nil, nil
local function text_only(s, name)
  if type(s) == "string" and byte(s, 1) == 27 then return nil, "binary chunks are not allowed" end
  return loadstring(s, name)
end
_G.loadstring = text_only
_G.load = function(reader, name)
  local parts = {}
  while true do
    local piece = reader()
    if piece == nil or piece == "" then break end
    parts[#parts + 1] = piece
  end
  return text_only(concat(parts), name)
end
)lua";

// True when the file holds a precompiled chunk, looked at the way the file
// loader does: after an optional first line starting with '#'.
bool is_precompiled(const char* path) {
  std::FILE* f = std::fopen(path, "rb");
  if (!f) return false;  // the loader reports the missing file itself
  int c = std::fgetc(f);
  if (c == '#') {
    while (c != EOF && c != '\n') c = std::fgetc(f);
    if (c == '\n') c = std::fgetc(f);
  }
  std::fclose(f);
  return c == 27;
}

}  // namespace

int sandbox_state(lua_State* L) {
  const int status = luaL_loadbuffer(L, kStrip, std::strlen(kStrip), "=sandbox");
  if (status != 0) return status;
  return lua_pcall(L, 0, 0, 0);
}

int sandbox_load_file(lua_State* L, const char* path) {
  if (is_precompiled(path)) {
    lua_pushfstring(L, "%s: precompiled chunks are not allowed", path);
    return LUA_ERRSYNTAX;
  }
  return luaL_loadfile(L, path);
}

}  // namespace cvl
