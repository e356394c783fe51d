// The calls that return 0 whatever happens tell a failure only through the
// last-error text: "<Call>: <cause>", the cause naming the path and the system's
// reason. Success leaves the text as it was.
#include <gtest/gtest.h>

#include <unistd.h>
#include <zlib.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "codecs/encode.h"
#include "corvel/corvel.h"
#include "io/pil_reader.h"
#include "platform/clipboard.h"
#include "support/canvas_fixture.h"

namespace cvl {
namespace {

using test::ScratchDir;

// The text a call leaves, starting from a known one.
std::string text_after(const std::function<int32_t()>& call) {
  CVL_SetLastError("untouched");
  EXPECT_EQ(call(), 0);
  return CVL_GetLastError();
}

bool have_dev_full() { return std::filesystem::exists("/dev/full"); }

// What the system says when a folder is opened as a file to write.
#ifdef _WIN32
const std::string kFolderReason = "Permission denied";
#else
const std::string kFolderReason = "Is a directory";
#endif

class PageSaveFailures : public test::CanvasTest {
 protected:
  void SetUp() override {
    make_canvas(9, 5, 8);
    test::give_slot_pixels(1, 1000, 2000, 3000, 65535);
    CVL_SetLayer(1);
  }
  void TearDown() override {
    test::CanvasTest::TearDown();
    e().slot(1) = Layer{};
  }
  struct Saver {
    const char* name;
    int32_t (*save)(const char*, const char*, int32_t);
    const char* ext;       // one it writes
    const char* accepted;  // as the text lists them
  };
  const Saver savers_[2] = {{"SavePageToFileRGB24", CVL_SavePageToFileRGB24, ".png", ".bmp, .png, .jpg"},
                            {"SavePageToFileRGB32", CVL_SavePageToFileRGB32, ".tif", ".png, .tga, .tif"}};
};

TEST_F(PageSaveFailures, EachCauseNamesTheCallThePathAndTheReason) {
  ScratchDir dir;
  const std::string missing = dir.path("nowhere/page.png"), folder = dir.path("");
  for (const Saver& s : savers_) {
    SCOPED_TRACE(s.name);
    const std::string call = std::string(s.name) + ": ";
    EXPECT_EQ(text_after([&] { return s.save(missing.c_str(), s.ext, 72); }),
              call + "cannot create " + missing + ": No such file or directory");
    EXPECT_EQ(text_after([&] { return s.save(folder.c_str(), s.ext, 72); }),
              call + "cannot create " + folder + ": " + kFolderReason);
    EXPECT_EQ(text_after([&] { return s.save(dir.path("a.gif").c_str(), ".gif", 72); }),
              call + "unknown extension \".gif\" (" + s.accepted + ")");
    // The dot belongs to the extension; a bare name is refused with the fix.
    const std::string bare = std::string(s.ext + 1);
    EXPECT_EQ(text_after([&] { return s.save(dir.path("a").c_str(), bare.c_str(), 72); }),
              call + "extension \"" + bare + "\" lacks its dot (give \"." + bare + "\")");
    EXPECT_EQ(text_after([&] { return s.save(dir.path("a").c_str(), nullptr, 72); }),
              call + "no extension given (" + s.accepted + ")");
    EXPECT_EQ(text_after([&] { return s.save(nullptr, s.ext, 72); }), call + "no file name given");
    if (have_dev_full()) {
      EXPECT_EQ(text_after([&] { return s.save("/dev/full", ".png", 72); }),
                call + "cannot write /dev/full: No space left on device");
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.path(""))) << "a refused save wrote something";
  }
}

TEST_F(PageSaveFailures, ASavedPageLeavesTheTextAsItWas) {
  ScratchDir dir;
  for (const Saver& s : savers_) {
    const std::string path = dir.path(std::string("page") + s.ext);
    EXPECT_EQ(text_after([&] { return s.save(path.c_str(), s.ext, 72); }), "untouched");
    EXPECT_GT(std::filesystem::file_size(path), 0u);
  }
}

// Folder permissions as POSIX has them; Windows folders are not locked this way.
#ifndef _WIN32
TEST(PageSaveFailuresUnprivileged, AFolderWithoutWritePermissionIsNamed) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes everywhere";
  ScratchDir dir;
  const std::string locked = dir.path("locked");
  std::filesystem::create_directory(locked);
  std::filesystem::permissions(locked, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  CVL_CreateImage(nullptr, 4, 4, 8, 0);
  const std::string path = locked + "/page.png";
  EXPECT_EQ(text_after([&] { return CVL_SavePageToFileRGB24(path.c_str(), ".png", 72); }),
            "SavePageToFileRGB24: cannot create " + path + ": Permission denied");
  CVL_DeleteImage();
  std::filesystem::permissions(locked, std::filesystem::perms::owner_all);
}
#endif

// A PNG whose header claims `w` x `h` with a correct checksum, and no pixels.
std::vector<uint8_t> png_header_only(uint32_t w, uint32_t h) {
  std::vector<uint8_t> f = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
  for (uint32_t v : {w, h}) f.insert(f.end(), {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)});
  f.insert(f.end(), {8, 6, 0, 0, 0});
  const uLong crc = crc32(0, f.data() + 12, 17);
  f.insert(f.end(), {uint8_t(crc >> 24), uint8_t(crc >> 16), uint8_t(crc >> 8), uint8_t(crc)});
  return f;
}

