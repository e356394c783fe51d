// Effect rows of the blur family, on the imaging library's filters.
#include "imaging/gaussian_blur.h"
#include "ipl/effect_rows_imaging.h"

namespace cvl {
namespace {

imaging::ImageView canvas_view(const EffectCall& call, uint8_t* image) {
  return {image, call.width, call.height, 4, call.stride()};
}

// The premultiplied source blurred into the destination, every channel.
bool blur_src_into_dst(const EffectCall& call, double sigma) {
  return imaging::gaussian_blur(canvas_view(call, call.src), canvas_view(call, call.dst), float(sigma), 15);
}

}  // namespace

int32_t row_gaussian_blur(const EffectCall& call) {
  return frame_p(call, [&] { return blur_src_into_dst(call, gaussian_sigma(call)); });
}

// A soft glow: the layer's own blur laid over it in Overlay mode. The blur is
// taken premultiplied (so transparent pixels lend no colour) and un-premultiplied
// before it is composited, as the compositor expects straight alpha.
int32_t row_radiant(const EffectCall& call) {
  refresh(call);
  premultiply(call, call.src);
  if (!blur_src_into_dst(call, blur_sigma(call.s[0]))) return 0;
  unpremultiply(call, call.dst);
  composite(call, call.dst, mix::kOverlay, trunc_i(call.s[1] * 2.5));
  return 1;
}

}  // namespace cvl
