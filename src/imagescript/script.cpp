// Image scripts: a small line-oriented text format. The first line is
// "imagescript 1"; "size W H" gives the rendered size; the other lines draw, in order,
// onto a transparent canvas. Blank lines and text after '#' are ignored.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "imagescript/imagescript.h"
#include "codecs/codec.h"

namespace cvl::imagescript {
namespace {

constexpr int32_t kMaxEdge = 8192;
constexpr size_t kMaxScriptBytes = 1 << 20;
constexpr const char* kMagic = "imagescript";

// A script's number as a whole number, held to what an int32_t can take.
int32_t whole(double v) { return static_cast<int32_t>(std::clamp(v, -2147483648.0, 2147483647.0)); }

struct Command {
  std::string name;
  std::vector<double> args;
  int line = 0;
};

struct Script {
  int32_t version = 0, width = 0, height = 0, seed = 1;
  std::vector<Command> commands;
};

std::string strip_comment(const std::string& line) {
  const size_t hash = line.find('#');
  return hash == std::string::npos ? line : line.substr(0, hash);
}

// Parses the whole text; NotAScript when the first line is not the magic line.
ScriptResult parse(const std::string& text, Script& script) {
  std::istringstream in(text);
  std::string line;
  bool saw_magic = false;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    std::istringstream words(strip_comment(line));
    Command c;
    if (!(words >> c.name)) continue;
    if (!saw_magic) {
      if (c.name != kMagic || !(words >> script.version) || script.version != 1) return ScriptResult::NotAScript;
      saw_magic = true;
      continue;
    }
    std::string word;
    while (words >> word) {
      char* end = nullptr;
      const double v = std::strtod(word.c_str(), &end);
      if (end == word.c_str() || *end || !std::isfinite(v)) return ScriptResult::Failed;
      c.args.push_back(v);
    }
    c.line = number;
    if (c.name == "size") {
      if (c.args.size() != 2 || !script.commands.empty()) return ScriptResult::Failed;
      script.width = static_cast<int32_t>(std::clamp(c.args[0], 0.0, double(kMaxEdge + 1)));
      script.height = static_cast<int32_t>(std::clamp(c.args[1], 0.0, double(kMaxEdge + 1)));
    } else if (c.name == "seed") {
      if (c.args.size() != 1) return ScriptResult::Failed;
      script.seed = whole(c.args[0]);
    } else {
      script.commands.push_back(std::move(c));
    }
  }
  if (!saw_magic) return ScriptResult::NotAScript;
  if (script.width < 1 || script.height < 1 || script.width > kMaxEdge || script.height > kMaxEdge)
    return ScriptResult::Failed;
  return ScriptResult::Ok;
}

ScriptResult load(const char* path, Script& script) {
  std::vector<uint8_t> bytes;
  if (!path || !imaging::read_whole_file(path, bytes, kMaxScriptBytes)) return ScriptResult::NotAScript;
  return parse(std::string(bytes.begin(), bytes.end()), script);
}

// The renderer's own generator, so that rendering never disturbs the random sequence
// its callers draw from.
struct Random {
  uint32_t state;
  explicit Random(int32_t seed) : state(static_cast<uint32_t>(seed) * 2654435761u + 1u) {}
  uint32_t next() {
    state ^= state << 13, state ^= state >> 17, state ^= state << 5;
    return state;
  }
};

struct Colour {
  double c[4];
};

uint8_t to_byte(double v) { return static_cast<uint8_t>(std::lround(std::clamp(v, 0.0, 255.0))); }

Colour colour_at(const std::vector<double>& a, size_t i) { return {{a[i], a[i + 1], a[i + 2], a[i + 3]}}; }

Colour mix(const Colour& a, const Colour& b, double t) {
  t = std::clamp(t, 0.0, 1.0);
  Colour out;
  for (int k = 0; k < 4; ++k) out.c[k] = a.c[k] + (b.c[k] - a.c[k]) * t;
  return out;
}

// Source-over of a straight colour with coverage `cover` onto a straight pixel.
void blend(uint8_t* px, const Colour& col, double cover) {
  const double sa = std::clamp(col.c[3], 0.0, 255.0) / 255.0 * std::clamp(cover, 0.0, 1.0);
  if (sa <= 0) return;
  const double da = px[3] / 255.0;
  const double oa = sa + da * (1 - sa);
  for (int k = 0; k < 3; ++k) px[k] = to_byte((col.c[k] * sa + px[k] * da * (1 - sa)) / oa);
  px[3] = to_byte(oa * 255.0);
}

void put(uint8_t* px, const Colour& col) {
  for (int k = 0; k < 4; ++k) px[k] = to_byte(col.c[k]);
}

bool run_command(const Command& c, imaging::Image& im, Random& random) {
  const auto& a = c.args;
  const int32_t w = im.width, h = im.height;
  auto pixel = [&](int32_t x, int32_t y) { return im.pixels.data() + (size_t(y) * w + x) * 4; };
  if (c.name == "fill" && a.size() == 4) {
    const Colour col = colour_at(a, 0);
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x) put(pixel(x, y), col);
  } else if (c.name == "linear" && a.size() == 12) {
    const double dx = a[2] - a[0], dy = a[3] - a[1], len2 = dx * dx + dy * dy;
    const Colour from = colour_at(a, 4), to = colour_at(a, 8);
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x) {
        const double t = len2 > 0 ? ((x + 0.5 - a[0]) * dx + (y + 0.5 - a[1]) * dy) / len2 : 0;
        put(pixel(x, y), mix(from, to, t));
      }
  } else if (c.name == "radial" && a.size() == 11) {
    const Colour inner = colour_at(a, 3), outer = colour_at(a, 7);
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x) {
        const double d = std::hypot(x + 0.5 - a[0], y + 0.5 - a[1]);
        put(pixel(x, y), mix(inner, outer, a[2] > 0 ? d / a[2] : 1));
      }
  } else if (c.name == "circle" && (a.size() == 7 || a.size() == 8)) {
    const Colour col = colour_at(a, 3);
    const double soft = a.size() == 8 ? std::max(a[7], 0.0) : 0.0;
    const double reach = a[2] + soft + 1;
    const int32_t x0 = static_cast<int32_t>(std::clamp(std::floor(a[0] - reach), 0.0, double(w)));
    const int32_t x1 = static_cast<int32_t>(std::clamp(std::ceil(a[0] + reach), 0.0, double(w)));
    const int32_t y0 = static_cast<int32_t>(std::clamp(std::floor(a[1] - reach), 0.0, double(h)));
    const int32_t y1 = static_cast<int32_t>(std::clamp(std::ceil(a[1] + reach), 0.0, double(h)));
    for (int32_t y = y0; y < y1; ++y)
      for (int32_t x = x0; x < x1; ++x) {
        const double d = std::hypot(x + 0.5 - a[0], y + 0.5 - a[1]);
        // Full inside the radius, fading to nothing over `soft` pixels (half a pixel when hard).
        const double edge = std::max(soft, 1.0);
        blend(pixel(x, y), col, (a[2] + edge / 2 - d) / edge);
      }
  } else if (c.name == "noise" && (a.size() == 1 || a.size() == 2)) {
    const int32_t amount = static_cast<int32_t>(std::clamp(a[0], 0.0, 255.0));
    Random local = a.size() == 2 ? Random(whole(a[1])) : random;
    for (int32_t y = 0; y < h; ++y)
      for (int32_t x = 0; x < w; ++x) {
        const int32_t n = amount ? int32_t(local.next() % uint32_t(2 * amount + 1)) - amount : 0;
        uint8_t* px = pixel(x, y);
        for (int k = 0; k < 3; ++k) px[k] = uint8_t(std::clamp(px[k] + n, 0, 255));
      }
    if (a.size() == 1) random = local;
  } else if (c.name == "effect" && !a.empty()) {
    std::vector<int32_t> values;
    for (size_t i = 1; i < a.size(); ++i) values.push_back(static_cast<int32_t>(std::clamp(a[i], -1e9, 1e9)));
    return run_effect(whole(a[0]), values.data(), int32_t(values.size()), im.pixels.data(), w, h);
  } else {
    return false;
  }
  return true;
}

}  // namespace

