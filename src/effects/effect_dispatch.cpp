#include "effects/effect_dispatch.h"

#include "core/engine.h"
#include "core/tool_settings.h"
#include "effects/effect_table.h"
#include "layers/ipl_images.h"

namespace cvl {
namespace {

EffectCall decode(const EffectRequest& request, Engine& canvas, const ToolSettings& tool, uint8_t* src,
                  uint8_t* dst) {
  EffectCall call;
  call.i1 = request.i1;
  for (int k = 0; k < 6; ++k) {
    call.S[k] = request.sliders[k];
    call.s[k] = static_cast<float>(request.sliders[k]) / 10.0f;
    call.f[k] = request.flags[k];
  }
  call.option = request.option;
  call.i2 = request.i2;
  call.r = request.r;
  call.g = request.g;
  call.b = request.b;
  call.text = request.text;
  call.width = canvas.canvas_width;
  call.height = canvas.canvas_height;
  call.src = src;
  call.dst = dst;
  call.canvas = &canvas;
  call.tool = &tool;
  return call;
}

// Frees the 24-bit working images however the effect ends.
struct FreeRgb24OnExit {
  Engine& canvas;
  ~FreeRgb24OnExit() {
    ipl_free(canvas, IplBuffer::Src24);
    ipl_free(canvas, IplBuffer::Dst24);
  }
};

}  // namespace

int32_t image_process(Engine& canvas, const ToolSettings& tool, const EffectRequest& request, FailureCause& why) {
  uint8_t* src = ipl_buffer(canvas, IplBuffer::Src32);
  uint8_t* dst = ipl_buffer(canvas, IplBuffer::Dst32);
  if (!src || !dst) {
    why = "no RGBA32 working buffers (CVL_IPLAllocSrcBuffer32 and CVL_IPLAllocDstBuffer32 come first)";
    return 0;
  }
  const FreeRgb24OnExit free_rgb24_on_exit{canvas};
  const EffectCall call = decode(request, canvas, tool, src, dst);
  const EffectRow* row = find_effect_row(request.name);
  if (!row || !row->run) {
    why = std::string("no effect named \"") + (request.name ? request.name : "") + "\" (names are exact)";
    return 0;
  }
  return row->run(call);
}

}  // namespace cvl
