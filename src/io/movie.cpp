#include "io/movie.h"

#include <memory>

#include "core/engine.h"
#include "io/movie_frame.h"
#include "platform/device_dialogs.h"

namespace cvl {
namespace {

std::unique_ptr<AviWriter> g_recording;

constexpr uint32_t kRate = 1000;

bool create_stream(AviWriter& w, const FrameBitmap& frame) {
  if (w.stream) return true;
  platform::AviStreamInfo info;
  info.type = platform::kStreamTypeVideo;
  info.handler = 0;
  info.scale = w.frame_period;
  info.rate = kRate;
  info.suggested_buffer_size = frame.layout.image_size;
  info.frame_right = frame.layout.width;
  info.frame_bottom = frame.layout.height;
  w.stream = platform::avi_create_stream(w.file, info);
  if (!w.stream) return false;
  w.width = frame.layout.width;
  w.height = frame.layout.height;
  w.image_size = frame.layout.image_size;
  return true;
}

bool make_compressed(AviWriter& w, const FrameBitmap& frame, uint32_t handler, int32_t quality) {
  w.compressed_stream = platform::avi_make_compressed_stream(w.stream, handler, quality);
  return w.compressed_stream && platform::avi_set_format(w.compressed_stream, 0, frame.dib.data(), frame.format_size());
}

// The first frame asks for the compressor; a cancel or any error ends writing.
// `owner` is the window the compression dialog belongs to.
void set_up_compression(AviWriter& w, const FrameBitmap& frame, void* owner) {
  if (w.failed) return;
  if (!create_stream(w, frame)) {
    w.failed = true;
    return;
  }
  uint32_t handler = 0;
  int32_t quality = 0;
  if (platform::choose_compression(w.stream, owner, handler, quality) && make_compressed(w, frame, handler, quality))
    return;
  // Cancelled, or no such compressor: the movie stays without frames. Its stream
  // still describes them, so that players read the empty file as a video.
  platform::avi_set_format(w.stream, 0, frame.dib.data(), frame.format_size());
  w.failed = true;
}

void write_frame(AviWriter& w, const FrameBitmap& frame) {
  if (w.failed) return;
  if (!create_stream(w, frame)) {
    w.failed = true;
    return;
  }
  if (!w.compressed_stream && !make_compressed(w, frame, platform::kHandlerUncompressed, 0)) {
    w.failed = true;
    return;
  }
  // A frame of another size would be read with the first frame's geometry and
  // garble the movie; it is left out and the recording goes on.
  if (frame.layout.width != w.width || frame.layout.height != w.height || frame.layout.image_size != w.image_size)
    return;
  if (platform::avi_write(w.compressed_stream, w.frames_written, frame.bits(), frame.layout.image_size,
                          platform::kAviKeyFrame))
    ++w.frames_written;
  else
    w.failed = true;
}

}  // namespace

AviWriter* open_recording() { return g_recording.get(); }

AviWriter* create_avi(const char* path, int32_t frame_period) {
  // One recording at a time: a new one completes the old file rather than
  // leaving it open and unreadable for the rest of the process.
  close_avi();
  platform::AviFile* file = platform::avi_open(path);
  if (!file) return nullptr;
  auto w = std::make_unique<AviWriter>();
  w->file = file;
  w->path = path;
  w->frame_period = static_cast<uint32_t>(frame_period);
  g_recording = std::move(w);
  return g_recording.get();
}

int32_t write_avi(const Engine& e, const char* bitmap_path) {
  AviWriter* w = g_recording.get();
  if (!w) return 0;
  FrameBitmap frame;
  if (!load_frame_bitmap(bitmap_path, frame)) return 0;
  if (!w->compressed_stream) set_up_compression(*w, frame, e.owner_window);
  write_frame(*w, frame);
  return 1;  // the loaded bitmap is released
}

FailureCause close_avi() {
  if (!g_recording) return {};
  platform::avi_stream_release(g_recording->compressed_stream);
  platform::avi_stream_release(g_recording->stream);
  const bool completed = platform::avi_file_release(g_recording->file);
  const std::string path = g_recording->path;
  g_recording.reset();
  if (completed) return {};
  return "cannot complete the movie " + path + " (a frame or the index could not be written)";
}

}  // namespace cvl
