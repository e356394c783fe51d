#include "platform/clipboard.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <vector>

#include "corvel/corvel.h"

namespace cvl::platform {
namespace {

// A 2 x 2 top-down 32-bit CF_DIB block.
std::vector<uint8_t> small_dib() {
  BITMAPINFOHEADER h{};
  h.biSize = sizeof h;
  h.biWidth = 2;
  h.biHeight = -2;
  h.biPlanes = 1;
  h.biBitCount = 32;
  std::vector<uint8_t> block(sizeof h + 16);
  std::memcpy(block.data(), &h, sizeof h);
  const uint8_t bgra[16] = {1, 2, 3, 255, 10, 20, 30, 255, 40, 50, 60, 255, 70, 80, 90, 255};
  std::memcpy(block.data() + sizeof h, bgra, sizeof bgra);
  return block;
}

class DesktopClipboard : public testing::Test {
 protected:
  void TearDown() override { clipboard_clear(); }
};

TEST_F(DesktopClipboard, ABlockPutIsOnTheSystemClipboardAsDib) {
  const std::vector<uint8_t> block = small_dib();
  ASSERT_TRUE(clipboard_put_dib(block));
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_DIB));
  std::vector<uint8_t> back;
  ASSERT_TRUE(clipboard_get_dib(back));
  ASSERT_GE(back.size(), block.size());  // the system may round the block up
  EXPECT_EQ(std::memcmp(back.data(), block.data(), block.size()), 0);
}

TEST_F(DesktopClipboard, APictureAnotherProgramCopiedIsPasted) {
  const std::vector<uint8_t> block = small_dib();
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, block.size());
  std::memcpy(GlobalLock(memory), block.data(), block.size());
  GlobalUnlock(memory);
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  ASSERT_NE(SetClipboardData(CF_DIB, memory), nullptr);
  CloseClipboard();

  ASSERT_EQ(CVL_FromClipboard(), 1);
  ASSERT_EQ(CVL_GetNewRGBAWidth(), 2);
  ASSERT_EQ(CVL_GetNewRGBAHeight(), 2);
  std::vector<uint8_t> rgba(16);
  CVL_GetNewRGBA32(rgba.data());
  const std::vector<uint8_t> expected = {3, 2, 1, 255, 30, 20, 10, 255, 60, 50, 40, 255, 90, 80, 70, 255};
  EXPECT_EQ(rgba, expected);
  CVL_DeleteNewRGBA();
}

TEST_F(DesktopClipboard, AnEmptiedClipboardHasNoPicture) {
  ASSERT_TRUE(clipboard_put_dib(small_dib()));
  clipboard_clear();
  std::vector<uint8_t> back;
  EXPECT_FALSE(clipboard_get_dib(back));
  EXPECT_EQ(CVL_FromClipboard(), 0);
}

}  // namespace
}  // namespace cvl::platform
