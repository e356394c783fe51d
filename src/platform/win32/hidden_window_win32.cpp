// The hidden window of the engine's start. Top-level windows receive the
// broadcasts of display, settings, user and power changes; the procedure marks
// them in one byte that the host polls, and leaves everything else to the
// default procedure.
#include <windows.h>

#include "platform/hidden_window.h"

namespace cvl::platform {
namespace {

constexpr char kClassName[] = "Velmont DLL window";
constexpr char kTitle[] = "VM Internal WND";

HWND g_window = nullptr;
HINSTANCE g_module = nullptr;
uint8_t* g_flag = nullptr;

void mark() {
  if (g_flag) *g_flag = 1;
}

LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_WININICHANGE:
    case WM_USERCHANGED:
    case WM_DISPLAYCHANGE:
      mark();
      break;
    case WM_ACTIVATEAPP:
      if (wparam == 1 || wparam == 7) mark();
      break;
    case WM_POWERBROADCAST:
      if (wparam == 7) mark();
      break;
    default:
      break;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

}  // namespace

bool start_hidden_window(void* module, uint8_t* flag) {
  g_flag = flag;
  if (g_window) return true;
  g_module = static_cast<HINSTANCE>(module);
  WNDCLASSA wc{};
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.lpfnWndProc = procedure;
  wc.hInstance = g_module;
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  wc.lpszClassName = kClassName;
  // A class left registered by an earlier start is reused.
  if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
  g_window = CreateWindowExA(0, kClassName, kTitle, 0, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                             nullptr, nullptr, g_module, nullptr);
  return g_window != nullptr;
}

void* hidden_window() { return g_window; }

void stop_hidden_window() {
  // Closing through our own procedure posts WM_QUIT to this thread's queue;
  // the host's loop does not need that, so the window is destroyed directly.
  if (g_window) {
    SetWindowLongPtrA(g_window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DefWindowProcA));
    DestroyWindow(g_window);
  }
  g_window = nullptr;
  UnregisterClassA(kClassName, g_module);
  g_flag = nullptr;
}

}  // namespace cvl::platform
