// Host-side painting helpers for the demo: brushes set up through the engine's tool
// calls, and strokes placed dab by dab along smooth curves, as a painting program's
// pen handling would place them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace corvel_tool {

struct Point {
  double x = 0, y = 0;
};

struct Colour {
  int r = 0, g = 0, b = 0;
};

Colour mix(Colour a, Colour b, double t);

// A brush as the host describes it to the engine.
struct Brush {
  std::string name;
  int size = 32;             // tip edge in pixels
  int softness = 0;          // round tip's soft edge, 0..255
  std::string tip;           // image or script path; empty for the round tip
  int grit_dot = 0;          // grit dot size; 0 = no grit
  int grit_chance = 0;
  int grit_fill = 0;
  int density = 256;         // grit bytes below this paint
  int opacity = 100;         // percent, per dab
  int mix_mode = 32;         // brush mix mode
  int mix_strength = 256;
  double spacing = 0.15;     // dab distance as a share of the dab size
  bool follow_direction = false;  // turn the tip along the stroke
};

// How one stroke is laid down.
struct StrokeStyle {
  Colour from, to;            // colour along the stroke
  double taper_in = 0.1;      // share of the length over which the dab size grows
  double taper_out = 0.2;     // share over which it shrinks again
  double min_scale = 0.3;     // dab size at the very ends, as a share of the brush
  int stroke_opacity = 100;   // paint layer opacity; 0 paints straight onto the layer
  const char* stroke_mode = "Normal";  // paint layer mix mode
};

// Counts what the demo did, for its report.
struct PaintLog {
  int strokes = 0;
  long dabs = 0;
  int undos = 0;
};

class Painter {
 public:
  explicit Painter(PaintLog& log) : log_(log) {}

  void use_layer(int slot);
  void use_brush(const Brush& brush);
  // One stroke along the curve through `points` (a Catmull-Rom spline), merged into the
  // current layer and saved for undo at its end.
  void stroke(const std::vector<Point>& points, const StrokeStyle& style);
  // Single dabs at given centres, sizes (share of the brush) and angles, as one stroke.
  struct Dab {
    Point at;
    double scale = 1;
    int angle = 0;
    Colour colour;
  };
  void dabs(const std::vector<Dab>& dabs, int stroke_opacity, const char* stroke_mode = "Normal");

 private:
  void begin(int stroke_opacity, const char* stroke_mode);
  void put(const Point& p, double scale, int angle, Colour c);
  void end(int stroke_opacity);

  PaintLog& log_;
  Brush brush_;
  int slot_ = 2;
};

// Points of the Catmull-Rom curve through `points`, about `step` pixels apart.
std::vector<Point> sample_curve(const std::vector<Point>& points, double step);

}  // namespace corvel_tool
