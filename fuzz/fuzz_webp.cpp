// Arbitrary bytes for the WebP decoder.
#include "decoder_target.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return cvl::fuzz::run_decoder(data, size, cvl::imaging::decode_webp);
}
