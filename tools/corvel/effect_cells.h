// One named effect run on a small test picture, as the contact sheet and the
// gallery show them: the picture, the settings every cell uses and the scripts
// that effects reading a text argument are given.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace corvel_tool {

constexpr int32_t kCellW = 192, kCellH = 144;
constexpr int32_t kCellSlot = 2;  // the painting layer a cell's picture is on


using Rgba = std::vector<uint8_t>;

// Sky and ground, a sun, checks, lone dots and a soft transparent corner, as packed RGBA32.
Rgba test_picture();

// A new w x h canvas: an empty background and, current above it in kCellSlot, the
// packed RGBA32 picture.
void open_canvas_with(const uint8_t* rgba, int32_t w, int32_t h);

// Rows whose flags all start cleared, which leaves the picture alone by design; their
// cells run with the flags set.
bool wants_flags(const char* name);

// Runs effect `name` on the picture with every slider at `slider` (tenths) and `text`
// as its script path; the layer after it (or the mask, as grey, for effects that build
// the mask).
Rgba run_cell(const char* name, const char* frame, const Rgba& picture, const char* text, int32_t slider);

// As run_cell at mid-range; some tone effects are neutral exactly at 50, so those run
// again at 70. `slider` tells which was kept.
Rgba run_effect_cell(const char* name, const char* frame, const Rgba& picture, const char* text, int32_t& slider);

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
