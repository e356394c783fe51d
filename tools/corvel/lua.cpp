// `corvel lua`: runs a Lua filter over an image file through the engine's calls.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "arguments.h"
#include "commands.h"
#include "corvel/corvel.h"
#include "file_problems.h"
#include "watch.h"

namespace corvel_tool {

namespace {

constexpr int32_t kSlot = 2;  // a painting layer, above the white background

struct LuaArgs {
  const char* script = nullptr;
  const char* in = nullptr;
  const char* out = nullptr;
  int32_t sliders[6] = {};
  int32_t styles[2] = {};
  int32_t flags[6] = {};
  bool sandbox = false;
  double timeout = 0;
};

bool bad(const char* option, const char* why) {
  std::fprintf(stderr, "corvel lua: %s: %s\n", option, why);
  return false;
}

bool parse(int argc, char** argv, LuaArgs& a) {
  if (argc < 3) {
    std::fprintf(stderr, "corvel lua: needs SCRIPT IN OUT before its options\n");
    return false;
  }
  a.script = argv[0];
  a.in = argv[1];
  a.out = argv[2];
  for (int i = 3; i < argc; ++i) {
    const char* arg = argv[i];
    int k = option_index(arg, "--flag", 6);
    if (k >= 0) {
      a.flags[k] = 1;
      continue;
    }
    if (!std::strcmp(arg, "--sandbox")) {
      a.sandbox = true;
      continue;
    }
    int32_t* target = nullptr;
    if ((k = option_index(arg, "--slider", 6)) >= 0) target = &a.sliders[k];
    if ((k = option_index(arg, "--style", 2)) >= 0) target = &a.styles[k];
    const bool timeout = !std::strcmp(arg, "--timeout");
    if (!target && !timeout) return bad(arg, "not an option of corvel lua");
    if (i + 1 >= argc) return bad(arg, "needs a value");
    const char* value = argv[++i];
    if (timeout && !parse_seconds(value, a.timeout)) return bad(arg, "needs a number of seconds above 0");
    if (target && !parse_int(value, *target)) return bad(arg, "needs a whole number");
  }
  return true;
}

struct Messages {
  std::string script_error;
  Watch* watch = nullptr;
};

void show_message(void* user, const char* caption, const char* text) {
  auto* m = static_cast<Messages*>(user);
  if (std::strcmp(caption, "Lua Script Error") == 0) {
    m->script_error = text;
    return;
  }
  std::printf("%s: %s\n", caption, text);
}

}  // namespace

int run_lua(int argc, char** argv) {
  LuaArgs a;
  if (!parse(argc, argv, a)) return 2;
  if (!writable(a.out, kWritableExtensions)) return 1;
  if (const std::string why = unreadable_file(a.script); !why.empty()) {
    std::fprintf(stderr, "corvel lua: cannot read %s: %s\n", a.script, why.c_str());
    return 1;
  }
  if (!read_into_engine(a.in)) return 1;
  const int32_t w = CVL_GetNewRGBAWidth(), h = CVL_GetNewRGBAHeight();
  CVL_IPLInit(0);
  CVL_CreateImage(nullptr, w, h, 64, 0);
  CVL_CreateLayer(1, w, h);
  CVL_CreateLayer(kSlot, w, h);
  CVL_SetLayer(kSlot);
  CVL_SetInNewRGBA();
  CVL_DeleteNewRGBA();
  CVL_IPLAllocSrcBuffer32();
  CVL_IPLAllocDstBuffer32();

  Watch watch(std::string("corvel lua ") + a.script, "", a.timeout);
  Messages messages;
  // Debugger output keeps the engine's default: standard error when CORVEL_DEBUG_OUTPUT is set.
  CVL_HostCallbacks host{};
  host.size = sizeof host;
  host.user_data = &messages;
  host.message_box = show_message;
  messages.watch = &watch;
  host.escape_pressed = [](void* user) { return Watch::escape_entry(static_cast<Messages*>(user)->watch); };
  CVL_SetHostCallbacks(&host);
  CVL_SetLuaSandbox(a.sandbox ? 1 : 0);
  CVL_LuaFilterRun(a.script, a.sliders[0], a.sliders[1], a.sliders[2], a.sliders[3], a.sliders[4], a.sliders[5],
                   a.styles[0], a.styles[1], a.flags[0], a.flags[1], a.flags[2], a.flags[3], a.flags[4], a.flags[5]);
  watch.stop();
  CVL_SetLuaSandbox(0);
  CVL_SetHostCallbacks(nullptr);

  int status = 0;
  if (watch.timed_out()) {
    status = watch.report_timeout();
  } else if (!messages.script_error.empty()) {
    std::fprintf(stderr, "corvel lua: script error: %s\n", messages.script_error.c_str());
    status = 1;
  } else {
    std::vector<uint8_t> pixels(size_t(w) * size_t(h) * 4);
    CVL_GetRGBA32Layer(pixels.data(), w * 4, kSlot);
    status = write_rgba(pixels.data(), w, h, true, a.out, 72) ? 0 : 1;
  }
  CVL_IPLFreeSrcBuffer32();
  CVL_IPLFreeDstBuffer32();
  CVL_DeleteImage();
  return status;
}

}  // namespace corvel_tool
