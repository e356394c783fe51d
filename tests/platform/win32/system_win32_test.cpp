// The engine's host utilities answer with what the system says.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "corvel/corvel.h"
#include "platform/host_callbacks.h"

namespace cvl {
namespace {

TEST(WindowsSystem, MemoryFiguresAreTheSystemsInMiB) {
  MEMORYSTATUSEX s{};
  s.dwLength = sizeof s;
  ASSERT_TRUE(GlobalMemoryStatusEx(&s));
  EXPECT_EQ(CVL_GetTotalPhyMemory(), int32_t(s.ullTotalPhys >> 20));
  EXPECT_EQ(CVL_GetTotalPgMemory(), int32_t(s.ullTotalPageFile >> 20));
  EXPECT_EQ(CVL_GetTotalVirMemory(), int32_t(s.ullTotalVirtual >> 20));
  EXPECT_GT(CVL_GetAvailPhyMemory(), 0);
}

TEST(WindowsSystem, ColoursAndDirectoryComeFromTheSystem) {
  EXPECT_EQ(uint32_t(CVL_GetWindowBackgroundColor()), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(uint32_t(CVL_GetWindowTextColor()), GetSysColor(COLOR_BTNTEXT));
  char dir[MAX_PATH] = {};
  ASSERT_GT(GetWindowsDirectoryA(dir, MAX_PATH), 0u);
  EXPECT_STREQ(CVL_GetDirInfo(), dir);
}

// A window that notes the painting messages it gets.
struct Recorder {
  static std::vector<std::pair<UINT, WPARAM>>& seen() {
    static std::vector<std::pair<UINT, WPARAM>> s;
    return s;
  }
  static LRESULT CALLBACK procedure(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_SETREDRAW || m == WM_ERASEBKGND || m == WM_NCPAINT) seen().push_back({m, wp});
    return DefWindowProcA(w, m, wp, lp);
  }
};

TEST(WindowsSystem, RedrawControlReachesTheHostsWindow) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = Recorder::procedure;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "corvel test host";
  RegisterClassA(&wc);
  HWND host = CreateWindowExA(0, wc.lpszClassName, "host", WS_OVERLAPPEDWINDOW, 0, 0, 100, 80, nullptr, nullptr,
                              wc.hInstance, nullptr);
  ASSERT_NE(host, nullptr);
  Recorder::seen().clear();
  CVL_SetWindowRedraw(host, 0x100);  // only the low byte counts: off
  CVL_SetWindowRedraw(host, 1);
  ASSERT_GE(Recorder::seen().size(), 2u);
  EXPECT_EQ(Recorder::seen()[0], std::make_pair(UINT(WM_SETREDRAW), WPARAM(0)));
  EXPECT_EQ(Recorder::seen()[1], std::make_pair(UINT(WM_SETREDRAW), WPARAM(1)));
  // Invalidation with erase: the window is told to erase its background.
  ShowWindow(host, SW_SHOWNA);
  UpdateWindow(host);
  Recorder::seen().clear();
  CVL_RedrawWindow(host);
  UpdateWindow(host);
  bool erased = false;
  for (auto& m : Recorder::seen()) erased = erased || m.first == WM_ERASEBKGND;
  EXPECT_TRUE(erased);
  DestroyWindow(host);
  UnregisterClassA(wc.lpszClassName, wc.hInstance);
}

// The host table still replaces the system's dialogs and keys on Windows.
struct Heard {
  std::string caption, text;
  int escapes = 0;
};

TEST(WindowsSystem, HostEntriesReplaceTheSystemsMessageBoxEscapeKeyAndFontDialog) {
  Heard heard;
  CVL_HostCallbacks table{};
  table.size = sizeof table;
  table.user_data = &heard;
  table.message_box = [](void* u, const char* c, const char* t) {
    static_cast<Heard*>(u)->caption = c;
    static_cast<Heard*>(u)->text = t;
  };
  table.escape_pressed = [](void* u) -> int32_t { return ++static_cast<Heard*>(u)->escapes == 1 ? 1 : 0; };
  table.choose_font = [](void*, void*, uint32_t* error) -> int32_t {
    *error = 0x2001;
    return 0;
  };
  CVL_SetHostCallbacks(&table);
  platform::message_box("Lua", "line 3: oops");
  EXPECT_EQ(heard.caption, "Lua");
  EXPECT_EQ(heard.text, "line 3: oops");
  EXPECT_EQ(platform::escape_pressed(), 1);
  EXPECT_EQ(platform::escape_pressed(), 0);
  EXPECT_EQ(CVL_ChooseFont(), 0);
  EXPECT_STREQ(CVL_GetLastError(), "Font Err: CFERR_NOFONTS");
  CVL_SetHostCallbacks(nullptr);
}

}  // namespace
}  // namespace cvl
