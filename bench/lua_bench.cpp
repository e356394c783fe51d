// An invert filter over 1024x1024 pixels through get_rgb/set_rgb: the engine's
// whole run beside a minimal host that registers the same two functions, with
// the same conversions, on the same Lua, and runs the same script file.
#include <benchmark/benchmark.h>
#include <lua.hpp>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "corvel/corvel.h"

namespace {

constexpr int kEdge = 1024;

#ifdef LUAJIT_VERSION
constexpr const char* kLua = LUAJIT_VERSION;
#else
constexpr const char* kLua = LUA_RELEASE;
#endif

const std::string& script_path() {
  static const std::string path = [] {
    const auto p = std::filesystem::temp_directory_path() / "corvel_bench_invert.lua";
    std::ofstream(p) << "for y = 0, height - 1 do\n"
                        "  for x = 0, width - 1 do\n"
                        "    local r, g, b = get_rgb(x, y)\n"
                        "    set_rgb(x, y, 1 - r, 1 - g, 1 - b)\n"
                        "  end\n"
                        "end\n";
    return p.string();
  }();
  return path;
}

void set_rate(benchmark::State& state) {
  state.counters["Mpix/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * kEdge * kEdge / 1e6,
                                                benchmark::Counter::kIsRate);
  state.SetLabel(kLua);
}

void BM_LuaInvert_Engine(benchmark::State& state) {
  CVL_SetRandomSeed(1);
  CVL_CreateImage(nullptr, kEdge, kEdge, 64, 0);
  CVL_CreateLayer(2, kEdge, kEdge);
  CVL_SetLayer(2);
  CVL_Clear(10, 20, 30, 255);
  CVL_IPLAllocSrcBuffer32();
  CVL_IPLAllocDstBuffer32();
  const char* path = script_path().c_str();
  for (auto _ : state) CVL_LuaFilterRun(path, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  set_rate(state);
  CVL_DeleteImage();
}
BENCHMARK(BM_LuaInvert_Engine)->Unit(benchmark::kMillisecond);

// The minimal host: two plain images and the two functions, nothing else.
namespace minimal {

std::vector<uint8_t> src, dst;

int get_rgb(lua_State* L) {
  const int x = static_cast<int>(lua_tonumber(L, 1)), y = static_cast<int>(lua_tonumber(L, 2));
  if (x < 0 || y < 0 || x >= kEdge || y >= kEdge) {
    for (int i = 0; i < 3; ++i) lua_pushnumber(L, 0);
    return 3;
  }
  const uint8_t* p = src.data() + (static_cast<size_t>(y) * kEdge + static_cast<size_t>(x)) * 4;
  for (int i = 0; i < 3; ++i) lua_pushnumber(L, p[i] * 0.00392156862745098);
  return 3;
}

int set_rgb(lua_State* L) {
  const int x = static_cast<int>(lua_tonumber(L, 1)), y = static_cast<int>(lua_tonumber(L, 2));
  if (x < 0 || y < 0 || x >= kEdge || y >= kEdge) return 0;
  uint8_t* p = dst.data() + (static_cast<size_t>(y) * kEdge + static_cast<size_t>(x)) * 4;
  for (int i = 0; i < 3; ++i) {
    const double v = lua_tonumber(L, 3 + i) * 255.0;
    p[i] = !(v > 0.0) ? 0 : (v >= 255.0 ? 255 : static_cast<uint8_t>(static_cast<int>(v)));
  }
  return 0;
}

}  // namespace minimal

void BM_LuaInvert_MinimalHost(benchmark::State& state) {
  minimal::src.assign(size_t{kEdge} * kEdge * 4, 77);
  minimal::dst.assign(minimal::src.size(), 0);
  const char* path = script_path().c_str();
  for (auto _ : state) {
    lua_State* L = luaL_newstate();
    luaL_openlibs(L);
    lua_register(L, "get_rgb", minimal::get_rgb);
    lua_register(L, "set_rgb", minimal::set_rgb);
    lua_pushnumber(L, kEdge);
    lua_setglobal(L, "width");
    lua_pushnumber(L, kEdge);
    lua_setglobal(L, "height");
    if (luaL_loadfile(L, path) != 0 || lua_pcall(L, 0, 1, 0) != 0) state.SkipWithError(lua_tostring(L, -1));
    lua_close(L);
  }
  set_rate(state);
}
BENCHMARK(BM_LuaInvert_MinimalHost)->Unit(benchmark::kMillisecond);

}  // namespace
