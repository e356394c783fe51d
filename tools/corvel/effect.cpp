// `corvel effects` and `corvel effect`: the named image effects, listed and run
// on an image file through the engine's calls.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "arguments.h"
#include "commands.h"
#include "corvel/corvel.h"

namespace corvel_tool {

namespace {

constexpr int32_t kSlot = 2;  // a painting layer above the background

struct EffectArgs {
  const char* name = nullptr;
  const char* in = nullptr;
  const char* out = nullptr;
  int32_t sliders[6] = {};  // tenths, as the engine takes them
  int32_t option = 0, i1 = 0, i2 = 0;
  int32_t flags[6] = {};
  int32_t rgb[3] = {};
  const char* text = "";
};

// "--s3" with stem "--s" gives 2; -1 when the argument is not stem + one digit 1..count.
// A slider given in its own units (50, 12.5) becomes tenths.
bool to_tenths(const char* text, int32_t& out) {
  char* end = nullptr;
  const double v = std::strtod(text, &end);
  if (!*text || *end || !std::isfinite(v) || std::fabs(v) > 2.0e8) return false;
  out = static_cast<int32_t>(std::lround(v * 10.0));
  return true;
}

bool to_colour(const char* text, int32_t rgb[3]) {
  int r = 0, g = 0, b = 0;
  char tail = 0;
  if (std::sscanf(text, "%d,%d,%d%c", &r, &g, &b, &tail) != 3) return false;
  rgb[0] = r;
  rgb[1] = g;
  rgb[2] = b;
  return true;
}

bool parse(int argc, char** argv, EffectArgs& a) {
  if (argc < 3) return false;
  a.name = argv[0];
  a.in = argv[1];
  a.out = argv[2];
  for (int i = 3; i < argc; ++i) {
    const char* arg = argv[i];
    int k = option_index(arg, "--f", 6);
    if (k >= 0) {
      a.flags[k] = 1;
      continue;
    }
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    bool ok = value != nullptr;
    if (ok) {
      if ((k = option_index(arg, "--s", 6)) >= 0) ok = to_tenths(value, a.sliders[k]);
      else if (!std::strcmp(arg, "--option")) ok = parse_int(value, a.option);
      else if (!std::strcmp(arg, "--i1")) ok = parse_int(value, a.i1);
      else if (!std::strcmp(arg, "--i2")) ok = parse_int(value, a.i2);
      else if (!std::strcmp(arg, "--color")) ok = to_colour(value, a.rgb);
      else if (!std::strcmp(arg, "--text")) a.text = value;
      else ok = false;
    }
    if (!ok) {
      std::fprintf(stderr, "corvel effect: bad option %s\n", arg);
      return false;
    }
    ++i;
  }
  return true;
}

}  // namespace

bool known_effect(const char* name) {
  for (int32_t i = 0; const char* n = CVL_IPLEffectInfo(i, nullptr, nullptr); ++i)
    if (std::strcmp(n, name) == 0) return true;
  return false;
}

int run_effects() {
  const char* frame = nullptr;
  const char* reads = nullptr;
  for (int32_t i = 0; const char* name = CVL_IPLEffectInfo(i, &frame, &reads); ++i)
    std::printf("%-34s %-24s %s\n", name, frame, *reads ? reads : "none");
  return 0;
}

int run_effect(int argc, char** argv) {
  EffectArgs a;
  if (!parse(argc, argv, a)) return 2;
  if (!known_effect(a.name)) {
    std::fprintf(stderr, "corvel effect: unknown effect \"%s\" (see corvel effects)\n", a.name);
    return 1;
  }
  Picture picture;
  if (!read_picture(a.in, picture)) return 1;
  const int32_t w = picture.width, h = picture.height;
  CVL_IPLInit(0);
  CVL_CreateImage(nullptr, w, h, 64, 0);
  CVL_CreateLayer(1, w, h);
  CVL_CreateLayer(kSlot, w, h);
  CVL_SetLayer(kSlot);
  CVL_LoadRGBA32Layer(picture.rgba.data(), w * 4, kSlot, 0, 0, w, h, 0);
  CVL_IPLAllocSrcBuffer32();
  CVL_IPLAllocDstBuffer32();
  CVL_IPLImageProcess(0, a.name, a.i1, a.sliders[0], a.sliders[1], a.sliders[2], a.sliders[3], a.sliders[4],
                      a.sliders[5], a.option, a.i2, a.flags[0], a.flags[1], a.flags[2], a.flags[3], a.flags[4],
                      a.flags[5], a.rgb[0], a.rgb[1], a.rgb[2], a.text);
  std::vector<uint8_t> out(size_t(w) * size_t(h) * 4);
  CVL_GetRGBA32Layer(out.data(), w * 4, kSlot);
  CVL_IPLFreeSrcBuffer32();
  CVL_IPLFreeDstBuffer32();
  CVL_DeleteImage();
  return write_rgba(out.data(), w, h, true, a.out, picture.dpi) ? 0 : 1;
}

}  // namespace corvel_tool