void write_bytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

TEST(SmallPictureFailures, EachSourceAndDestinationCauseIsNamed) {
  ScratchDir dir;
  const std::string good = dir.path("good.png");
  const imaging::Image picture = test::test_picture(40, 30, false);
  ASSERT_TRUE(imaging::write_png(good.c_str(), {const_cast<uint8_t*>(picture.pixels.data()), 40, 30, 4, 160}));
  std::vector<uint8_t> truncated(std::filesystem::file_size(good));
  std::ifstream(good, std::ios::binary).read(reinterpret_cast<char*>(truncated.data()), std::streamsize(truncated.size()));
  truncated.resize(truncated.size() / 2);
  write_bytes(dir.path("truncated.png"), truncated);
  write_bytes(dir.path("huge.png"), png_header_only(60000, 60000));
  write_bytes(dir.path("empty.png"), {});
  std::ofstream(dir.path("notes.txt")) << "not a picture\n";
  std::filesystem::create_directory(dir.path("folder.png"));

  struct Maker {
    const char* name;
    std::function<int32_t(const char*, const char*)> make;
  };
  const Maker makers[] = {{"MakeThumbnail", CVL_MakeThumbnail},
                          {"MakeWebPic", [](const char* s, const char* d) { return CVL_MakeWebPic(s, d, 64, 64); }}};
  const std::string out = dir.path("out.pic");
  const std::string d = dir.path("");
  const struct {
    std::string src, dst, cause;
  } cases[] = {
      {d + "none.png", out, "cannot read " + d + "none.png: No such file or directory"},
      {d + "folder.png", out, d + "folder.png is a folder, not a file"},
      {d + "empty.png", out, d + "empty.png is empty"},
      {d + "notes.txt", out, d + "notes.txt is not a picture the engine reads"},
      {d + "truncated.png", out, d + "truncated.png is damaged (PNG content the engine cannot decode)"},
      {d + "huge.png", out,
       d + "huge.png is too large (60000 x 60000 pixels; the engine reads up to 32768 a side and 134217728 pixels)"},
      {good, d + "nowhere/out.pic", "cannot create " + d + "nowhere/out.pic: No such file or directory"},
      {good, d + "folder.png", "cannot create " + d + "folder.png: " + kFolderReason},
  };
  for (const Maker& m : makers) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(m.name) + " " + c.src + " -> " + c.dst);
      EXPECT_EQ(text_after([&] { return m.make(c.src.c_str(), c.dst.c_str()); }), std::string(m.name) + ": " + c.cause);
      EXPECT_FALSE(std::filesystem::exists(out));
    }
    if (have_dev_full()) {
      EXPECT_EQ(text_after([&] { return m.make(good.c_str(), "/dev/full"); }),
                std::string(m.name) + ": cannot write /dev/full: No space left on device");
    }
    EXPECT_EQ(text_after([&] { return m.make(good.c_str(), out.c_str()); }), "untouched");
    EXPECT_TRUE(std::filesystem::exists(out));
    std::filesystem::remove(out);
  }
  EXPECT_EQ(text_after([&] { return CVL_MakeWebPic(good.c_str(), out.c_str(), 0, 480); }),
            "MakeWebPic: the largest size 0 x 480 is empty");
}

