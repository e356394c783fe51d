// The tablet library is any shared object exporting the interface's functions by
// their names. Its name is a build setting; CORVEL_WINTAB, a path, overrides it.
#include <dlfcn.h>

#include <cstdlib>

#include "platform/wintab.h"

#ifndef CORVEL_WINTAB_LIBRARY
#define CORVEL_WINTAB_LIBRARY "libwintab32.so"
#endif

namespace cvl::platform {
namespace {

using InfoFn = uint32_t (*)(uint32_t, uint32_t, void*);
using OpenFn = WtContext (*)(void*, WtLogContext*, int32_t);
using PacketsGetFn = int32_t (*)(WtContext, int32_t, void*);
using QueueSizeSetFn = int32_t (*)(WtContext, int32_t);
using CloseFn = int32_t (*)(WtContext);

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
    g_wintab.library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
  }
  return g_wintab.library;
}

// Binds `slot` to the library's function `name` unless it is bound already.
template <class Fn>
Fn bind(Fn& slot, const char* name) {
  if (!slot) {
    if (void* lib = library()) slot = reinterpret_cast<Fn>(dlsym(lib, name));
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
  if (g_wintab.library) dlclose(g_wintab.library);
  g_wintab = Binding{};
}

// No system dialogs appear when a shared object is missing.
QuietLibraryErrors::QuietLibraryErrors() = default;
QuietLibraryErrors::~QuietLibraryErrors() = default;

}  // namespace cvl::platform
