// What each named effect does and what its arguments mean, for hosts that build
// a panel for it: a line on the effect, and for every argument it reads a short
// name, unit, range, default and a line on its meaning. The effect rows and the
// descriptions are checked against each other (`effect_doc` finds every row's).
#pragma once

#include <string_view>
#include <vector>

#include "effects/effect_frames.h"

namespace cvl {

struct EffectRow;

// One argument of an effect call.
struct ArgDoc {
  const char* arg;      // "s1".."s6", "option", "i1", "i2", "f1".."f6", "colour" or "text"
  const char* name;     // short name shown beside the control ("Radius", "Angle", "Centre X")
  const char* unit;     // unit of the value after decoding ("px", "degrees", "%"); "" for a plain number
  double min, max;      // the range a host offers; sliders in slider units (the call takes tenths)
  double def;           // a default that shows the effect plainly (the gallery and sheets use it)
  const char* meaning;  // one line: what the value does, and where it does nothing
};

struct EffectDoc {
  const char* name;         // the effect's exact name
  const char* description;  // one line: what the effect does to the picture
  std::vector<ArgDoc> args;  // the arguments it reads, sliders first, in call order
};

// Every description, in no particular order; each family of effects adds its own.
const std::vector<EffectDoc>& effect_docs();
// The description of the row, or null when it has none.
const EffectDoc* effect_doc(const EffectRow& row);

// The families' parts of the table.
const std::vector<EffectDoc>& effect_docs_art_tone();         // painting looks, blurs, tone and colour
const std::vector<EffectDoc>& effect_docs_distort_noise();    // distortions, masks, tiles, noise
const std::vector<EffectDoc>& effect_docs_relief_generate();  // sharpening, relief, rank filters, generators, textures

}  // namespace cvl
