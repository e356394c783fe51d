#include "script/paint_script.h"

#include <cstdio>
#include <cstring>

#include "core/engine.h"

namespace cvl {
namespace {

#ifdef _WIN32
constexpr const char* kScriptFile = "scripts\\luapaint.srp";
#else
constexpr const char* kScriptFile = "scripts/luapaint.srp";
#endif

std::FILE* g_stream = nullptr;

}  // namespace

std::string paint_script_path(const Engine& canvas) { return std::string(canvas.start_dir) + kScriptFile; }

bool paint_script_open(const Engine& canvas) {
  paint_script_close(false);
  // Binary mode with explicit CR LF gives the same bytes as a text-mode stream
  // on Windows, and the same file everywhere else.
  g_stream = std::fopen(paint_script_path(canvas).c_str(), "wb");
  return g_stream != nullptr;
}

bool paint_script_is_open() { return g_stream != nullptr; }

void paint_script_line(const char* text, size_t length) {
  if (!g_stream) return;
  std::fwrite(text, 1, length, g_stream);
  std::fwrite("\r\n", 1, 2, g_stream);
}

void paint_script_line(const char* text) { paint_script_line(text, std::strlen(text)); }

void paint_script_close(bool write_end) {
  if (!g_stream) return;
  if (write_end) paint_script_line("ScriptEnd");
  std::fclose(g_stream);
  g_stream = nullptr;
}

}  // namespace cvl
