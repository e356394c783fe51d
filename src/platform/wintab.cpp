// The pen-tablet library, loaded at run time by its name (a build setting);
// CORVEL_WINTAB, a path, overrides it.
#include "platform/wintab.h"

#include <cstdlib>

#include "platform/shared_library.h"

#ifdef _WIN32
// The interface's functions use the system calling convention.
#define CORVEL_WT_CALL __stdcall
#ifndef CORVEL_WINTAB_LIBRARY
#define CORVEL_WINTAB_LIBRARY "Wintab32.dll"
#endif
#else
#define CORVEL_WT_CALL
#ifndef CORVEL_WINTAB_LIBRARY
#define CORVEL_WINTAB_LIBRARY "libwintab32.so"
#endif
#endif

namespace cvl::platform {
namespace {

using InfoFn = uint32_t(CORVEL_WT_CALL*)(uint32_t, uint32_t, void*);
using OpenFn = WtContext(CORVEL_WT_CALL*)(void*, WtLogContext*, int32_t);
using PacketsGetFn = int32_t(CORVEL_WT_CALL*)(WtContext, int32_t, void*);
using QueueSizeSetFn = int32_t(CORVEL_WT_CALL*)(WtContext, int32_t);
using CloseFn = int32_t(CORVEL_WT_CALL*)(WtContext);

struct Binding {
  void* library = nullptr;
  InfoFn info = nullptr;
  OpenFn open = nullptr;
  PacketsGetFn packets_get = nullptr;
  QueueSizeSetFn queue_size_set = nullptr;
  CloseFn close = nullptr;
};

Binding g_wintab;

void* library() {
  if (!g_wintab.library) {
    const char* path = std::getenv("CORVEL_WINTAB");
    if (!path || !*path) path = CORVEL_WINTAB_LIBRARY;
    g_wintab.library = library_open(path);
  }
  return g_wintab.library;
}

// Binds `slot` to the library's function `name` unless it is bound already.
template <class Fn>
Fn bind(Fn& slot, const char* name) {
  if (!slot) {
    if (void* lib = library()) slot = reinterpret_cast<Fn>(library_function(lib, name));
  }
  return slot;
}

}  // namespace

uint32_t wt_info(uint32_t category, uint32_t index, void* output) {
  auto fn = bind(g_wintab.info, "WTInfoA");
  return fn ? fn(category, index, output) : 0;
}

WtContext wt_open(void* window, WtLogContext* context, int32_t enable) {
  auto fn = bind(g_wintab.open, "WTOpenA");
  return fn ? fn(window, context, enable) : nullptr;
}

int32_t wt_packets_get(WtContext context, int32_t max_packets, void* packets) {
  auto fn = bind(g_wintab.packets_get, "WTPacketsGet");
  return fn ? fn(context, max_packets, packets) : 0;
}

int32_t wt_queue_size_set(WtContext context, int32_t packets) {
  auto fn = bind(g_wintab.queue_size_set, "WTQueueSizeSet");
  return fn ? fn(context, packets) : 0;
}

int32_t wt_close(WtContext context) {
  auto fn = bind(g_wintab.close, "WTClose");
  return fn ? fn(context) : 0;
}

void wt_unload() {
  if (g_wintab.library) library_close(g_wintab.library);
  g_wintab = Binding{};
}

}  // namespace cvl::platform
