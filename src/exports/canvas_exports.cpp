// Canvas lifecycle, engine state and host utilities.
#include <cstdlib>
#include <cstring>
#include <string>

#include "corvel/corvel.h"
#include "canvas/canvas.h"
#include "core/engine.h"
#include "core/last_error.h"
#include "core/rand.h"
#include "core/guard.h"
#include "imaging/parallel_bands.h"
#include "platform/system.h"
#include "platform/window_paint.h"
#include "undo/undo_store.h"

using namespace cvl;

namespace {
int32_t mib(uint64_t bytes) { return static_cast<int32_t>(bytes >> 20); }
}  // namespace

extern "C" {

CVL_API void CVL_CALL CVL_CreateImage(void* owner, int32_t width, int32_t height, int32_t brush_capacity,
                                      int32_t reserved) {
  guarded("CreateImage Excpt", [&] { create_image(engine(), owner, width, height, brush_capacity, reserved); });
}

CVL_API void CVL_CALL CVL_NewSize(void* owner, int32_t width, int32_t height, int32_t brush_capacity,
                                  int32_t reserved) {
  guarded("NewSize Excpt", [&] { new_size(engine(), owner, width, height, brush_capacity, reserved); });
}

CVL_API void CVL_CALL CVL_DeleteImage(void) {
  guarded("DeleteImage Excpt", [] { delete_image(engine()); });
}

CVL_API void CVL_CALL CVL_SetLastError(const char* text) { set_last_error(text); }

CVL_API const char* CVL_CALL CVL_GetLastError(void) { return last_error(); }

#define CORVEL_TEXT(x) #x
#define CORVEL_NUMBER(x) CORVEL_TEXT(x)
CVL_API const char* CVL_CALL CVL_GetVersion(void) {
  return CORVEL_NUMBER(CORVEL_VERSION_MAJOR) "." CORVEL_NUMBER(CORVEL_VERSION_MINOR) "." CORVEL_NUMBER(
      CORVEL_VERSION_PATCH);
}

CVL_API void CVL_CALL CVL_SetThreadCount(int32_t count) {
  guarded("SetThreadCount Excpt", [&] {
    if (count >= 0) return imaging::set_thread_count(count);
    report_failure("SetThreadCount", "the count " + std::to_string(count) +
                                         " is negative (0 asks for one per hardware thread, 1 for the calling thread alone)");
  });
}

CVL_API int32_t CVL_CALL CVL_GetThreadCount(void) { return imaging::thread_count(); }

CVL_API int32_t CVL_CALL CVL_IsDisplayChanged(void) {
  Engine& e = engine();
  if (!e.display_changed) return 0;
  e.display_changed = 0;
  return 1;
}

CVL_API void CVL_CALL CVL_NotifyDisplayChanged(void) { engine().display_changed = 1; }

CVL_API void CVL_CALL CVL_SetRandomSeed(int32_t seed) {
  engine().random_seed = seed;
  crt_srand(static_cast<uint32_t>(seed));
}

CVL_API void CVL_CALL CVL_SetStartDir(const char* path) {
  if (!path) return;
  Engine& e = engine();
  const size_t len = strnlen(path, sizeof e.start_dir);
  if (len < sizeof e.start_dir) std::memcpy(e.start_dir, path, len + 1);
}

CVL_API int32_t CVL_CALL CVL_SetUndoLevels(int32_t levels) {
  return guarded("SetUndoLevels Excpt", int32_t{0}, [&] { return set_undo_levels(engine(), levels); });
}

CVL_API void CVL_CALL CVL_SetScale(int32_t x, int32_t y) {
  Engine& e = engine();
  e.view_scale_x = x;
  e.view_scale_y = y;
}

CVL_API void CVL_CALL CVL_SetOffset(int32_t x, int32_t y) {
  Engine& e = engine();
  e.view_offset_x = x;
  e.view_offset_y = y;
}

CVL_API void CVL_CALL CVL_SetViewSize(int32_t width, int32_t height) {
  Engine& e = engine();
  e.view_width = width;
  e.view_height = height;
}

CVL_API int32_t CVL_CALL CVL_GetTotalUndoMemory(void) {
  return guarded("GetTotalUndoMemory Excpt", int32_t{0}, [] { return recount_undo_memory(engine()) / 1024; });
}

CVL_API int32_t CVL_CALL CVL_GetCurrentUndoMemory(void) { return engine().undo_memory / 1024; }

CVL_API int32_t CVL_CALL CVL_GetTotalPhyMemory(void) {
  return guarded("GetTotalPhyMemory Excpt", 0, [] { return mib(platform::memory_figures().total_physical); });
}
CVL_API int32_t CVL_CALL CVL_GetAvailPhyMemory(void) {
  return guarded("GetAvailPhyMemory Excpt", 0, [] { return mib(platform::memory_figures().available_physical); });
}
CVL_API int32_t CVL_CALL CVL_GetTotalPgMemory(void) {
  return guarded("GetTotalPgMemory Excpt", 0, [] { return mib(platform::memory_figures().total_page_file); });
}
CVL_API int32_t CVL_CALL CVL_GetAvailPgMemory(void) {
  return guarded("GetAvailPgMemory Excpt", 0, [] { return mib(platform::memory_figures().available_page_file); });
}
CVL_API int32_t CVL_CALL CVL_GetTotalVirMemory(void) {
  return guarded("GetTotalVirMemory Excpt", 0, [] { return mib(platform::memory_figures().total_virtual); });
}
CVL_API int32_t CVL_CALL CVL_GetAvailVirMemory(void) {
  return guarded("GetAvailVirMemory Excpt", 0, [] { return mib(platform::memory_figures().available_virtual); });
}

CVL_API void CVL_CALL CVL_SetGrid(int32_t) {}
CVL_API void CVL_CALL CVL_SetGridSpacing(int32_t) {}

CVL_API int32_t CVL_CALL CVL_GetWindowBackgroundColor(void) {
  return guarded("GetWindowBackgroundColor Excpt", 0,
                 [] { return static_cast<int32_t>(platform::system_colour(platform::SysColor::ButtonFace)); });
}
CVL_API int32_t CVL_CALL CVL_GetWindowTextColor(void) {
  return guarded("GetWindowTextColor Excpt", 0,
                 [] { return static_cast<int32_t>(platform::system_colour(platform::SysColor::ButtonText)); });
}

CVL_API void CVL_CALL CVL_SetWindowRedraw(void* window, int32_t on) {
  guarded("SetWindowRedraw Excpt", [&] { platform::set_window_redraw(window, on); });
}
CVL_API void CVL_CALL CVL_RedrawWindow(void* window) {
  guarded("RedrawWindow Excpt", [&] { platform::redraw_window(window); });
}

CVL_API void* CVL_CALL CVL_Alloc(int32_t size) { return std::malloc(static_cast<size_t>(static_cast<uint32_t>(size))); }

CVL_API void CVL_CALL CVL_Free(void* block) {
  if (block) std::free(block);
}

CVL_API void CVL_CALL CVL_Memcpy(void* dst, const void* src, int32_t length) {
  if (!dst || !src || length <= 0) return;
  std::memmove(dst, src, static_cast<size_t>(length));
}

CVL_API void* CVL_CALL BankAdrs(void* address) { return address; }

}  // extern "C"