// The whole-canvas geometry calls return nothing; what they refuse changes no layer.
TEST_F(PageSaveFailures, GeometryThatChangesNothingSaysWhy) {
  const auto before = test::layer_words(e().slot(1));
  const auto text_of = [](const std::function<void()>& call) {
    CVL_SetLastError("untouched");
    call();
    return std::string(CVL_GetLastError());
  };
  const std::string filters = "Area Average, Nearest Neighbor, Bilinear";
  EXPECT_EQ(text_of([] { CVL_IPLResize(5, 5, "bilinear"); }).rfind("IPLResize: unknown filter \"bilinear\" (" + filters, 0),
            0u);
  EXPECT_EQ(text_of([] { CVL_IPLResize(5, 5, nullptr); }).rfind("IPLResize: no filter named (" + filters, 0), 0u);
  EXPECT_EQ(text_of([] { CVL_IPLResize(0, 5, "Bilinear"); }), "IPLResize: the size 0 x 5 is empty");
  EXPECT_EQ(text_of([] { CVL_IPLResizePage(4, -1, "TL"); }), "IPLResizePage: the size 4 x -1 is empty");
  EXPECT_EQ(text_of([] { CVL_IPLCrop(2, 1, 12, 3); }),
            "IPLCrop: the rectangle [2, 12) x [1, 3) is empty or leaves the 9 x 5 canvas");
  EXPECT_EQ(text_of([] { CVL_IPLCrop(3, 1, 3, 3); }),
            "IPLCrop: the rectangle [3, 3) x [1, 3) is empty or leaves the 9 x 5 canvas");
  EXPECT_EQ(test::layer_words(e().slot(1)), before);
  EXPECT_EQ(text_of([] { CVL_IPLCrop(1, 1, 8, 4); }), "untouched");
  EXPECT_EQ(text_of([] { CVL_IPLResize(9, 5, "Bicubic"); }), "untouched");
  EXPECT_EQ(text_of([] { CVL_IPLResizePage(9, 6, "XX"); }), "untouched");  // an unknown anchor places at the top left
}

TEST_F(PageSaveFailures, ADisplacementThatCannotRunSaysWhy) {
  ScratchDir dir;
  const std::string relief = dir.path("relief.png"), call = "IPLDisplacementBummp: ";
  const imaging::Image picture = test::test_picture(4, 4, false);
  ASSERT_TRUE(imaging::write_png(relief.c_str(), {const_cast<uint8_t*>(picture.pixels.data()), 4, 4, 4, 16}));
  const auto text_of = [](const std::function<void()>& f) { return text_after([&] { return f(), 0; }); };
  EXPECT_EQ(text_of([&] { CVL_IPLDisplacementBummp(relief.c_str(), 4, 0); }),
            call + "the 32-bit image-processing source and destination are not both allocated");
  CVL_IPLAllocSrcBuffer32();
  CVL_IPLAllocDstBuffer32();
  const std::string missing = dir.path("none.isc");
  EXPECT_EQ(text_of([&] { CVL_IPLDisplacementBummp(missing.c_str(), 4, 0); }),
            call + "cannot make a relief of " + missing +
                " (missing, or neither an image script nor a picture the engine reads)");
  EXPECT_EQ(text_of([&] { CVL_IPLDisplacementBummp(relief.c_str(), std::nan(""), 0); }),
            call + "the depth nan is not a number");
  EXPECT_EQ(text_of([&] { CVL_IPLDisplacementBummp(relief.c_str(), 4, 0); }), "untouched");
  CVL_IPLFreeSrcBuffer32();
  CVL_IPLFreeDstBuffer32();
}

