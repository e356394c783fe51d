// The effect key: a short list of the engine's named image effects, one of which is
// chosen at a time and applied to the current layer as one undoable step.
#pragma once

namespace corvel_paint {

struct EffectPreset {
  const char* name;     // the engine's effect name, exactly
  int sliders[6] = {};  // in tenths, as CVL_IPLImageProcess takes them
};

const EffectPreset* effect_presets(int& count);

// Runs the effect over the layer in `slot` through the engine's image buffers and saves
// the whole layer for undo. False (with nothing recorded) when the buffers could not be
// made or the engine refused the effect; CVL_GetLastError says why.
bool apply_effect(const EffectPreset& effect, int slot);

}  // namespace corvel_paint
