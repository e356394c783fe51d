#include <windows.h>

#include "platform/system.h"

namespace cvl::platform {

MemoryFigures memory_figures() {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  MemoryFigures m;
  if (!GlobalMemoryStatusEx(&status)) return m;
  m.total_physical = status.ullTotalPhys;
  m.available_physical = status.ullAvailPhys;
  m.total_page_file = status.ullTotalPageFile;
  m.available_page_file = status.ullAvailPageFile;
  m.total_virtual = status.ullTotalVirtual;
  m.available_virtual = status.ullAvailVirtual;
  return m;
}

uint32_t system_colour(SysColor which) {
  return GetSysColor(which == SysColor::ButtonFace ? COLOR_BTNFACE : COLOR_BTNTEXT);
}

}  // namespace cvl::platform