// A tip file that gives no tip leaves the round tip, and says so.
TEST_F(PageSaveFailures, ATipPathThatGivesNoTipIsNamed) {
  ScratchDir dir;
  const std::string tip = dir.path("tip.png"), missing = dir.path("none.png");
  const imaging::Image picture = test::test_picture(6, 6, false);
  ASSERT_TRUE(imaging::write_png(tip.c_str(), {const_cast<uint8_t*>(picture.pixels.data()), 6, 6, 4, 24}));
  const auto text_of = [](const std::function<void()>& f) { return text_after([&] { return f(), 0; }); };
  const auto set_tool = [](const char* tip_path) {
    CVL_SetTool(1.0f, 0, 0, 0, 0, 0, 3, 0, 0, 0, 0, 0, 0, "", tip_path, 0);
  };
  const std::string round = " (missing, or neither an image script nor a picture the engine reads); the tip is round";
  EXPECT_EQ(text_of([&] { CVL_SetBrushShape(missing.c_str(), 0); }),
            "SetBrushShape: cannot make a tip of " + missing + round);
  EXPECT_EQ(text_of([&] { CVL_SetBrushShape_ORIGINAL(missing.c_str(), 0); }),
            "SetBrushShape_ORIGINAL: cannot make a tip of " + missing +
                " (missing, or not a picture the engine reads); the tip is round");
  EXPECT_EQ(text_of([&] { set_tool(missing.c_str()); }), "SetTool: cannot make a tip of " + missing + round);
  EXPECT_EQ(text_of([&] { set_tool(""); }), "untouched");  // the round tip, as asked
  CVL_SetSize(0);
  EXPECT_EQ(text_of([&] { set_tool(tip.c_str()); }),
            "SetTool: the brush size 0 leaves no room for the tip of " + tip + "; the tip is round");
  CVL_SetSize(6);
  EXPECT_EQ(text_of([&] { set_tool(tip.c_str()); }), "untouched");
  EXPECT_EQ(text_of([&] { CVL_SetBrushShape(tip.c_str(), 30); }), "untouched");
  CVL_DeleteImage();
  EXPECT_EQ(text_of([&] { CVL_SetBrushShape(tip.c_str(), 0); }), "SetBrushShape: there is no canvas yet");
}

TEST(MovieFailures, AMovieThatCannotBeCompletedIsNamedOnClosing) {
  ScratchDir dir;
  const std::string frame = dir.path("frame.bmp"), good = dir.path("good.avi");
  const imaging::Image picture = test::test_picture(8, 6, false);
  ASSERT_TRUE(imaging::write_bmp(frame.c_str(), {const_cast<uint8_t*>(picture.pixels.data()), 8, 6, 4, 32}));
  EXPECT_EQ(text_after(CVL_CloseAVI), "untouched");  // none open: nothing to complete
  ASSERT_NE(CVL_CreateAVI(good.c_str(), 100), nullptr);
  EXPECT_EQ(CVL_WriteAVI(frame.c_str()), 1);
  EXPECT_EQ(text_after(CVL_CloseAVI), "untouched");
  if (!have_dev_full()) GTEST_SKIP() << "needs /dev/full";
  ASSERT_NE(CVL_CreateAVI("/dev/full", 100), nullptr);
  CVL_WriteAVI(frame.c_str());
  EXPECT_EQ(text_after(CVL_CloseAVI),
            "CloseAVI: cannot complete the movie /dev/full (a frame or the index could not be written)");
}

class PasteFailures : public test::CanvasTest {
 protected:
  void SetUp() override {
    make_canvas(32, 24, 16);
    platform::clipboard_clear();
    CVL_SetHostCallbacks(nullptr);
    CVL_DeleteNewRGBA();
    test::give_slot_pixels(2, 0, 0, 0, 0);
    CVL_SetLayer(2);
  }
  void TearDown() override {
    platform::clipboard_clear();
    CVL_DeleteNewRGBA();
    test::CanvasTest::TearDown();
    e().slot(2) = Layer{};
  }
  void put_picture() {
    std::vector<uint8_t> img(8 * 6 * 4, 200);
    CVL_RGBA32ToClipboardRect(img.data(), 0, 0, 8, 6);
  }
  struct Paste {
    const char* name;
    std::function<int32_t()> call;
  };
  const Paste pastes_[3] = {
      {"FromClipboardIntoEX", [] { return CVL_FromClipboardIntoEX(0, 0, 1.5f, 30, 0, 1); }},
      {"FromClipboardIntoEX2", [] { return CVL_FromClipboardIntoEX2(0, 0, 10, 30, 0, 1); }},
      {"FromClipboardIntoEX2_1602", [] { return CVL_FromClipboardIntoEX2_1602(0, 0, 10, 30, 0, 1); }}};
};

