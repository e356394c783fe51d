// corvel play: a recorded paint script painted with the engine's own brush.
// Coordinates are canvas pixels, pressures 0..1 scale the dab, colours 0..255.
// A Filter block runs a named effect over the picture painted so far; its values
// follow the effect call's own order: name, i1, sliders s1..s6 (0..100, as
// `corvel effect` takes them), option, i2, flags f1..f6, r, g, b, text.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "commands.h"
#include "corvel/corvel.h"
#include "effect_catalog.h"
#include "file_problems.h"
#include "script/paint_script_reader.h"
#include "strokes.h"
#include "watch.h"

namespace corvel_tool {

namespace {

constexpr int kPaper = 1, kInk = 2;
constexpr int kMaxBrush = 255;

struct Sample {
  double x, y, pressure;
};

class Player final : public cvl::PaintScriptSink {
 public:
  Player(const char* script_path, PaintLog& log, Watch& watch) : path_(script_path), painter_(log), watch_(watch) {
    brush_.spacing = 0.15;
    painter_.use_layer(kInk);
    painter_.use_brush(brush_);
  }
  int problems() const { return problems_; }
  int filters() const { return filters_; }

  void problem(int line, const std::string& what) override {
    std::fprintf(stderr, "%s:%d: %s\n", path_, line, what.c_str());
    ++problems_;
  }

  void command(const cvl::PaintCommand& c) override {
    std::vector<double> v;
    switch (c.op) {
      case cvl::PaintOp::DrawStart:
        if (!numbers(c, 0, 2, v)) return;
        stroke_ = {{v[0], v[1], 1.0}};
        in_stroke_ = true;
        return;
      case cvl::PaintOp::SmoothPlot2:
        if (!numbers(c, 0, 5, v)) return;
        if (!in_stroke_) return problem(c.line, "SmoothPlot2 outside a stroke");
        // The samples flagged first or last are the recorder's markers, not places.
        if (v[3] == 0 && v[4] == 0) stroke_.push_back({v[0], v[1], v[2]});
        return;
      case cvl::PaintOp::DrawStop:
        if (!in_stroke_) return problem(c.line, "DrawStop without DrawStart");
        in_stroke_ = false;
        return paint_path(stroke_);
      case cvl::PaintOp::SelectBrush: return select_brush(c);
      case cvl::PaintOp::SetBrushSize:
        if (!numbers(c, 0, 1, v)) return;
        brush_.size = std::clamp(static_cast<int>(std::lround(v[0])), 1, kMaxBrush);
        return painter_.use_brush(brush_);
      case cvl::PaintOp::SetBrushDensity:
        if (!numbers(c, 0, 1, v)) return;
        brush_.density = std::clamp(static_cast<int>(std::lround(v[0])), 0, 256);
        return painter_.use_brush(brush_);
      case cvl::PaintOp::SetBrushOpacity:
        if (!numbers(c, 0, 1, v)) return;
        brush_.opacity = std::clamp(static_cast<int>(std::lround(v[0])), 0, 100);
        return painter_.use_brush(brush_);
      case cvl::PaintOp::SetColor:
        if (!numbers(c, 0, 3, v)) return;
        colour_ = colour_of(v, 0);
        return;
      case cvl::PaintOp::SetColorBanks:
        // Four colours after the bank's name; the first becomes the paint colour.
        if (!numbers(c, 1, 13, v)) return;
        for (int k = 0; k < 4; ++k) banks_[k] = colour_of(v, size_t(k) * 3);
        colour_ = banks_[0];
        return;
      case cvl::PaintOp::Line2:
        if (!numbers(c, 0, 4, v)) return;
        return paint_path({{v[0], v[1], 1.0}, {v[2], v[3], 1.0}});
      case cvl::PaintOp::Spline:
        if (!numbers(c, 0, 8, v)) return;
        return paint_path(bezier(v));
      case cvl::PaintOp::Dab:
        if (!numbers(c, 0, 3, v)) return;
        return paint_path({{v[0], v[1], v[2]}});
      case cvl::PaintOp::Filter: return filter(c);
    }
  }

  void finish() {
    if (in_stroke_) {
      std::fprintf(stderr, "%s: the last stroke has no DrawStop; painted as it stands\n", path_);
      ++problems_;
      in_stroke_ = false;
      paint_path(stroke_);
    }
  }

 private:
  // Values first..last-1 of `c` as numbers; a bad one is reported on its own line.
  bool numbers(const cvl::PaintCommand& c, size_t first, size_t last, std::vector<double>& out) {
    out.clear();
    for (size_t i = first; i < last; ++i) {
      double d = 0;
      if (!cvl::paint_number(c.values[i], d)) {
        problem(c.line + 1 + static_cast<int>(i),
                std::string(cvl::paint_op_name(c.op)) + ": value " + std::to_string(i + 1) + " is not a number");
        return false;
      }
      out.push_back(d);
    }
    return true;
  }

