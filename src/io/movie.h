// Movie recording: an AVI file built frame by frame from bitmap files. The
// compressor is asked for once, on the first frame; a cancel leaves the movie
// open but writing nothing.
#pragma once

#include <cstdint>
#include <string>

#include "core/last_error.h"

#include "platform/avi_file.h"

namespace cvl {

struct Engine;

struct AviWriter {
  platform::AviFile* file = nullptr;
  std::string path;
  platform::AviStream* stream = nullptr;             // the video stream, made on the first frame
  platform::AviStream* compressed_stream = nullptr;  // where frames go, made on the first frame
  uint32_t frame_period = 0;                         // time scale against a rate of 1000: ms per frame
  bool failed = false;                               // once set, every later frame is refused
  int32_t frames_written = 0;
  // The frame size the stream was made for; frames of another size are skipped.
  int32_t width = 0, height = 0;
  uint32_t image_size = 0;
};

// The open recording, or null.
AviWriter* open_recording();

// Opens a new movie (closing one still open); null when the file cannot be made.
AviWriter* create_avi(const char* path, int32_t frame_period);
// 0 when no recording is open or the bitmap cannot be loaded; otherwise 1, whether
// or not the frame was written.
int32_t write_avi(const Engine& e, const char* bitmap_path);
// Completes and closes the movie. Empty when it was completed or none was open,
// else why not.
FailureCause close_avi();

}  // namespace cvl
