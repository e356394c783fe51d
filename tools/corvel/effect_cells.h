// One named effect run on a small test picture, as the contact sheet and the
// gallery show them: the picture, the settings every cell uses and the scripts
// that effects reading a text argument are given.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace corvel_tool {

struct Effect;

constexpr int32_t kCellW = 192, kCellH = 144;
constexpr int32_t kCellSlot = 2;  // the painting layer a cell's picture is on


using Rgba = std::vector<uint8_t>;

// Sky and ground, a sun, checks, lone dots and a soft transparent corner, as packed RGBA32.
Rgba test_picture();

// A new w x h canvas: an empty background and, current above it in kCellSlot, the
// packed RGBA32 picture.
void open_canvas_with(const uint8_t* rgba, int32_t w, int32_t h);

// The arguments a cell runs an effect with.
struct CellSettings {
  bool described = false;  // the effect's described defaults, rather than every slider at one value
  int32_t sliders[6] = {};  // tenths, as the engine takes them
  int32_t option = 0, i1 = 1, i2 = 1;
  int32_t flags[6] = {};
  int32_t rgb[3] = {128, 64, 200};
};

// Every slider at `slider` tenths; the flags set for rows whose flags all start cleared
// (which leaves the picture alone by design).
CellSettings even_settings(const Effect& e, int32_t slider);
// The effect's described defaults over even_settings at mid-range; false when it has none.
bool described_settings(const Effect& e, CellSettings& out);

// Runs the effect on the picture with `s` and `text` as its script path; the layer after
// it (or the mask, as grey, for effects that build the mask).
Rgba run_cell(const Effect& e, const Rgba& picture, const char* text, const CellSettings& s);

// The described defaults when the effect has them, else every slider at mid-range;
// a cell that left the picture as it was runs again at 50, then 70 (some tone effects
// are neutral exactly at 50). `used` tells which was kept.
Rgba run_effect_cell(const Effect& e, const Rgba& picture, const char* text, CellSettings& used);

// The settings for a caption: "Radius 12 px, Angle 45 degrees; f1 on" from the
// descriptions, else "s1, s2 at 50".
std::string settings_text(const Effect& e, const CellSettings& s);

// A temporary file holding `contents`, its name ending in `suffix`, removed with
// the object; the path is empty when it could not be written.
struct TempFile {
  std::string dir, path;  // the file's own scratch folder, removed with it
  TempFile(const char* contents, const char* suffix);
  ~TempFile();
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
};

// The scripts the cells hand to effects that read a text: a Lua filter that turns
// each pixel's channels round, and an image script of red bricks.
class CellScripts {
 public:
  CellScripts();
  // The path an effect of this frame and "reads" text is given ("" for none).
  const char* text_for(const char* frame, const char* reads) const;
  // "Lua script", "brick image script" or "" for a path text_for gave.
  const char* kind_of(const char* text) const;

 private:
  TempFile lua_, bricks_;
};

}  // namespace corvel_tool
