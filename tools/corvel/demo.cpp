// The demo paints a landscape at dusk through the engine's public calls only, as a
// painting program would drive it: tools set, strokes laid dab by dab along curves
// into the paint layer, merged and saved for undo, three layers with their own mix
// modes and opacity, named effects run on layers through the image-processing
// buffers (a generated texture, a texture bump, a Lua filter), each saved for undo
// as one step, and the page saved row by row.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "commands.h"
#include "corvel/corvel.h"
#include "scratch.h"
#include "strokes.h"
#include "tips.h"

namespace corvel_tool {

namespace {

constexpr int kW = 960, kH = 600;
constexpr double kHorizon = 392;
constexpr int kSky = 2, kHills = 3, kGrass = 4;

Colour sky_at(double y) {
  struct Stop {
    double y;
    Colour c;
  };
  static const Stop stops[] = {{-40, {28, 36, 104}},   {120, {62, 66, 146}},   {230, {150, 96, 156}},
                               {310, {232, 130, 104}}, {370, {252, 178, 104}}, {410, {255, 214, 140}}};
  for (size_t i = 1; i < std::size(stops); ++i)
    if (y <= stops[i].y) return mix(stops[i - 1].c, stops[i].c, (y - stops[i - 1].y) / (stops[i].y - stops[i - 1].y));
  return stops[std::size(stops) - 1].c;
}

Colour ground_at(double y) { return mix({196, 170, 104}, {70, 92, 50}, std::clamp((y - kHorizon) / 210, 0.0, 1.0)); }

// A wavy line across the canvas at height y.
std::vector<Point> across(double y, double wave, double phase) {
  std::vector<Point> pts;
  for (double x = -100; x <= kW + 100; x += 120) pts.push_back({x, y + wave * std::sin(x / 170 + phase)});
  return pts;
}

// The ridge of a hill range: a sum of slow waves around `base`.
double ridge(double x, double base, double height, double seed) {
  return base - height * (0.55 + 0.25 * std::sin(x / 140 + seed) + 0.2 * std::sin(x / 61 + 2 * seed));
}

void paint_sky_and_ground(Painter& p, std::mt19937& rng) {
  std::uniform_real_distribution<double> phase(0, 6.28), shift(-10, 10);
  p.use_layer(kSky);
  p.use_brush({"soft round", 150, 255, "", 0, 0, 0, 256, 55, 32, 256, 0.12});
  for (double y = -30; y < kHorizon + 20; y += 26) {
    const Colour c = sky_at(y);
    p.stroke(across(y, 10, phase(rng)), {mix(c, sky_at(y + shift(rng)), 0.5), sky_at(y + 12), 0.0, 0.0, 1, 85});
  }
  p.use_brush({"soft round", 120, 255, "", 0, 0, 0, 256, 60, 32, 256, 0.12});
  for (double y = kHorizon; y < kH + 60; y += 22)
    p.stroke(across(y, 6, phase(rng)), {ground_at(y), ground_at(y + 15), 0.0, 0.0, 1, 90});

  // The sun: an added glow, then its disc.
  const Point sun{700, 226};
  p.use_brush({"soft round", 150, 255, "", 0, 0, 0, 256, 22, 47, 256, 0.1});
  std::vector<Painter::Dab> glow;
  for (int i = 0; i < 10; ++i)
    glow.push_back({{sun.x + 26 * std::cos(i * 0.63), sun.y + 18 * std::sin(i * 0.63)}, 1.0, 0, {92, 58, 24}});
  p.dabs(glow, 0);
  p.use_brush({"soft round", 58, 70, "", 0, 0, 0, 256, 100, 32, 256, 0.1});
  p.dabs({{sun, 1.0, 0, {255, 244, 208}}}, 100);
}

void paint_clouds(Painter& p, std::mt19937& rng) {
  p.use_layer(kSky);
  // Clouds screened onto the sky, straight onto the layer, veiling the sun.
  p.use_brush({"soft round", 56, 255, "", 0, 0, 0, 256, 30, 34, 140, 0.1});
  std::uniform_real_distribution<double> cx(-50, kW - 150), cy(90, 270), len(160, 380);
  for (int i = 0; i < 9; ++i) {
    const double x = cx(rng), y = cy(rng), l = len(rng);
    p.stroke({{x, y}, {x + l * 0.35, y - 9}, {x + l * 0.7, y - 4}, {x + l, y + 5}},
             {{255, 196, 206}, {250, 226, 214}, 0.25, 0.35, 0.35, 0});
  }
}

void paint_hills(Painter& p) {
  p.use_layer(kHills);
  // Dry, gritty strokes following each range's ridge, then filling below it.
  p.use_brush({"grit", 46, 200, "", 2, 150, 230, 236, 85, 32, 256, 0.1});
  struct Range {
    double base, height, seed, bottom;
    Colour top, low;
  };
  const Range ranges[] = {{352, 90, 1.3, kHorizon + 24, {176, 150, 214}, {150, 128, 196}},
                          {424, 60, 4.1, kH + 30, {178, 204, 128}, {120, 156, 96}}};
  for (const Range& r : ranges)
    for (double off = 0; ridge(0, r.base, r.height, r.seed) + off < r.bottom + 60; off += 17) {
      std::vector<Point> pts;
      for (double x = -60; x <= kW + 60; x += 70) pts.push_back({x, ridge(x, r.base, r.height, r.seed) + off + 12});
      const Colour c = mix(r.top, r.low, std::min(1.0, off / 140));
      p.stroke(pts, {c, mix(c, r.low, 0.4), 0.0, 0.0, 1, 92});
    }
}

struct Blade {
  std::vector<Point> points;
  Colour base, tip;
};

std::vector<Blade> grass_blades(std::mt19937& rng) {
  std::uniform_real_distribution<double> x(-10, kW + 10), y(468, kH + 12), height(45, 125), bend(-0.6, 0.6),
      shade(0, 1);
  std::vector<Blade> blades;
  for (int i = 0; i < 260; ++i) {
    const double x0 = x(rng), y0 = y(rng), h = height(rng) * (0.6 + (y0 - 460) / 300), b = bend(rng);
    Blade blade;
    for (int k = 0; k <= 3; ++k) {
      const double t = k / 3.0;
      blade.points.push_back({x0 + b * h * t * t, y0 - h * t});
    }
    const double s = shade(rng);
    blade.base = mix({22, 48, 22}, {40, 70, 30}, s);
    blade.tip = mix({96, 150, 56}, {168, 190, 80}, s);
    blades.push_back(blade);
  }
  return blades;
}

void paint_grass_and_flowers(Painter& p, std::mt19937& rng, const std::string& bristle, const std::string& flower) {
  p.use_layer(kGrass);
  const std::vector<Blade> blades = grass_blades(rng);
  Brush bristles{"bristle", 22, 0, bristle, 0, 0, 0, 256, 100, 32, 256, 0.05, true};
  p.use_brush(bristles);
  for (const Blade& b : blades) p.stroke(b.points, {b.base, b.tip, 0.04, 0.7, 0.12, 100});

  // Light catching some blades: lightened straight onto the layer with a narrower bristle.
  bristles.size = 12;
  bristles.mix_mode = 36;
  bristles.mix_strength = 210;
  bristles.opacity = 70;
  p.use_brush(bristles);
  for (size_t i = 0; i < blades.size(); i += 4) {
    std::vector<Point> upper(blades[i].points.begin() + 1, blades[i].points.end());
    for (Point& q : upper) q.x += 1.5;
    p.stroke(upper, {{150, 190, 90}, {226, 232, 150}, 0.1, 0.6, 0.15, 0});
  }

  // Flowers stamped with the tip the engine wrote, each turned its own way.
  p.use_brush({"flower", 30, 0, flower, 0, 0, 0, 256, 100, 32, 256, 0.1});
  const Colour petals[] = {{236, 84, 118}, {250, 214, 86}, {246, 246, 240}, {170, 120, 230}};
  std::uniform_real_distribution<double> fx(20, kW - 20), fy(480, kH - 8), size(0.55, 1.0);
  std::uniform_int_distribution<int> turn(0, 71), pick(0, 3);
  std::vector<Painter::Dab> flowers, hearts;
  for (int i = 0; i < 70; ++i) {
    const Point at{fx(rng), fy(rng)};
    const double s = size(rng) * (0.6 + (at.y - 470) / 330);
    flowers.push_back({at, s, turn(rng) * 5, petals[pick(rng)]});
    hearts.push_back({at, s * 0.28, 0, {244, 170, 40}});
  }
  p.dabs(flowers, 100);
  p.use_brush({"soft round", 30, 120, "", 0, 0, 0, 256, 100, 32, 256, 0.1});
  p.dabs(hearts, 100);
}

void paint_birds(Painter& p, PaintLog& log) {
  p.use_layer(kGrass);
  p.use_brush({"soft round", 5, 90, "", 0, 0, 0, 256, 100, 32, 256, 0.2});
  // A slip of the pen, taken back the way a host offers it.
  p.stroke({{80, 80}, {300, 160}, {520, 70}}, {{220, 30, 30}, {220, 30, 30}, 0, 0, 1, 100});
  if (CVL_CanUndo()) {
    CVL_Undo();
    ++log.undos;
  }
  const Point birds[] = {{250, 150}, {292, 128}, {330, 166}, {560, 104}, {598, 118}};
  for (const Point& b : birds) {
    const double s = 0.7 + (b.x - 250) / 1200;
    p.stroke({{b.x - 16 * s, b.y - 4 * s}, {b.x - 8 * s, b.y - 8 * s}, {b.x, b.y}}, {{34, 28, 44}, {34, 28, 44}, 0.2, 0.1, 0.4, 100});
    p.stroke({{b.x, b.y}, {b.x + 8 * s, b.y - 9 * s}, {b.x + 17 * s, b.y - 5 * s}}, {{34, 28, 44}, {34, 28, 44}, 0.1, 0.2, 0.4, 100});
  }
}

// One named effect as a host asks for it: sliders in tenths, flags, colour, text.
struct Effect {
  const char* name;
  int32_t i1 = 0;
  std::array<int32_t, 6> sliders{};
  int32_t i2 = 0;
  std::array<int32_t, 6> flags{};
  Colour colour;
  std::string text;
};

// Runs `effect` on layer `slot` through the image-processing buffers and saves the
// layer for undo, as the host's effect menu would.
void apply_effect(Painter& p, int slot, const Effect& effect, int& steps) {
  p.use_layer(slot);
  const std::array<int32_t, 6>& s = effect.sliders;
  const std::array<int32_t, 6>& f = effect.flags;
  CVL_IPLImageProcess(0, effect.name, effect.i1, s[0], s[1], s[2], s[3], s[4], s[5], 0, effect.i2, f[0], f[1], f[2],
                      f[3], f[4], f[5], effect.colour.r, effect.colour.g, effect.colour.b, effect.text.c_str());
  CVL_SaveUndoBuffer(1, 0);  // nothing was stroked since the last save: the whole layer is kept
  ++steps;
}

// An example file the demo's effects use: beside the sources, where the build says,
// else under the working directory; empty when neither has it.
std::string example(const char* name) {
  std::vector<std::filesystem::path> places;
#ifdef CORVEL_EXAMPLES_DIR
  places.push_back(std::filesystem::path(CORVEL_EXAMPLES_DIR) / name);
#endif
  places.push_back(std::filesystem::path("examples") / name);
  for (const std::filesystem::path& path : places)
    if (std::filesystem::exists(path)) return path.string();
  return "";
}

}  // namespace

int run_demo(const char* out_path) {
  const std::string scratch = make_scratch_dir("corvel-demo");
  if (scratch.empty()) {
    std::fprintf(stderr, "corvel demo: cannot make a scratch directory\n");
    return 1;
  }
  CVL_SetRandomSeed(2026);
  CVL_CreateImage(nullptr, kW, kH, 160, 0);
  CVL_SetUndoLevels(16);
  CVL_SetUndoMB(128);
  bool layers = CVL_CreateLayer(1, kW, kH) != 0;
  for (int slot : {kSky, kHills, kGrass}) layers = layers && CVL_CreateLayer(slot, kW, kH) != 0;
  if (!layers) {
    std::fprintf(stderr, "corvel demo: could not create layers: %s\n", CVL_GetLastError());
    return 1;
  }
  CVL_SetLayerOptions(1, 1, 0, 100, "Normal");  // the white paper
  CVL_SetLayerOptions(kSky, 1, 0, 100, "Normal");
  CVL_SetLayerOptions(kHills, 1, 0, 85, "Multiply");
  CVL_SetLayerOptions(kGrass, 1, 0, 100, "Normal");

  const std::string bristle = write_bristle_script(scratch), flower = write_flower_png(scratch);
  if (bristle.empty() || flower.empty()) {
    std::fprintf(stderr, "corvel demo: could not write the brush tips in %s\n", scratch.c_str());
    return 1;
  }

  CVL_IPLInit(0);
  if (!CVL_IPLAllocSrcBuffer32() || !CVL_IPLAllocDstBuffer32()) {
    std::fprintf(stderr, "corvel demo: could not make the image-processing buffers: %s\n", CVL_GetLastError());
    return 1;
  }
  const std::string stone = example("scripts/noise_texture.isc"), grade = example("lua/colour_grade.lua");

  PaintLog log;
  Painter painter(log);
  std::mt19937 rng(2026);
  int effects = 0;
  paint_sky_and_ground(painter, rng);
  // A generated texture laid over the sky and ground in the generator's Overlay blend
  // (host blend 9): Perlin noise, seed 11, coarse features, four octaves.
  apply_effect(painter, kSky, {"Generate Perlin Noise", 11, {300, 500}, 9, {}, {96, 96, 96}, ""}, effects);
  paint_clouds(painter, rng);
  const PaintLog after_sky = log;
  paint_hills(painter);
  // The hills take a stony relief from an image script: effect 27's bump of the
  // tiled texture, composited in mix mode Texturize at 45 %.
  if (!stone.empty())
    apply_effect(painter, kHills, {"Texturize Bump Material", 0, {350, 600, 300, 450}, 0, {}, {}, stone}, effects);
  const PaintLog after_hills = log;
  paint_grass_and_flowers(painter, rng, bristle, flower);
  paint_birds(painter, log);
  // A Lua filter grades the grass: a firmer lightness curve and 30 % more saturation.
  if (!grade.empty()) apply_effect(painter, kGrass, {"Lua Filter", 0, {350, 300}, 0, {}, {}, grade}, effects);
  CVL_IPLFreeSrcBuffer32();
  CVL_IPLFreeDstBuffer32();

  const std::string ext = std::filesystem::path(out_path).extension().string();
  CVL_SavePageToFileRGB32(out_path, ext.c_str(), 150);
  CVL_DeleteImage();
  std::error_code ec;
  std::filesystem::remove_all(scratch, ec);
  if (!std::filesystem::exists(out_path) || std::filesystem::file_size(out_path) == 0) {
    std::fprintf(stderr, "corvel demo: could not write %s (a .png, .tga or .tif name is needed)\n", out_path);
    return 1;
  }

  std::printf("corvel demo: painted a %d x %d landscape at dusk, dab by dab\n", kW, kH);
  std::printf("  layer 2  Normal 100%%   sky and ground: %d strokes with a soft round tip, mottled by the effect\n"
              "                          \"Generate Perlin Noise\" in Overlay; clouds in brush mode Screen, the sun's\n"
              "                          glow in brush mode Add\n",
              after_sky.strokes);
  std::printf("  layer 3  Multiply 85%%  two hill ranges: %d strokes with a gritty dry-brush tip%s\n",
              after_hills.strokes - after_sky.strokes,
              stone.empty() ? "" : ", given a stony relief\n                          by \"Texturize Bump Material\" "
                                   "with examples/scripts/noise_texture.isc");
  std::printf("  layer 4  Normal 100%%   grass with a bristle tip rendered from an image script, highlights in brush\n"
              "                          mode Lighten, flowers stamped with a PNG tip the engine wrote, birds%s\n",
              grade.empty() ? ""
                            : ";\n                          graded by \"Lua Filter\" with examples/lua/colour_grade.lua");
  std::printf("  %d strokes, %ld dabs, each stroke merged from the paint layer and saved for undo; %d undone\n",
              log.strokes, log.dabs, log.undos);
  std::printf("  %d effects run through the image-processing buffers, each saved for undo as one step%s\n", effects,
              stone.empty() || grade.empty() ? " (examples/ not found: the bump or the Lua filter was left out)"
                                             : "");
  std::printf("  saved row by row (150 dpi): %s\n", std::filesystem::absolute(out_path).string().c_str());
  return 0;
}

}  // namespace corvel_tool
