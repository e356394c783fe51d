#include "io/movie_frame.h"

#include "codecs/codec.h"
#include "codecs/decoders.h"

namespace cvl {

bool load_frame_bitmap(const char* path, FrameBitmap& frame) {
  if (!path) return false;
  std::vector<uint8_t> bytes;
  if (!imaging::read_whole_file(path, bytes)) return false;
  // Only bitmap files make frames, whatever other format the file might be.
  if (imaging::guess_file_type(bytes.data(), bytes.size()) != imaging::FileType::Bmp) return false;
  imaging::Image image;
  if (!imaging::decode_bmp(bytes.data(), bytes.size(), image)) return false;
  frame.dib = imaging::make_dib24(image.view());
  return !frame.dib.empty() && imaging::read_dib_layout(frame.dib.data(), frame.dib.size(), frame.layout);
}

}  // namespace cvl
