#include "io/scan_import.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "corvel/corvel.h"
#include "codecs/independent_decoder.h"
#include "io/new_rgba.h"
#include "io/tool_output.h"

namespace cvl {
namespace {

using test::ScratchDir;

// A SANE configuration folder of the tests' own, so that only the test backend
// (or no backend at all) is loaded and no real hardware is probed. SANE reads the
// folder's name once per process, so every test rewrites the files of one folder.
const ScratchDir& sane_config_dir() {
  static const ScratchDir dir;
  return dir;
}

// SANE unloads its backends at exit, so whatever the test backend keeps for the
// process would be reported as a leak from an unknown module. Holding the backend
// mapped lets such reports name it, and the leak checker's suppressions skip it.
#ifndef SANE_BACKEND_DIR
#define SANE_BACKEND_DIR "/usr/lib/x86_64-linux-gnu/sane"
#endif
void keep_test_backend_mapped() {
  static void* const handle = dlopen(SANE_BACKEND_DIR "/libsane-test.so.1", RTLD_NOW | RTLD_NODELETE);
  (void)handle;
}

class Scanner : public testing::Test {
 protected:
  void TearDown() override {
    CVL_SetHostCallbacks(nullptr);
  }
  void configure(const std::string& backends, const std::string& test_options) {
    keep_test_backend_mapped();
    std::ofstream(dir_.path("dll.conf")) << backends;
    std::ofstream(dir_.path("test.conf")) << "number_of_devices 2\ntest-picture \"Color pattern\"\n" << test_options;
    setenv("SANE_CONFIG_DIR", dir_.path("").c_str(), 1);
  }
  const ScratchDir& dir_ = sane_config_dir();
};

struct Pnm {
  int width = 0, height = 0;
  std::vector<uint8_t> rgb;  // 8 bits per sample: the high byte of 16-bit samples
};

// What the command-line scanner reads from the same device, in colour.
Pnm scan_with_scanimage(const std::string& device) {
  const std::string out = test::tool_output("scanimage -d " + device + " --mode Color --format=pnm");
  Pnm p;
  std::istringstream in(out);
  // Header tokens, with the comment lines scanimage puts among them.
  auto token = [&in] {
    std::string t;
    while (in >> t && t[0] == '#') std::getline(in, t);
    return t;
  };
  const std::string magic = token();
  p.width = std::atoi(token().c_str());
  p.height = std::atoi(token().c_str());
  const int maxval = std::atoi(token().c_str());
  in.get();
  const std::string data(std::istreambuf_iterator<char>(in), {});
  const size_t step = maxval > 255 ? 2 : 1;
  for (size_t i = 0; i + step <= data.size(); i += step) p.rgb.push_back(uint8_t(data[i]));
  if (magic != "P6" || p.rgb.size() != size_t(p.width) * p.height * 3) p = Pnm{};
  return p;
}

std::vector<uint8_t> new_rgba_as_rgb() {
  std::vector<uint8_t> rgb;
  const NewRgba& n = new_rgba();
  for (size_t i = 0; i + 4 <= size_t(n.width) * n.height * 4; i += 4) {
    rgb.insert(rgb.end(), {n.pixels[i], n.pixels[i + 1], n.pixels[i + 2]});
    if (n.pixels[i + 3] != 255) return {};
  }
  return rgb;
}

TEST_F(Scanner, AcquisitionFillsTheNewRgbaBufferWithTheDevicesPicture) {
  // One pass, three passes of one colour each, and 16-bit samples.
  for (const char* options : {"", "three-pass true\n", "depth 16\n"}) {
    configure("test\n", options);
    const Pnm expected = scan_with_scanimage("test:0");
    ASSERT_GT(expected.width, 0) << options;
    EXPECT_EQ(CVL_IsTwain(), 1);
    ASSERT_EQ(CVL_TwainAcquire(), 1) << options;
    EXPECT_EQ(CVL_GetNewRGBAWidth(), expected.width) << options;
    EXPECT_EQ(CVL_GetNewRGBAHeight(), expected.height) << options;
    EXPECT_TRUE(new_rgba_as_rgb() == expected.rgb) << options;
  }
}

struct Offered {
  std::vector<std::string> names;
  int32_t answer = 0;
};
int32_t choose(void* user, const char* const* devices, int32_t count) {
  auto* o = static_cast<Offered*>(user);
  o->names.assign(devices, devices + count);
  return o->answer;
}

TEST_F(Scanner, TheHostChoosesTheSourceAndACancelChoosesNone) {
  configure("test\n", "");
  Offered offered;
  CVL_HostCallbacks table{};
  table.size = sizeof table;
  table.user_data = &offered;
  table.choose_scanner = choose;
  CVL_SetHostCallbacks(&table);
  struct Case {
    int32_t answer, result;
  } cases[] = {{1, 1}, {-1, 0}, {2, 0}, {0, 1}};
  for (const Case& c : cases) {
    offered.answer = c.answer;
    EXPECT_EQ(CVL_TwainSelectSource(), c.result) << c.answer;
    EXPECT_EQ(offered.names, (std::vector<std::string>{"test:0", "test:1"}));
  }
  offered.answer = 1;
  ASSERT_EQ(CVL_TwainSelectSource(), 1);
  EXPECT_EQ(CVL_TwainAcquire(), 1);
  EXPECT_GT(CVL_GetNewRGBAWidth(), 0);
}

TEST_F(Scanner, WithoutADeviceNothingIsScannedAndTheBufferStays) {
  configure("", "");
  ASSERT_NE(create_new_rgba(3, 2), nullptr);
  for (size_t i = 0; i < 24; ++i) new_rgba().pixels[i] = uint8_t(i);
  EXPECT_EQ(CVL_IsTwain(), 0);
  EXPECT_EQ(CVL_TwainSelectSource(), 0);
  EXPECT_EQ(CVL_TwainAcquire(), 0);
  EXPECT_EQ(CVL_GetNewRGBAWidth(), 3);
  EXPECT_EQ(CVL_GetNewRGBAHeight(), 2);
  EXPECT_EQ(new_rgba().pixels[23], 23);
}

}  // namespace
}  // namespace cvl
