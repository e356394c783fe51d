// `corvel gallery DIR`: every named effect, every layer mix mode and every brush
// mix mode rendered on the effect test picture, one PNG each, and an index.html
// that shows them as thumbnails with their names, the settings used and the time
// each took.
#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "commands.h"
#include "corvel/corvel.h"
#include "effect_catalog.h"
#include "effect_cells.h"
#include "layers/mix_mode_names.h"
#include "strokes.h"
#include "watch.h"

namespace corvel_tool {

namespace {

struct Tile {
  std::string name, settings, file;
  double ms = 0;
};

struct Section {
  const char* title;
  const char* about;
  std::vector<Tile> tiles;
};

using Clock = std::chrono::steady_clock;

// Pictures made so far, for the progress line.
struct Progress {
  Watch& watch;
  size_t total, done = 0;
  void next() { watch.step(++done, total); }
};

double ms_since(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::string slug(size_t index, const std::string& name) {
  char head[16];
  std::snprintf(head, sizeof head, "%03zu-", index);
  std::string out = head;
  for (char c : name) {
    if (std::isalnum(static_cast<unsigned char>(c))) out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    else if (out.back() != '-') out += '-';
  }
  return out + ".png";
}

bool save(const std::filesystem::path& dir, const std::string& file, const Rgba& pixels) {
  return write_rgba(pixels.data(), kCellW, kCellH, true, (dir / file).string().c_str(), 96);
}

Section effect_tiles(const std::filesystem::path& dir, const Rgba& picture, Progress& progress, bool& ok) {
  Section s{"Effects",
            "Each named effect on the test picture with its described defaults; effects without a description "
            "with every slider at mid-range (70 where 50 changes nothing).",
            {}};
  const CellScripts scripts;
  for (const Effect& e : effects_catalog()) {
    const char* text = scripts.text_for(e.frame.c_str(), e.reads.c_str());
    const auto start = Clock::now();
    CellSettings used;
    const Rgba cell = run_effect_cell(e, picture, text, used);
    std::string settings = settings_text(e, used);
    if (*text) settings += std::string("; ") + scripts.kind_of(text);
    Tile t{e.name, settings, "effects/" + slug(size_t(e.index), e.name), ms_since(start)};
    if (cell == picture) t.settings += "; left the picture unchanged";
    ok = save(dir, t.file, cell) && ok;
    s.tiles.push_back(std::move(t));
    progress.next();
  }
  return s;
}

// A colour wheel fading out toward the bottom, as the upper layer of every layer mode.
Rgba overlay_picture() {
  Rgba out(size_t(kCellW) * kCellH * 4);
  for (int32_t y = 0; y < kCellH; ++y)
    for (int32_t x = 0; x < kCellW; ++x) {
      uint8_t* p = &out[(size_t(y) * kCellW + x) * 4];
      const double hue = 6.0 * x / kCellW;
      for (int c = 0; c < 3; ++c) {
        const double d = std::fabs(std::fmod(hue + 6 - 2 * c, 6.0) - 3.0);  // 0 at this channel's hue
        p[c] = static_cast<uint8_t>(std::clamp(255.0 * (2.0 - d), 0.0, 255.0));
      }
      p[3] = static_cast<uint8_t>(255 - y * 200 / kCellH);
    }
  return out;
}

Section layer_tiles(const std::filesystem::path& dir, const Rgba& picture, Progress& progress, bool& ok) {
  Section s{"Layer mix modes", "A colour ramp fading downward, over the test picture in each mode at full opacity.", {}};
  const Rgba top = overlay_picture();
  std::vector<uint16_t> merged(size_t(kCellW) * kCellH * 4);
  for (int32_t mode = 0; mode < cvl::kMixModeCount; ++mode) {
    const char* name = cvl::mode_name(mode);
    const auto start = Clock::now();
    open_canvas_with(top.data(), kCellW, kCellH);
    CVL_LoadRGBA32Layer(picture.data(), kCellW * 4, 1, 0, 0, kCellW, kCellH, 0);
    CVL_SetLayerOptions(1, 1, 0, 100, "Normal");
    CVL_SetLayerOptions(kCellSlot, 1, 0, 100, name);
    CVL_Merge(merged.data());
    CVL_DeleteImage();
    const double ms = ms_since(start);
    Rgba cell(merged.size());
    for (size_t k = 0; k < merged.size(); ++k) cell[k] = static_cast<uint8_t>(merged[k] >> 8);
    Tile t{std::to_string(mode) + " " + (*name ? name : "(no name: set by name, it is Normal)"),
           "opacity 100%", "layers/" + slug(size_t(mode), *name ? name : "unnamed"), ms};
    ok = save(dir, t.file, cell) && ok;
    s.tiles.push_back(std::move(t));
    progress.next();
  }
  return s;
}

struct BrushMode {
  int mode;
  const char* name;
};

// Every brush mode a host uses: 32 normal, 33 for all the multiplying numbers below 34.
constexpr BrushMode kBrushModes[] = {
    {32, "normal"}, {33, "multiply"}, {34, "screen"}, {35, "darken"}, {36, "lighten"}, {37, "difference"},
    {38, "negation"}, {39, "exclusion"}, {40, "overlay"}, {41, "hard light"}, {42, "soft light"},
    {43, "colour dodge"}, {44, "colour burn"}, {45, "reflect"}, {46, "glow"}, {47, "add"}, {48, "subtract"},
    {249, "two banks by lightness"}, {250, "three banks"}, {251, "four banks"}, {252, "bank gradient"},
    {253, "bank 0 in the dark, random"}, {254, "bank 0 in the light, random"}, {255, "banks 0 and 1 at the ends"},
    {256, "paint over light"}, {257, "paint over dark"}, {258, "paint over mid-tones"}, {259, "bank 0 in deep shadow"},
    {260, "bank 0 in highlights"}, {261, "posterise 4"}, {262, "posterise 3"}, {295, "bit shift"},
    {340, "grey by lightness"},
};

Section brush_tiles(const std::filesystem::path& dir, const Rgba& picture, Progress& progress, bool& ok) {
  Section s{"Brush mix modes",
            "One soft stroke from orange to violet painted straight onto the test picture in each mode, strength 200; "
            "banks are red, green, blue and yellow.",
            {}};
  PaintLog log;
  const std::vector<Point> path = {{12, 100}, {50, 40}, {96, 80}, {140, 30}, {180, 90}};
  StrokeStyle style;
  style.from = {250, 140, 20};
  style.to = {120, 40, 220};
  style.stroke_opacity = 0;  // straight onto the layer, so the mode meets the picture
  for (size_t i = 0; i < std::size(kBrushModes); ++i) {
    const BrushMode& m = kBrushModes[i];
    const auto start = Clock::now();
    CVL_SetRandomSeed(1);
    open_canvas_with(picture.data(), kCellW, kCellH);
    CVL_SetColorBanks(220, 30, 30, 30, 200, 60, 40, 60, 230, 240, 220, 40);
    Painter painter(log);
    painter.use_layer(kCellSlot);
    Brush brush;
    brush.size = 28;
    brush.softness = 120;
    brush.mix_mode = m.mode;
    brush.mix_strength = 200;
    painter.use_brush(brush);
    painter.stroke(path, style);
    Rgba cell(picture.size());
    CVL_GetRGBA32Layer(cell.data(), kCellW * 4, kCellSlot);
    CVL_DeleteImage();
    Tile t{std::to_string(m.mode) + " " + m.name, "size 28, softness 120, strength 200",
           "brushes/" + slug(i, std::to_string(m.mode) + " " + m.name), ms_since(start)};
    ok = save(dir, t.file, cell) && ok;
    s.tiles.push_back(std::move(t));
    progress.next();
  }
  return s;
}

std::string html_text(const std::string& s) {
  std::string out;
  for (char c : s) {
    if (c == '&') out += "&amp;";
    else if (c == '<') out += "&lt;";
    else if (c == '>') out += "&gt;";
    else if (c == '"') out += "&quot;";
    else out += c;
  }
  return out;
}

bool write_index(const std::filesystem::path& dir, const std::vector<Section>& sections, double total_ms) {
  std::ofstream out(dir / "index.html", std::ios::binary);
  out << "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>corvel gallery</title>\n"
         "<style>\n"
         "body { font: 13px/1.3 sans-serif; margin: 16px; background: #f4f4f2; color: #222; }\n"
         "h1 { font-size: 20px; } h2 { font-size: 16px; margin-top: 28px; }\n"
         ".grid { display: grid; grid-template-columns: repeat(auto-fill, " << kCellW + 12 << "px); gap: 10px; }\n"
         "figure { margin: 0; padding: 6px; background: #fff; border: 1px solid #ddd; }\n"
         "img { display: block; width: " << kCellW << "px; height: " << kCellH << "px;\n"
         "  background: repeating-conic-gradient(#c8c8c8 0 25%, #969696 0 50%) 0 0 / 16px 16px; }\n"
         "figcaption b { display: block; margin-top: 4px; }\n"
         "figcaption span { display: block; color: #666; font-size: 11px; }\n"
         "</style>\n</head>\n<body>\n<h1>corvel gallery</h1>\n";
  size_t count = 0;
  for (const Section& s : sections) count += s.tiles.size();
  char line[160];
  std::snprintf(line, sizeof line, "<p>%zu pictures of %d &times; %d pixels, rendered in %.0f ms.</p>\n", count, kCellW,
                kCellH, total_ms);
  out << line;
  for (const Section& s : sections) {
    out << "<h2>" << html_text(s.title) << " (" << s.tiles.size() << ")</h2>\n<p>" << html_text(s.about)
        << "</p>\n<div class=\"grid\">\n";
    for (const Tile& t : s.tiles) {
      std::snprintf(line, sizeof line, "%.2f ms", t.ms);
      out << "<figure><img src=\"" << html_text(t.file) << "\" alt=\"" << html_text(t.name) << "\" width=\"" << kCellW
          << "\" height=\"" << kCellH << "\"><figcaption><b>" << html_text(t.name) << "</b><span>"
          << html_text(t.settings) << "</span><span>" << line << "</span></figcaption></figure>\n";
    }
    out << "</div>\n";
  }
  out << "</body>\n</html>\n";
  return static_cast<bool>(out);
}

}  // namespace

int run_gallery(const char* dir_path) {
  const std::filesystem::path dir(dir_path);
  std::error_code ec;
  for (const char* sub : {"effects", "layers", "brushes"}) std::filesystem::create_directories(dir / sub, ec);
  if (ec) {
    std::fprintf(stderr, "corvel gallery: cannot make %s: %s\n", dir_path, ec.message().c_str());
    return 1;
  }
  CVL_IPLInit(0);
  const auto start = Clock::now();
  const Rgba picture = test_picture();
  bool ok = true;
  Watch watch("corvel gallery", "pictures");
  Progress progress{watch, effects_catalog().size() + size_t(cvl::kMixModeCount) + std::size(kBrushModes)};
  std::vector<Section> sections;
  sections.push_back(effect_tiles(dir, picture, progress, ok));
  sections.push_back(layer_tiles(dir, picture, progress, ok));
  sections.push_back(brush_tiles(dir, picture, progress, ok));
  watch.stop();
  const double total = ms_since(start);
  if (!write_index(dir, sections, total) || !ok) {
    std::fprintf(stderr, "corvel gallery: cannot write into %s\n", dir_path);
    return 1;
  }
  std::printf("%zu effects, %zu layer mix modes, %zu brush mix modes in %.1f s -> %s\n", sections[0].tiles.size(),
              sections[1].tiles.size(), sections[2].tiles.size(), total / 1000, (dir / "index.html").string().c_str());
  return 0;
}

}  // namespace corvel_tool
