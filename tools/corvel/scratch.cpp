#include "scratch.h"

#include <chrono>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

namespace corvel_tool {
namespace {

int process_id() {
#ifdef _WIN32
  return _getpid();
#else
  return getpid();
#endif
}

}  // namespace

std::string make_scratch_dir(const char* stem) {
  std::error_code ec;
  const std::filesystem::path base = std::filesystem::temp_directory_path(ec);
  if (ec) return "";
  // Process id and clock tell apart most callers at once; the counter settles the rest.
  const auto ticks = uint64_t(std::chrono::steady_clock::now().time_since_epoch().count());
  const std::string prefix = std::string(stem) + "-" + std::to_string(process_id()) + "-";
  for (uint64_t attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path dir = base / (prefix + std::to_string((ticks + attempt) % 1000000007u));
    if (std::filesystem::create_directory(dir, ec)) return dir.string();
    if (ec) return "";
  }
  return "";
}

}  // namespace corvel_tool
