// `corvel effect`: one named image effect run on an image file through the
// engine's calls, its arguments checked against what the effect reads.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "arguments.h"
#include "commands.h"
#include "corvel/corvel.h"
#include "effect_catalog.h"
#include "file_problems.h"
#include "watch.h"

namespace corvel_tool {

namespace {

constexpr int32_t kSlot = 2;  // a painting layer above the background
constexpr double kSliderMin = 0, kSliderMax = 100;  // sliders an effect has no description for

struct EffectArgs {
  const char* name = nullptr;
  const char* in = nullptr;
  const char* out = nullptr;
  double sliders[6] = {};  // in the slider's own units
  int32_t option = 0, i1 = 0, i2 = 0;
  int32_t flags[6] = {};
  int32_t rgb[3] = {};
  const char* text = "";
  double timeout = 0;
  std::vector<std::string> given;  // ids of the arguments on the command line, as "s1", "colour"
};

bool bad(const char* option, const char* value, const std::string& why) {
  std::fprintf(stderr, "corvel effect: %s%s%s: %s\n", option, value ? " " : "", value ? value : "", why.c_str());
  return false;
}

bool to_slider(const char* text, double& out) {
  char* end = nullptr;
  const double v = std::strtod(text, &end);
  if (!*text || *end || !std::isfinite(v)) return false;
  out = v;
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
  if (argc < 3) {
    std::fprintf(stderr, "corvel effect: needs NAME IN OUT before its options\n");
    return false;
  }
  a.name = argv[0];
  a.in = argv[1];
  a.out = argv[2];
  for (int i = 3; i < argc; ++i) {
    const char* arg = argv[i];
    int k = option_index(arg, "--f", 6);
    if (k >= 0) {
      a.flags[k] = 1;
      a.given.push_back(arg + 2);
      continue;
    }
    const bool known = option_index(arg, "--s", 6) >= 0 || !std::strcmp(arg, "--option") || !std::strcmp(arg, "--i1") ||
                       !std::strcmp(arg, "--i2") || !std::strcmp(arg, "--color") || !std::strcmp(arg, "--text") ||
                       !std::strcmp(arg, "--timeout");
    if (!known) return bad(arg, nullptr, "not an option of corvel effect");
    if (i + 1 >= argc) return bad(arg, nullptr, "needs a value");
    const char* value = argv[++i];
    bool ok = true;
    std::string id = arg + 2;
    if ((k = option_index(arg, "--s", 6)) >= 0) ok = to_slider(value, a.sliders[k]);
    else if (id == "option") ok = parse_int(value, a.option);
    else if (id == "i1") ok = parse_int(value, a.i1);
    else if (id == "i2") ok = parse_int(value, a.i2);
    else if (id == "color") ok = to_colour(value, a.rgb), id = "colour";
    else if (id == "text") a.text = value;
    else if (id == "timeout") ok = parse_seconds(value, a.timeout), id.clear();
    if (!ok) {
      const char* wants = id == "colour" ? "three whole numbers R,G,B"
                          : id.empty()   ? "a number of seconds above 0"
                          : id[0] == 's' ? "a number"
                                         : "a whole number";
      return bad(arg, value, std::string("needs ") + wants);
    }
    if (!id.empty()) a.given.push_back(id);
  }
  return true;
}

// The value given for argument `id`, for range checks.
double value_of(const EffectArgs& a, const std::string& id) {
  if (id[0] == 's') return a.sliders[id[1] - '1'];
  if (id[0] == 'f') return a.flags[id[1] - '1'];
  return id == "option" ? a.option : id == "i1" ? a.i1 : a.i2;
}

// Every argument given is one the effect reads, within its range; a text the effect
// reads as a file names one that can be read.
int check(const Effect& e, const EffectArgs& a) {
  for (const std::string& id : a.given) {
    const std::string option = "--" + std::string(id == "colour" ? "color" : id);
    const EffectArgument* arg = e.argument(id);
    if (!arg) {
      std::fprintf(stderr, "corvel effect: %s: \"%s\" does not read %s; it reads %s\n", option.c_str(), e.name.c_str(),
                   id.c_str(), e.reads_for_people().c_str());
      return 2;
    }
    if (id == "colour") {
      for (int c = 0; c < 3; ++c)
        if (a.rgb[c] < 0 || a.rgb[c] > 255) {
          std::fprintf(stderr, "corvel effect: --color %d,%d,%d: each channel takes 0 to 255\n", a.rgb[0], a.rgb[1],
                       a.rgb[2]);
          return 2;
        }
      continue;
    }
    if (id == "text") continue;
    const bool ranged = arg->described || arg->is_slider();
    const double lo = arg->described ? arg->min : kSliderMin, hi = arg->described ? arg->max : kSliderMax;
    const double v = value_of(a, id);
    if (ranged && (v < lo || v > hi)) {
      std::fprintf(stderr, "corvel effect: %s %s is out of range: %s of \"%s\" takes %s to %s%s%s\n", option.c_str(),
                   number_text(v).c_str(), arg->label().c_str(), e.name.c_str(), number_text(lo).c_str(),
                   number_text(hi).c_str(), arg->unit.empty() ? "" : " ", arg->unit.c_str());
      return 2;
    }
  }
  if (!e.text_is_file()) return 0;
  if (!*a.text) {
    std::fprintf(stderr, "corvel effect: \"%s\" needs --text FILE (%s)\n", e.name.c_str(),
                 e.frame == "lua" ? "the Lua script to run" : "the image script or picture it uses");
    return 2;
  }
  const std::string why = unreadable_file(a.text);
  if (why.empty()) return 0;
  std::fprintf(stderr, "corvel effect: --text %s: %s\n", a.text, why.c_str());
  return 1;
}

int unknown_effect(const char* name) {
  std::fprintf(stderr, "corvel effect: unknown effect \"%s\"%s (corvel effects lists them)\n", name,
               did_you_mean(name).c_str());
  return 1;
}

}  // namespace

int run_effect(int argc, char** argv) {
  EffectArgs a;
  if (!parse(argc, argv, a)) return 2;
  const Effect* effect = find_effect(a.name);
  if (!effect) return unknown_effect(a.name);
  if (const int status = check(*effect, a)) return status;
  if (!writable(a.out, kWritableExtensions)) return 1;
  Picture picture;
  if (!read_picture(a.in, picture)) return 1;
  const int32_t w = picture.width, h = picture.height;
  Watch watch("corvel effect " + effect->name, "", a.timeout);
  CVL_HostCallbacks host{};
  host.size = sizeof host;
  host.user_data = &watch;
  host.escape_pressed = Watch::escape_entry;
  CVL_SetHostCallbacks(&host);
  CVL_IPLInit(0);
  CVL_CreateImage(nullptr, w, h, 64, 0);
  CVL_CreateLayer(1, w, h);
  CVL_CreateLayer(kSlot, w, h);
  CVL_SetLayer(kSlot);
  CVL_LoadRGBA32Layer(picture.rgba.data(), w * 4, kSlot, 0, 0, w, h, 0);
  CVL_IPLAllocSrcBuffer32();
  CVL_IPLAllocDstBuffer32();
  int32_t tenths[6];
  for (int k = 0; k < 6; ++k) tenths[k] = static_cast<int32_t>(std::lround(a.sliders[k] * 10.0));
  CVL_IPLImageProcess(0, a.name, a.i1, tenths[0], tenths[1], tenths[2], tenths[3], tenths[4], tenths[5], a.option, a.i2,
                      a.flags[0], a.flags[1], a.flags[2], a.flags[3], a.flags[4], a.flags[5], a.rgb[0], a.rgb[1],
                      a.rgb[2], a.text);
  watch.stop();
  CVL_SetHostCallbacks(nullptr);
  std::vector<uint8_t> out(size_t(w) * size_t(h) * 4);
  CVL_GetRGBA32Layer(out.data(), w * 4, kSlot);
  CVL_IPLFreeSrcBuffer32();
  CVL_IPLFreeDstBuffer32();
  CVL_DeleteImage();
  if (watch.timed_out()) return watch.report_timeout();
  return write_rgba(out.data(), w, h, true, a.out, picture.dpi) ? 0 : 1;
}

}  // namespace corvel_tool
