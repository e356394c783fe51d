#include <windows.h>

#include "platform/shared_library.h"

namespace cvl::platform {

void* library_open(const char* path) {
  // Without this mode a missing library, or one on an empty drive, puts up a dialog.
  const UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HMODULE library = LoadLibraryA(path);
  SetErrorMode(previous);
  return reinterpret_cast<void*>(library);
}

void* library_function(void* library, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void library_close(void* library) { FreeLibrary(static_cast<HMODULE>(library)); }

}  // namespace cvl::platform
