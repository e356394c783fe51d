#include "brush/brush_mix.h"

namespace cvl {

MixKernel select_mix_kernel(int32_t mode, bool blending, bool erasing) {
  if (mode < kBrushMixFirstHigh) {
    if (blending && mode == kBrushMixNormal) return MixKernel::LowBlend;
    if (erasing) return MixKernel::LowErase;
    return mode == kBrushMixNormal ? MixKernel::LowNormal : MixKernel::LowMultiply;
  }
  if (mode <= 48) return static_cast<MixKernel>(static_cast<int>(MixKernel::Screen) + (mode - 34));
  if (mode >= 249 && mode <= 262) return static_cast<MixKernel>(static_cast<int>(MixKernel::Bank249) + (mode - 249));
  if (mode == 295) return MixKernel::Shift295;
  if (mode == 340) return MixKernel::Grey340;
  return MixKernel::Source;
}

MixResult mix_pixel_generic(int32_t mode, const MixContext& ctx, const uint32_t s[4], uint32_t v, const uint32_t d[4]) {
  return with_kernel(select_mix_kernel(mode, ctx.blending, ctx.erasing),
                     [&](auto k) { return mix_pixel<decltype(k)::value>(ctx, s, v, d); });
}

}  // namespace cvl
