#include "effects.h"

#include "corvel/corvel.h"

namespace corvel_paint {

namespace {

// A few effects a painter reaches for, with settings that read well at any zoom.
const EffectPreset kEffects[] = {
    {"Gaussian Blur", {30}},
    {"Sharpen", {500}},
    {"Oil Paint", {300, 500}},
    {"Emboss", {500, 500, 500}},
    {"Negative", {}},
    {"Grayscale", {}},
};

}  // namespace

const EffectPreset* effect_presets(int& count) {
  count = static_cast<int>(sizeof kEffects / sizeof kEffects[0]);
  return kEffects;
}

bool apply_effect(const EffectPreset& e, int slot) {
  if (CVL_GetLayerNum() != slot) CVL_SetLayer(slot);  // also refreshes undo's copy of it
  // The source is filled from the current layer; the effect writes its result back
  // into that layer, so the under-layer copy undo keeps is still the state before it.
  const bool buffers = CVL_IPLAllocSrcBuffer32() && CVL_IPLAllocDstBuffer32();
  const int* s = e.sliders;
  const bool ran = buffers && CVL_IPLImageProcess(0, e.name, 0, s[0], s[1], s[2], s[3], s[4], s[5], 0, 0, 0, 0,
                                                  0, 0, 0, 0, 0, 0, 0, "") != 0;
  CVL_IPLFreeSrcBuffer32();
  CVL_IPLFreeDstBuffer32();
  // An empty stroke rectangle makes the record cover the whole canvas.
  if (ran) CVL_SaveUndoBuffer(1, 0);
  return ran;
}

}  // namespace corvel_paint