  static Colour colour_of(const std::vector<double>& v, size_t at) {
    auto channel = [&](size_t i) { return std::clamp(static_cast<int>(v[at + i]), 0, 255); };
    return {channel(0), channel(1), channel(2)};
  }

  // Brush names choose a tip; a number in the second field is the tip's softness.
  void select_brush(const cvl::PaintCommand& c) {
    std::string name(c.values[0]);
    for (char& ch : name) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    brush_.softness = 0;
    brush_.grit_dot = brush_.grit_chance = brush_.grit_fill = 0;
    if (name.find("air") != std::string::npos || name.find("soft") != std::string::npos) brush_.softness = 200;
    if (name.find("chalk") != std::string::npos || name.find("pastel") != std::string::npos) {
      brush_.grit_dot = 2, brush_.grit_chance = 60, brush_.grit_fill = 128;
    }
    double softness = 0;
    if (cvl::paint_number(c.values[1], softness)) brush_.softness = std::clamp(static_cast<int>(softness), 0, 255);
    painter_.use_brush(brush_);
  }

  // The ink painted so far is flattened onto the paper, so that the effect sees the
  // whole picture, as it would on a one-layer painting; later strokes ink above it.
  void filter(const cvl::PaintCommand& c) {
    const std::string name(c.values[0]);
    if (!find_effect(name.c_str()))
      return problem(c.line + 1,
                     "Filter: unknown effect \"" + name + "\"" + did_you_mean(name) + " (see corvel effects)");
    std::vector<double> v;
    if (!numbers(c, 1, 19, v)) return;
    auto whole = [&](size_t i) { return static_cast<int32_t>(std::clamp(v[i], -2.0e8, 2.0e8)); };
    int32_t tenths[6];
    for (size_t k = 0; k < 6; ++k) tenths[k] = static_cast<int32_t>(std::lround(std::clamp(v[1 + k], -2.0e7, 2.0e7) * 10));
    int32_t flags[6];
    for (size_t k = 0; k < 6; ++k) flags[k] = whole(9 + k);
    const std::string text(c.values[19]);
    CVL_MergeLayer(kInk, kPaper);
    CVL_SetLayer(kInk);
    CVL_Clear(0, 0, 0, 0);
    CVL_SetLayer(kPaper);
    CVL_IPLAllocSrcBuffer32();
    CVL_IPLAllocDstBuffer32();
    CVL_IPLImageProcess(0, name.c_str(), whole(0), tenths[0], tenths[1], tenths[2], tenths[3], tenths[4], tenths[5],
                        whole(7), whole(8), flags[0], flags[1], flags[2], flags[3], flags[4], flags[5], whole(15),
                        whole(16), whole(17), text.c_str());
    CVL_IPLFreeSrcBuffer32();
    CVL_IPLFreeDstBuffer32();
    CVL_SaveUndoBuffer(1, 0);  // an empty stroke rectangle: the whole canvas
    painter_.use_layer(kInk);
    ++filters_;
  }

  static std::vector<Sample> bezier(const std::vector<double>& v) {
    std::vector<Sample> out;
    constexpr int kSteps = 64;
    for (int i = 0; i <= kSteps; ++i) {
      const double t = double(i) / kSteps, u = 1 - t;
      const double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
      out.push_back({a * v[0] + b * v[2] + c * v[4] + d * v[6], a * v[1] + b * v[3] + c * v[5] + d * v[7], 1.0});
    }
    return out;
  }

  // Dabs along the polyline, `spacing` of the (pressure-scaled) dab size apart, as one
  // stroke merged into the ink layer with an undo step.
  void paint_path(const std::vector<Sample>& path) {
    if (path.empty()) return;
    auto scale_of = [](double p) { return std::clamp(std::isfinite(p) ? p : 1.0, 0.05, 1.0); };
    std::vector<Painter::Dab> dabs;
    auto put = [&](double x, double y, double p) {
      dabs.push_back({{x, y}, scale_of(p), 0, colour_});
    };
    put(path[0].x, path[0].y, path[0].pressure);
    double since = 0;  // path walked since the last dab
    for (size_t i = 1; i < path.size(); ++i) {
      const Sample &a = path[i - 1], &b = path[i];
      const double length = std::hypot(b.x - a.x, b.y - a.y);
      double at = -since;  // where the last dab lies, measured along this segment
      while (true) {
        const double t = length > 0 ? std::max(at, 0.0) / length : 1;
        const double p = a.pressure + (b.pressure - a.pressure) * std::min(t, 1.0);
        const double step = std::max(1.0, brush_.size * scale_of(p) * brush_.spacing);
        if (at + step > length) {
          since = length - at;
          break;
        }
        at += step;
        const double s = at / length;
        put(a.x + (b.x - a.x) * s, a.y + (b.y - a.y) * s, a.pressure + (b.pressure - a.pressure) * s);
      }
      if (dabs.size() > 1000000) break;  // a runaway script is cut, not left to fill memory
    }
    painter_.dabs(dabs, 100);
    watch_.step(++paths_);
  }

