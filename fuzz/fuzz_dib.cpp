// Arbitrary bytes as a clipboard picture block: the packed-DIB decoder and its probe.
#include "decoder_target.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  int32_t w = 0, h = 0;
  cvl::imaging::probe_packed_dib(data, size, w, h);
  return cvl::fuzz::run_decoder(data, size, cvl::imaging::decode_packed_dib);
}