bool read_script_header(const char* path, int32_t header[8]) {
  Script script;
  if (!header || load(path, script) != ScriptResult::Ok) return false;
  std::fill(header, header + kHeaderSize, 0);
  header[0] = script.version;
  header[1] = static_cast<int32_t>(script.commands.size());
  header[2] = script.seed;
  header[4] = script.width;
  header[5] = script.height;
  return true;
}

static ScriptResult render(const Script& script, imaging::Image& out) {
  imaging::Image im;
  im.width = script.width;
  im.height = script.height;
  im.channels = 4;
  im.pixels.assign(size_t(script.width) * script.height * 4, 0);
  Random random(script.seed);
  for (const Command& c : script.commands)
    if (!run_command(c, im, random)) return ScriptResult::Failed;
  out = std::move(im);
  return ScriptResult::Ok;
}

ScriptResult render_script_text(const std::string& text, imaging::Image& out) {
  out = imaging::Image{};
  Script script;
  const ScriptResult parsed = parse(text, script);
  return parsed == ScriptResult::Ok ? render(script, out) : parsed;
}

ScriptResult render_script(const char* path, imaging::Image& out) {
  out = imaging::Image{};
  Script script;
  const ScriptResult loaded = load(path, script);
  return loaded == ScriptResult::Ok ? render(script, out) : loaded;
}

}  // namespace cvl::imagescript
