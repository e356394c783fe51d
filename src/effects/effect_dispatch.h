// The single entry for named image effects.
#pragma once

#include <cstdint>

#include "core/last_error.h"

namespace cvl {

struct Engine;
struct ToolSettings;

// The host's arguments as passed: sliders in tenths, flags and colour as integers.
struct EffectRequest {
  const char* name = nullptr;
  int32_t i1 = 0;
  int32_t sliders[6] = {};
  int32_t option = 0;
  int32_t i2 = 0;
  int32_t flags[6] = {};
  int32_t r = 0, g = 0, b = 0;
  const char* text = nullptr;
};

// Runs the effect whose name matches exactly on the IPL images and current layer
// of `canvas`. Returns 0 at once, changing nothing, when either 32-bit IPL buffer
// is missing; otherwise the effect's result (0 for an unknown or unbuilt name).
// The 24-bit IPL buffers are freed on every return after that point, also when
// the effect throws.
// `why` says why nothing ran: no working buffers, or no effect of that name.
int32_t image_process(Engine& canvas, const ToolSettings& tool, const EffectRequest& request, FailureCause& why);

}  // namespace cvl
