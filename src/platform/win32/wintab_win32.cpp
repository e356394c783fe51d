// The pen-tablet library, loaded at run time by its name (a build setting,
// "Wintab32.dll"); CORVEL_WINTAB, a path, overrides it.
#include <windows.h>

#include <cstdlib>

#include "platform/wintab.h"

#ifndef CORVEL_WINTAB_LIBRARY
#define CORVEL_WINTAB_LIBRARY "Wintab32.dll"
#endif

namespace cvl::platform {
namespace {

// The interface's functions use the system calling convention.
using InfoFn = UINT(WINAPI*)(UINT, UINT, LPVOID);
using OpenFn = HANDLE(WINAPI*)(HWND, WtLogContext*, BOOL);
using PacketsGetFn = int(WINAPI*)(HANDLE, int, LPVOID);
using QueueSizeSetFn = BOOL(WINAPI*)(HANDLE, int);
using CloseFn = BOOL(WINAPI*)(HANDLE);

struct Binding {
  HMODULE library = nullptr;
  InfoFn info = nullptr;
  OpenFn open = nullptr;
  PacketsGetFn packets_get = nullptr;
  QueueSizeSetFn queue_size_set = nullptr;
  CloseFn close = nullptr;
};

Binding g_wintab;

HMODULE library() {
  if (!g_wintab.library) {
    const char* path = std::getenv("CORVEL_WINTAB");
    if (!path || !*path) path = CORVEL_WINTAB_LIBRARY;
    QuietLibraryErrors quiet;
    g_wintab.library = LoadLibraryA(path);
  }
  return g_wintab.library;
}

template <class Fn>
Fn bind(Fn& slot, const char* name) {
  if (!slot) {
    if (HMODULE lib = library()) slot = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(lib, name)));
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
  return fn ? fn(static_cast<HWND>(window), context, enable) : nullptr;
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
  if (g_wintab.library) FreeLibrary(g_wintab.library);
  g_wintab = Binding{};
}

QuietLibraryErrors::QuietLibraryErrors() : previous_(SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX)) {}
QuietLibraryErrors::~QuietLibraryErrors() { SetErrorMode(previous_); }

}  // namespace cvl::platform
