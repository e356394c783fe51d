// The shared library's own translation unit: every export lives in the engine
// archive linked whole into it. On Windows the library's start makes the hidden
// window that notices display changes; on POSIX nothing needs to run when the
// library loads, since there the host reports display changes itself.
#include "corvel/corvel.h"

#ifdef _WIN32
#include <windows.h>

#include "core/engine.h"
#include "platform/hidden_window.h"

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) cvl::platform::start_hidden_window(module, &cvl::engine().display_changed);
  return TRUE;
}
#endif
