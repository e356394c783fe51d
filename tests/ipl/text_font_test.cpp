#include "ipl/text_font.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "corvel/corvel.h"

namespace cvl {
namespace {

// A scripted chooser: each call takes the next answer, and records the record it was shown.
struct Chooser {
  struct Answer {
    int32_t result;
    uint32_t error;
    const char* face;  // written into the record when chosen
  };
  std::vector<Answer> answers;
  std::vector<LogFontA> shown;
  size_t next = 0;
};

int32_t scripted(void* user, void* logfont, uint32_t* error) {
  auto* c = static_cast<Chooser*>(user);
  auto* font = static_cast<LogFontA*>(logfont);
  c->shown.push_back(*font);
  const Chooser::Answer a = c->answers.at(c->next++);
  *error = a.error;
  if (a.result) {
    std::memset(font, 0, sizeof *font);
    std::strncpy(font->lfFaceName, a.face, sizeof font->lfFaceName - 1);
    font->lfHeight = -30;
  }
  return a.result;
}

class TextFont : public ::testing::Test {
 protected:
  void SetUp() override {
    text_font() = LogFontA{};
    CVL_SetLastError("before");
  }
  void TearDown() override { CVL_SetHostCallbacks(nullptr); }
  void install(Chooser& chooser) {
    CVL_HostCallbacks table{};
    table.size = sizeof table;
    table.user_data = &chooser;
    table.choose_font = scripted;
    CVL_SetHostCallbacks(&table);
  }
};

TEST_F(TextFont, ChoosingStoresTheFontAndCancellingRecordsNothing) {
  Chooser chooser{{{1, 0, "Serif"}, {0, 0, nullptr}}};
  install(chooser);
  EXPECT_NE(CVL_ChooseFont(), 0);
  EXPECT_STREQ(text_font().lfFaceName, "Serif");
  EXPECT_EQ(CVL_ChooseFont(), 0);
  EXPECT_STREQ(CVL_GetLastError(), "before");
  EXPECT_STREQ(text_font().lfFaceName, "Serif");
  EXPECT_STREQ(chooser.shown[1].lfFaceName, "Serif");  // the dialog starts from the stored font
  EXPECT_EQ(chooser.next, 2u);
}

TEST_F(TextFont, AFailureIsReportedAndRetriedFromABlankRecord) {
  const std::pair<uint32_t, const char*> codes[] = {
      {2, "Font Err: CDERR_INITIALIZATION"}, {9, "Font Err: CDERR_MEMALLOCFAILURE"},
      {0x2001, "Font Err: CFERR_NOFONTS"},   {0xFFFF, "Font Err: CDERR_DIALOGFAILURE"},
      {3, "Font Err: Other Error"},          {0x3000, "Font Err: Other Error"},
  };
  for (const auto& [code, text] : codes) {
    Chooser chooser{{{1, 0, "Earlier"}, {0, code, nullptr}, {1, 0, "Retried"}}};
    install(chooser);
    CVL_ChooseFont();
    EXPECT_NE(CVL_ChooseFont(), 0);
    EXPECT_STREQ(CVL_GetLastError(), text);
    EXPECT_STREQ(text_font().lfFaceName, "Retried");
    ASSERT_EQ(chooser.shown.size(), 3u);
    EXPECT_EQ(chooser.shown[2].lfFaceName[0], 0);
    EXPECT_EQ(chooser.shown[2].lfHeight, 0);
  }
}

TEST_F(TextFont, CancellingTheRetryKeepsTheEarlierChoice) {
  Chooser chooser{{{1, 0, "Earlier"}, {0, 2, nullptr}, {0, 0, nullptr}}};
  install(chooser);
  CVL_ChooseFont();
  EXPECT_EQ(CVL_ChooseFont(), 0);
  EXPECT_STREQ(text_font().lfFaceName, "Earlier");
  EXPECT_EQ(text_font().lfHeight, -30);
}

TEST_F(TextFont, WithoutAChooserASansSerifFaceIsTaken) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows shows its own font dialog instead";
#endif
  EXPECT_NE(CVL_ChooseFont(), 0);
  EXPECT_NE(text_font().lfFaceName[0], 0);
  EXPECT_EQ(text_font().lfHeight, -16);
  EXPECT_EQ(text_font().lfWeight, 400);
  EXPECT_STREQ(CVL_GetLastError(), "before");
}

}  // namespace
}  // namespace cvl