TEST_F(PasteFailures, EachCauseNamesTheCall) {
  std::vector<uint8_t> damaged(60, 0);
  damaged[0] = 40, damaged[4] = 200, damaged[8] = 200, damaged[12] = 1, damaged[14] = 32;
  for (const Paste& p : pastes_) {
    SCOPED_TRACE(p.name);
    const std::string call = std::string(p.name) + ": ";
    platform::clipboard_clear();
    EXPECT_EQ(text_after(p.call), call + "the clipboard holds no picture");
    platform::clipboard_put_dib(damaged);
    EXPECT_EQ(text_after(p.call), call + "the clipboard's picture is damaged");
    put_picture();
    CVL_DeleteLayer(2);  // still current, without pixels
    EXPECT_EQ(text_after(p.call), call + "the current layer has no pixels");
    test::give_slot_pixels(2, 0, 0, 0, 0);
    CVL_SetLayer(2);
    EXPECT_EQ(text_after(p.call), "untouched");
  }
}

TEST_F(PasteFailures, AScaleThatIsNoNumberOrTooLargeIsRefusedBeforeAnythingChanges) {
  put_picture();
  const auto before = test::layer_words(e().slot(2));
  const struct {
    float scale;
    const char* cause;
  } cases[] = {{std::nanf(""), "the scale nan is not a number"},
               {std::numeric_limits<float>::infinity(), "the scale inf is not a number"},
               {1e10f, "the scale 10000000000.000000 makes the picture too large"}};
  for (const auto& c : cases)
    EXPECT_EQ(text_after([&] { return CVL_FromClipboardIntoEX(0, 0, c.scale, 0, 0, 0); }),
              std::string("FromClipboardIntoEX: ") + c.cause);
  EXPECT_EQ(test::layer_words(e().slot(2)), before);
}

// The copies return nothing at all: the text is all a host learns.
TEST_F(PasteFailures, CopiesThatPutNothingOnTheClipboardSayWhy) {
  const auto void_call = [](const std::function<void()>& call) {
    return text_after([&] { return call(), 0; });
  };
  std::vector<uint8_t> img(4 * 4 * 4, 90);
  EXPECT_EQ(void_call([] { CVL_ToClipboardRect(3, 3, 3, 9); }),
            "ToClipboardRect: the rectangle (3, 3) - (3, 9) is empty or over 32768 pixels a side");
  EXPECT_EQ(void_call([] { CVL_RGBA32ToClipboardRect(nullptr, 0, 0, 4, 4); }), "RGBA32ToClipboardRect: no image given");
  EXPECT_EQ(void_call([&] { CVL_RGBA32ToClipboardRect(img.data(), 0, 0, 0, 4); }),
            "RGBA32ToClipboardRect: the image size 0 x 4 is empty");
  EXPECT_EQ(void_call([] { CVL_ToClipboard(); }), "untouched");
  EXPECT_EQ(void_call([] { CVL_ToClipboardRect(9, 9, 1, 2); }), "untouched");
  EXPECT_EQ(void_call([&] { CVL_RGBA32ToClipboardRect(img.data(), 0, 0, 4, 4); }), "untouched");
}

// An earlier picture still in the new-RGBA buffer is what the placed pastes use
// when the clipboard cannot be read: that is no failure.
TEST_F(PasteFailures, AnEarlierPictureIsPastedWithoutAText) {
  put_picture();
  ASSERT_EQ(CVL_FromClipboard(), 1);
  platform::clipboard_clear();
  EXPECT_EQ(text_after(pastes_[1].call), "untouched");
}

}  // namespace
}  // namespace cvl
