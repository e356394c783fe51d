// Runs an independent imaging tool (Python with PIL, or ImageMagick) from tests, in a
// scratch directory, so our codecs can be checked against files another program wrote
// and read. Tests skip when the tool is missing.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "codecs/codec.h"
#include "imaging/image_view.h"

namespace cvl::test {

inline const char* kPython = "/usr/bin/python3";

inline bool have_pil() {
  static const bool ok = std::system("/usr/bin/python3 -c 'import PIL' >/dev/null 2>&1") == 0;
  return ok;
}
inline bool have_magick() {
  static const bool ok = std::system("convert -version >/dev/null 2>&1") == 0;
  return ok;
}

// Python prelude shared by every script: a deterministic test picture and a dump of
// what PIL decodes from a file (width, height as little-endian 32-bit, then RGBA bytes).
inline const char* kPythonPrelude = R"(
import struct, sys, subprocess
from PIL import Image, ImageOps
def pattern(mode, w, h):
    im = Image.new("RGBA", (w, h))
    px = im.load()
    for y in range(h):
        for x in range(w):
            px[x, y] = ((x * 37 + y) % 256, (y * 51 + x * 3) % 256, (x * y * 13) % 256, 255 if (x + y) % 3 else 90)
    return im if mode == "RGBA" else im.convert(mode)
def dump(src, dst):
    im = Image.open(src); im.load(); im = im.convert("RGBA")
    open(dst, "wb").write(struct.pack("<II", im.width, im.height) + im.tobytes())
)";

class ScratchDir {
 public:
  ScratchDir() {
    std::string templ = (std::filesystem::temp_directory_path() / "corvel-img-XXXXXX").string();
    if (mkdtemp(templ.data())) dir_ = templ;
  }
  ~ScratchDir() {
    std::error_code ec;
    if (!dir_.empty()) std::filesystem::remove_all(dir_, ec);
  }
  std::string path(const std::string& name) const { return (dir_ / name).string(); }

  // Runs a Python script (after the prelude) with the scratch directory as its working directory.
  bool python(const std::string& code) const {
    const std::string script = path("script.py");
    std::ofstream(script) << kPythonPrelude << code << "\n";
    const std::string cmd = "cd '" + dir_.string() + "' && " + kPython + " script.py >/dev/null 2>&1";
    return std::system(cmd.c_str()) == 0;
  }

 private:
  std::filesystem::path dir_;
};

inline std::vector<uint8_t> read_bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Reads a dump written by the prelude's dump().
inline imaging::Image read_dump(const std::string& path) {
  imaging::Image im;
  const auto bytes = read_bytes(path);
  if (bytes.size() < 8) return im;
  auto le32 = [&](size_t i) { return int32_t(bytes[i] | bytes[i + 1] << 8 | bytes[i + 2] << 16 | bytes[i + 3] << 24); };
  im.width = le32(0);
  im.height = le32(4);
  im.pixels.assign(bytes.begin() + 8, bytes.end());
  return im;
}

// Largest difference of any channel between two same-sized RGBA images; -1 when the sizes differ.
inline int max_difference(const imaging::Image& a, const imaging::Image& b) {
  if (a.width != b.width || a.height != b.height || a.pixels.size() != b.pixels.size()) return -1;
  int worst = 0;
  for (size_t i = 0; i < a.pixels.size(); ++i) worst = std::max(worst, std::abs(int(a.pixels[i]) - int(b.pixels[i])));
  return worst;
}

// Colour under alpha 0 is not part of the picture; tools differ in what they leave there.
inline void clear_hidden_colour(imaging::Image& im) {
  for (size_t i = 0; i + 3 < im.pixels.size(); i += 4)
    if (im.pixels[i + 3] == 0) im.pixels[i] = im.pixels[i + 1] = im.pixels[i + 2] = 0;
}

// A file an independent tool writes, and what its decoding must look like.
struct ToolCase {
  const char* file;
  imaging::FileType type;
  const char* make;  // Python writing `file` (pattern(mode, 23, 17) is the picture)
  int tolerance;     // 0 for lossless formats
  const char* reference = nullptr;  // file whose PIL decoding is expected, when not `file`
};

// Makes every case's file in a scratch directory and checks our decoding against PIL's
// decoding of the reference.
template <class Cases>
void expect_decoded_like_tool(const Cases& cases) {
  ScratchDir dir;
  for (const ToolCase& c : cases) {
    SCOPED_TRACE(c.file);
    std::string code = std::string("F = '") + c.file + "'\nR = ";
    code += c.reference ? std::string("'") + c.reference + "'" : std::string("F");
    code += std::string("\n") + c.make + "\ndump(R, F + '.raw')\n";
    ASSERT_TRUE(dir.python(code));
    imaging::Image theirs = read_dump(dir.path(std::string(c.file) + ".raw"));
    const auto bytes = read_bytes(dir.path(c.file));
    EXPECT_EQ(imaging::guess_file_type(bytes.data(), bytes.size()), c.type);
    imaging::Image ours;
    ASSERT_TRUE(imaging::decode_memory(bytes.data(), bytes.size(), ours));
    ASSERT_EQ(ours.channels, 4);
    clear_hidden_colour(ours);
    clear_hidden_colour(theirs);
    const int diff = max_difference(ours, theirs);
    EXPECT_GE(diff, 0) << ours.width << "x" << ours.height << " vs " << theirs.width << "x" << theirs.height;
    EXPECT_LE(diff, c.tolerance);
  }
}

}  // namespace cvl::test
