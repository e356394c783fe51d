// The vocabulary of named image effects: one row per name, in the order the
// names are tested, with the frame each runs in, the arguments it reads and the
// function that runs it.
#pragma once

#include <cstdint>
#include <span>

#include "effects/effect_frames.h"

namespace cvl {

// Runs one effect; the result is not relied on by hosts.
using EffectHandler = int32_t (*)(const EffectCall& call);

struct EffectRow {
  const char* name;
  Frame frame;
  const char* reads;    // the arguments the effect reads, as hosts document them ("all": every one)
  EffectHandler run;    // null while the effect is not built: the name is known and does nothing
};

std::span<const EffectRow> effect_rows();

// The row whose name equals `name` exactly (case and every character), else null.
const EffectRow* find_effect_row(const char* name);

}  // namespace cvl
