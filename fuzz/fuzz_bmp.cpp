// Arbitrary bytes for the bmp decoder and its header probe.
#include "decoder_target.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return cvl::fuzz::run_decoder(data, size, cvl::imaging::decode_bmp, cvl::imaging::probe_bmp);
}
