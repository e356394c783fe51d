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
};

// "--slider3" with stem "--slider" and count 6 gives index 2; -1 otherwise.
bool parse(int argc, char** argv, LuaArgs& a) {
  if (argc < 3) return false;
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
    int32_t* target = nullptr;
    if ((k = option_index(arg, "--slider", 6)) >= 0) target = &a.sliders[k];
    if ((k = option_index(arg, "--style", 2)) >= 0) target = &a.styles[k];
    if (!target || i + 1 >= argc || !parse_int(argv[i + 1], *target)) {
      std::fprintf(stderr, "corvel lua: bad option %s\n", arg);
      return false;
    }
    ++i;
  }
  return true;
}

struct Messages {
  std::string script_error;
};

void show_message(void* user, const char* caption, const char* text) {
  auto* m = static_cast<Messages*>(user);
  if (std::strcmp(caption, "Lua Script Error") == 0) {
    m->script_error = text;
    return;
  }
  std::printf("%s: %s\n", caption, text);
}

bool write_layer(const char* path, int32_t w, int32_t h) {
  std::string ext = std::filesystem::path(path).extension().string();
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  std::vector<uint8_t> pixels;
  if (ext == ".png" || ext == ".tga" || ext == ".tif") {
    pixels.resize(size_t(w) * size_t(h) * 4);
    CVL_GetRGBA32Layer(pixels.data(), w * 4, kSlot);
    return CVL_WriteToFileRGBA32(pixels.data(), w, h, path, ext.c_str(), 72) != 0;
  }
  pixels.resize(size_t(w) * size_t(h) * 3);
  CVL_GetRGB24Layer(pixels.data(), w * 3, kSlot);
  return CVL_WriteToFileRGB24(pixels.data(), w, h, path, ext.c_str(), 72) != 0;
}

}  // namespace

int run_lua(int argc, char** argv) {
  LuaArgs a;
  if (!parse(argc, argv, a)) return 2;
  if (!CVL_ReadFromFile(a.in)) {
    std::fprintf(stderr, "corvel: cannot read %s\n", a.in);
    return 1;
  }
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

  Messages messages;
  // Debugger output keeps the engine's default: standard error when CORVEL_DEBUG_OUTPUT is set.
  CVL_HostCallbacks host{};
  host.size = sizeof host;
  host.user_data = &messages;
  host.message_box = show_message;
  CVL_SetHostCallbacks(&host);
  CVL_LuaFilterRun(a.script, a.sliders[0], a.sliders[1], a.sliders[2], a.sliders[3], a.sliders[4], a.sliders[5],
                   a.styles[0], a.styles[1], a.flags[0], a.flags[1], a.flags[2], a.flags[3], a.flags[4], a.flags[5]);
  CVL_SetHostCallbacks(nullptr);

  int status = 0;
  if (!messages.script_error.empty()) {
    std::fprintf(stderr, "corvel lua: script error: %s\n", messages.script_error.c_str());
    status = 1;
  } else if (!write_layer(a.out, w, h)) {
    std::fprintf(stderr, "corvel: cannot write %s\n", a.out);
    status = 1;
  }
  CVL_IPLFreeSrcBuffer32();
  CVL_IPLFreeDstBuffer32();
  CVL_DeleteImage();
  return status;
}

}  // namespace corvel_tool
