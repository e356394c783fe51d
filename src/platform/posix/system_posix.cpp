#include <sys/resource.h>

#include <cstdio>
#include <cstring>

#include "platform/system.h"

namespace cvl::platform {

namespace {

// Reads "Name:   123 kB" lines of /proc/meminfo, in bytes; 0 when absent.
uint64_t meminfo_bytes(const char* name) {
  std::FILE* f = std::fopen("/proc/meminfo", "r");
  if (!f) return 0;
  char line[256];
  uint64_t value = 0;
  const size_t len = std::strlen(name);
  while (std::fgets(line, sizeof line, f)) {
    if (std::strncmp(line, name, len) == 0 && line[len] == ':') {
      unsigned long long kib = 0;
      if (std::sscanf(line + len + 1, "%llu", &kib) == 1) value = static_cast<uint64_t>(kib) * 1024;
      break;
    }
  }
  std::fclose(f);
  return value;
}

uint64_t address_space_bytes() {
  rlimit limit{};
  if (getrlimit(RLIMIT_AS, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) return limit.rlim_cur;
  return uint64_t{1} << 47;  // user half of a 48-bit address space
}

uint64_t resident_bytes() {
  std::FILE* f = std::fopen("/proc/self/statm", "r");
  if (!f) return 0;
  unsigned long long pages = 0;
  const int got = std::fscanf(f, "%llu", &pages);
  std::fclose(f);
  return got == 1 ? static_cast<uint64_t>(pages) * 4096 : 0;
}

}  // namespace

MemoryFigures memory_figures() {
  MemoryFigures m;
  m.total_physical = meminfo_bytes("MemTotal");
  m.available_physical = meminfo_bytes("MemAvailable");
  m.total_page_file = m.total_physical + meminfo_bytes("SwapTotal");
  m.available_page_file = m.available_physical + meminfo_bytes("SwapFree");
  m.total_virtual = address_space_bytes();
  const uint64_t used = resident_bytes();
  m.available_virtual = m.total_virtual > used ? m.total_virtual - used : 0;
  return m;
}

uint32_t system_colour(SysColor which) {
  // The classic desktop scheme: grey button faces with black text.
  return which == SysColor::ButtonFace ? 0x00C0C0C0u : 0x00000000u;
}

}  // namespace cvl::platform
