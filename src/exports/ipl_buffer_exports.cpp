// The image-processing working images: allocation, refill, caller copies.
#include "corvel/corvel.h"
#include "core/guard.h"
#include "core/engine.h"
#include "layers/ipl_images.h"
#include "mask/mask_alpha.h"

using namespace cvl;

extern "C" {

// Our imaging library needs no start-up or shut-down; the calls stay for hosts.
CVL_API void CVL_CALL CVL_IPLInit(int32_t) {}
CVL_API void CVL_CALL CVL_IPLExit(void) {}

CVL_API uint8_t* CVL_CALL CVL_IPLAllocSrcBuffer32(void) {
  return guarded("IPLAllocSrcBuffer32 Excpt", static_cast<uint8_t*>(nullptr), [] { return ipl_alloc(engine(), IplBuffer::Src32); });
}
CVL_API uint8_t* CVL_CALL CVL_IPLUpdateSrcBuffer32(void) {
  return guarded("IPLAllocSrcBuffer32 Excpt", static_cast<uint8_t*>(nullptr), [] { return ipl_update_src32(engine()); });
}
CVL_API void CVL_CALL CVL_IPLSetSrcBuffer32(const uint8_t* src) {
  guarded("IPLSetSrcBuffer32 Excpt", [&] { ipl_set(engine(), IplBuffer::Src32, src); });
}
CVL_API void CVL_CALL CVL_IPLFreeSrcBuffer32(void) {
  guarded("IPLFreeSrcBuffer32 Excpt", [] { ipl_free(engine(), IplBuffer::Src32); });
}

CVL_API uint8_t* CVL_CALL CVL_IPLAllocDstBuffer32(void) {
  return guarded("IPLAllocDstBuffer32 Excpt", static_cast<uint8_t*>(nullptr), [] { return ipl_alloc(engine(), IplBuffer::Dst32); });
}
CVL_API void CVL_CALL CVL_IPLSetDstBuffer32(const uint8_t* src) {
  guarded("IPLSetDstBuffer32 Excpt", [&] { ipl_set(engine(), IplBuffer::Dst32, src); });
}
CVL_API void CVL_CALL CVL_IPLFreeDstBuffer32(void) {
  guarded("IPLFreeDstBuffer32 Excpt", [] { ipl_free(engine(), IplBuffer::Dst32); });
}

CVL_API uint8_t* CVL_CALL CVL_IPLAllocSrcBuffer24(void) {
  return guarded("IPLAllocSrcBuffer24 Excpt", static_cast<uint8_t*>(nullptr), [] { return ipl_alloc(engine(), IplBuffer::Src24); });
}
CVL_API void CVL_CALL CVL_IPLFreeSrcBuffer24(void) {
  guarded("IPLFreeSrcBuffer24 Excpt", [] { ipl_free(engine(), IplBuffer::Src24); });
}
CVL_API uint8_t* CVL_CALL CVL_IPLAllocDstBuffer24(void) {
  return guarded("IPLAllocDstBuffer24 Excpt", static_cast<uint8_t*>(nullptr), [] { return ipl_alloc(engine(), IplBuffer::Dst24); });
}
CVL_API void CVL_CALL CVL_IPLFreeDstBuffer24(void) {
  guarded("IPLFreeDstBuffer24 Excpt", [] { ipl_free(engine(), IplBuffer::Dst24); });
}

// Weights the 32-bit source's alpha by the mask while the mask is enabled.
CVL_API void CVL_CALL CVL_ApplyMaskToAlpha_IPLSrcRGBA(void) {
  guarded("ApplyMaskToAlpha_IPLSrcRGBA Excpt", [] {
    Engine& e = engine();
    uint8_t* buffer = ipl_buffer(e, IplBuffer::Src32);
    if (buffer && e.mask_enabled) apply_mask_to_alpha(e, buffer);
  });
}

}  // extern "C"
