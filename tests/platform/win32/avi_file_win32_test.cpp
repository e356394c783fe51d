#include "platform/avi_file.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <vfw.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "corvel/corvel.h"
#include "codecs/encode.h"

namespace cvl::platform {
namespace {

std::string scratch(const std::string& name) {
  return (std::filesystem::temp_directory_path() / ("corvel-avi-" + std::to_string(GetCurrentProcessId()) + "-" + name))
      .string();
}

// A 5 x 3 frame whose pixels tell frames apart.
std::string frame_file(int i) {
  imaging::Image im;
  im.width = 5, im.height = 3, im.channels = 3;
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) im.pixels.insert(im.pixels.end(), {uint8_t(i * 40), uint8_t(x * 50), uint8_t(y * 80)});
  const std::string path = scratch("frame" + std::to_string(i) + ".bmp");
  EXPECT_TRUE(imaging::write_bmp(path.c_str(), im.view()));
  return path;
}

// The movie as the system library reads it back: its video stream's rate,
// size and frames.
struct ReadBack {
  bool opened = false;
  DWORD scale = 0, rate = 0;
  LONG frames = 0;
  LONG width = 0, height = 0;
  DWORD compression = 0;  // the frames' own four-character code (BI_RGB when stored as they are)
  std::vector<uint8_t> first_frame;
};

ReadBack read_back(const std::string& path) {
  ReadBack r;
  AVIFileInit();
  PAVISTREAM stream = nullptr;
  if (AVIStreamOpenFromFileA(&stream, path.c_str(), streamtypeVIDEO, 0, OF_READ, nullptr) == 0) {
    r.opened = true;
    AVISTREAMINFOA info{};
    AVIStreamInfoA(stream, &info, sizeof info);
    r.scale = info.dwScale;
    r.rate = info.dwRate;
    r.frames = AVIStreamLength(stream);
    BITMAPINFOHEADER format{};
    LONG size = sizeof format;
    AVIStreamReadFormat(stream, 0, &format, &size);
    r.width = format.biWidth;
    r.height = format.biHeight;
    r.compression = format.biCompression;
    LONG bytes = 0;
    AVIStreamRead(stream, 0, 1, nullptr, 0, &bytes, nullptr);
    r.first_frame.resize(size_t(bytes));
    AVIStreamRead(stream, 0, 1, r.first_frame.data(), bytes, nullptr, nullptr);
    AVIStreamRelease(stream);
  }
  AVIFileExit();
  return r;
}

TEST(SystemAviLibrary, FramesWrittenThroughItReadBackWithTheirRateSizeAndPixels) {
  const std::string avi = scratch("movie.avi");
  ASSERT_NE(CVL_CreateAVI(avi.c_str(), 250), nullptr);
  std::vector<std::string> frames;
  for (int i = 0; i < 4; ++i) {
    frames.push_back(frame_file(i));
    EXPECT_EQ(CVL_WriteAVI(frames.back().c_str()), 1);
  }
  EXPECT_EQ(CVL_CloseAVI(), 0);

  const ReadBack r = read_back(avi);
  ASSERT_TRUE(r.opened);
  EXPECT_EQ(r.scale, 250u);
  EXPECT_EQ(r.rate, 1000u);
  EXPECT_EQ(r.frames, 4);
  EXPECT_EQ(r.width, 5);
  EXPECT_EQ(r.height, 3);
  // Bottom-up 24-bit rows padded to 16 bytes; the first pixel is of the last
  // picture row (y = 2), stored B, G, R.
  ASSERT_EQ(r.first_frame.size(), 48u);
  EXPECT_EQ(r.first_frame[0], 160);
  EXPECT_EQ(r.first_frame[1], 0);
  EXPECT_EQ(r.first_frame[2], 0);
  for (const std::string& f : frames) std::filesystem::remove(f);
  std::filesystem::remove(avi);
}

// The host's compression entry stands in for the system's dialog: what it
// chooses is what the library encodes with, and a cancel leaves a movie whose
// stream describes frames but holds none.
struct Choice {
  uint32_t fourcc;
  int32_t quality, go_on;
  int asked = 0;
};

int32_t choose(void* user, uint32_t* fourcc, int32_t* quality) {
  auto* c = static_cast<Choice*>(user);
  ++c->asked;
  *fourcc = c->fourcc;
  *quality = c->quality;
  return c->go_on;
}

ReadBack record_with(Choice& choice, const std::string& avi) {
  CVL_HostCallbacks table{};
  table.size = sizeof table;
  table.user_data = &choice;
  table.choose_compression = choose;
  CVL_SetHostCallbacks(&table);
  EXPECT_NE(CVL_CreateAVI(avi.c_str(), 100), nullptr);
  for (int i = 0; i < 3; ++i) {
    const std::string frame = frame_file(i);
    CVL_WriteAVI(frame.c_str());
    std::filesystem::remove(frame);
  }
  CVL_CloseAVI();
  CVL_SetHostCallbacks(nullptr);
  return read_back(avi);
}

TEST(SystemAviLibrary, TheHostsCompressionChoiceReplacesTheDialog) {
  // Frames stored as they are: the one compressor every system has for 5 x 3 frames.
  Choice stored{mmioFOURCC('D', 'I', 'B', ' '), 7500, 1};
  const std::string avi = scratch("stored.avi");
  const ReadBack r = record_with(stored, avi);
  EXPECT_EQ(stored.asked, 1);  // once, on the first frame
  ASSERT_TRUE(r.opened);
  EXPECT_EQ(r.frames, 3);
  EXPECT_EQ(r.compression, DWORD(BI_RGB));
  std::filesystem::remove(avi);

  Choice cancel{0, 0, 0};
  const std::string empty = scratch("cancelled.avi");
  const ReadBack c = record_with(cancel, empty);
  EXPECT_EQ(cancel.asked, 1);
  ASSERT_TRUE(c.opened);
  EXPECT_EQ(c.frames, 0);
  EXPECT_EQ(c.width, 5);
  std::filesystem::remove(empty);
}

TEST(SystemAviLibrary, AFileThatCannotBeCreatedGivesNoMovie) {
  EXPECT_EQ(CVL_CreateAVI(scratch("no-such-dir/movie.avi").c_str(), 100), nullptr);
  EXPECT_EQ(CVL_WriteAVI(frame_file(0).c_str()), 0);
}

}  // namespace
}  // namespace cvl::platform
