// Operating-system figures the engine reports to the host.
#pragma once

#include <cstdint>

namespace cvl::platform {

struct MemoryFigures {
  uint64_t total_physical = 0;
  uint64_t available_physical = 0;
  uint64_t total_page_file = 0;  // commit limit: physical memory plus swap
  uint64_t available_page_file = 0;
  uint64_t total_virtual = 0;  // the process's address space
  uint64_t available_virtual = 0;
};

MemoryFigures memory_figures();

// System colour indices the engine asks for, as COLORREF values (0x00BBGGRR).
enum class SysColor { ButtonFace, ButtonText };
uint32_t system_colour(SysColor which);

}  // namespace cvl::platform
