// Run-length rows and deflated layer blocks for the host's own files.
#include <cstddef>

#include "corvel/corvel.h"
#include "core/engine.h"
#include "core/guard.h"
#include "undo/layer_transfer.h"
#include "undo/rle_codec.h"

using namespace cvl;

namespace {
size_t stream_length(int32_t bytes) { return bytes > 0 ? static_cast<size_t>(bytes) : 0; }
}  // namespace

extern "C" {

CVL_API int32_t CVL_CALL CVL_RLECompressRGBA64ToRGBA32(const uint16_t* src, uint8_t* dst, int32_t count) {
  return guarded("RLECompressRGBA64ToRGBA32 Excpt", 0, [&] { return rle_compress_rgba64(src, dst, count); });
}
CVL_API int32_t CVL_CALL CVL_RLEUncompressRGBA32ToRGBA64(const uint8_t* src, uint16_t* dst, int32_t count) {
  return guarded("RLEUncompressRGBA32ToRGBA64 Excpt", 0,
                 [&] { return rle_uncompress_rgba32(src, kUnknownStreamLength, dst, count); });
}
CVL_API int32_t CVL_CALL CVL_RLECompressG16ToG8(const uint16_t* src, uint8_t* dst, int32_t count) {
  return guarded("RLECompressG16ToG8 Excpt", 0, [&] { return rle_compress_g16(src, dst, count); });
}
CVL_API int32_t CVL_CALL CVL_RLEUncompressG8ToG16(const uint8_t* src, uint16_t* dst, int32_t count) {
  return guarded("RLEUncompressG8ToG16 Excpt", 0,
                 [&] { return rle_uncompress_g8(src, kUnknownStreamLength, dst, count); });
}

CVL_API int32_t CVL_CALL CVL_GetRGBA32LayerLineRLE(uint8_t* dst, int32_t slot, int32_t row) {
  return guarded("GetRGBA32LayerLineRLE Excpt", 0, [&] { return get_layer_line_rle(engine(), dst, slot, row); });
}
CVL_API int32_t CVL_CALL CVL_PutRGBA32LayerLineRLE(const uint8_t* src, int32_t slot, int32_t row) {
  return guarded("PutRGBA32LayerLineRLE Excpt", 0,
                 [&] { return put_layer_line_rle(engine(), src, kUnknownStreamLength, slot, row); });
}
CVL_API int32_t CVL_CALL CVL_GetMaskLineRLE(uint8_t* dst, int32_t row) {
  return guarded("GetMaskLineRLE Excpt", 0, [&] { return get_mask_line_rle(engine(), dst, row); });
}
CVL_API int32_t CVL_CALL CVL_PutMaskLineRLE(const uint8_t* src, int32_t row) {
  return guarded("PutMaskLineRLE Excpt", 0,
                 [&] { return put_mask_line_rle(engine(), src, kUnknownStreamLength, row); });
}

CVL_API int32_t CVL_CALL CVL_GetRGBA32LayerCompressed(uint8_t* dst, int32_t, int32_t capacity, int32_t slot,
                                                      int32_t option) {
  return guarded("GetRGBA32Layer Excpt", 0,
                 [&] { return get_rgba32_layer_compressed(engine(), dst, capacity, slot, option); });
}
CVL_API int32_t CVL_CALL CVL_LoadRGBA32LayerCompressed(const uint8_t* block, int32_t, int32_t length, int32_t slot) {
  return guarded("LoadRGBA32LayerCompressed Excpt", 0,
                 [&] { return load_rgba32_layer_compressed(engine(), block, length, slot); });
}

CVL_API int32_t CVL_CALL CVL_RLEUncompressRGBA32ToRGBA64Bounded(const uint8_t* src, uint16_t* dst, int32_t count,
                                                                int32_t stream_bytes) {
  return guarded("RLEUncompressRGBA32ToRGBA64Bounded Excpt", 0,
                 [&] { return rle_uncompress_rgba32(src, stream_length(stream_bytes), dst, count); });
}
CVL_API int32_t CVL_CALL CVL_RLEUncompressG8ToG16Bounded(const uint8_t* src, uint16_t* dst, int32_t count,
                                                         int32_t stream_bytes) {
  return guarded("RLEUncompressG8ToG16Bounded Excpt", 0,
                 [&] { return rle_uncompress_g8(src, stream_length(stream_bytes), dst, count); });
}
CVL_API int32_t CVL_CALL CVL_PutRGBA32LayerLineRLEBounded(const uint8_t* src, int32_t slot, int32_t row,
                                                          int32_t stream_bytes) {
  return guarded("PutRGBA32LayerLineRLEBounded Excpt", 0,
                 [&] { return put_layer_line_rle(engine(), src, stream_length(stream_bytes), slot, row); });
}
CVL_API int32_t CVL_CALL CVL_PutMaskLineRLEBounded(const uint8_t* src, int32_t row, int32_t stream_bytes) {
  return guarded("PutMaskLineRLEBounded Excpt", 0,
                 [&] { return put_mask_line_rle(engine(), src, stream_length(stream_bytes), row); });
}

}  // extern "C"