  const char* path_;
  Painter painter_;
  Brush brush_;
  Colour colour_{0, 0, 0};
  Colour banks_[4];
  std::vector<Sample> stroke_;
  bool in_stroke_ = false;
  int problems_ = 0;
  int filters_ = 0;
  Watch& watch_;
  size_t paths_ = 0;
};

bool parse_size(const char* text, int& w, int& h) {
  char x = 0, tail = 0;
  return std::sscanf(text, "%d%c%d%c", &w, &x, &h, &tail) == 3 && (x == 'x' || x == 'X') && w > 0 && h > 0 &&
         w <= 10000 && h <= 10000;
}

int bad(const char* option, const char* why) {
  std::fprintf(stderr, "corvel play: %s: %s\n", option, why);
  return 2;
}

}  // namespace

int run_play(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "corvel play: needs SCRIPT OUT before its options\n");
    return 2;
  }
  const char* script = argv[0];
  const char* out_path = argv[1];
  int w = 0, h = 0;
  const char* background = nullptr;
  bool keep_going = false;
  for (int i = 2; i < argc; ++i) {
    const std::string opt = argv[i];
    if (opt == "--keep-going") {
      keep_going = true;
      continue;
    }
    if (opt != "--size" && opt != "--background") return bad(argv[i], "not an option of corvel play");
    if (i + 1 >= argc) return bad(argv[i], "needs a value");
    const char* value = argv[++i];
    if (opt == "--background") background = value;
    else if (!parse_size(value, w, h)) {
      std::fprintf(stderr, "corvel play: --size %s: needs WxH, each a whole number from 1 to 10000\n", value);
      return 2;
    }
  }
  if (!writable(out_path, ".png .jpg .bmp")) return 1;
  if (const std::string why = unreadable_file(script); !why.empty()) {
    std::fprintf(stderr, "corvel play: cannot read %s: %s\n", script, why.c_str());
    return 1;
  }
  std::ifstream in(script, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "corvel play: cannot read %s\n", script);
    return 1;
  }
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};

  Picture paper;
  if (background && !read_picture(background, paper)) return 1;
  if (background && w && (w != paper.width || h != paper.height)) {
    std::fprintf(stderr, "corvel play: the background is %d x %d, not the --size given\n", paper.width, paper.height);
    return 1;
  }
  if (background) w = paper.width, h = paper.height;
  if (!w) w = 640, h = 480;

  CVL_IPLInit(0);
  CVL_CreateImage(nullptr, w, h, kMaxBrush + 1, 0);
  CVL_SetUndoLevels(4);
  if (!CVL_CreateLayer(kPaper, w, h) || !CVL_CreateLayer(kInk, w, h)) {
    std::fprintf(stderr, "corvel play: cannot make a %d x %d canvas: %s\n", w, h, CVL_GetLastError());
    CVL_DeleteImage();
    return 1;
  }
  if (background) {
    CVL_ReadFromFile(background);
    CVL_SetLayer(kPaper);
    CVL_SetInNewRGBA();
    CVL_DeleteNewRGBA();
  }
  CVL_SetLayerOptions(kPaper, 1, 0, 100, "Normal");
  CVL_SetLayerOptions(kInk, 1, 0, 100, "Normal");

  PaintLog log;
  Watch watch(std::string("corvel play ") + script, "strokes");
  Player player(script, log, watch);
  cvl::read_paint_script(text, player);
  player.finish();
  watch.stop();
  if (player.problems() && !keep_going) {
    CVL_DeleteImage();
    std::fprintf(stderr, "corvel play: %s has %d problem%s; %s not written (--keep-going paints past them)\n", script,
                 player.problems(), player.problems() == 1 ? "" : "s", out_path);
    return 1;
  }

  std::string ext = std::filesystem::path(out_path).extension().string();
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  std::error_code ec;
  std::filesystem::remove(out_path, ec);
  CVL_SetLastError("");
  CVL_SavePageToFileRGB24(out_path, ext.c_str(), 72);
  CVL_DeleteImage();
  if (!std::filesystem::exists(out_path)) {
    const std::string reason = engine_reason();
    std::fprintf(stderr, "corvel play: cannot write %s: %s\n", out_path,
                 reason.empty() ? "the engine's writer failed" : reason.c_str());
    return 1;
  }
  std::printf("%s: %d strokes, %ld dabs, %d filters, %d problems -> %s\n", script, log.strokes, log.dabs,
              player.filters(), player.problems(), out_path);
  return 0;
}

}  // namespace corvel_tool
