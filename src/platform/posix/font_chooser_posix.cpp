#include <fontconfig/fontconfig.h>

#include <cstring>

#include "platform/font_chooser.h"

namespace cvl::platform {
namespace {

// Field offsets of the LOGFONTA record.
constexpr int kHeight = 0;
constexpr int kWeight = 16;
constexpr int kFaceName = 28;
constexpr int kFaceBytes = 32;
constexpr int32_t kDefaultHeight = -16;  // 16-pixel characters
constexpr int32_t kNormalWeight = 400;

void put_long(uint8_t* record, int offset, int32_t v) { std::memcpy(record + offset, &v, 4); }

// The family fontconfig gives for "sans-serif"; empty when it finds none.
void default_face(char* face, size_t size) {
  face[0] = 0;
  FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("sans-serif"));
  if (!pattern) return;
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcChar8* family = nullptr;
  if (match && FcPatternGetString(match, FC_FAMILY, 0, &family) == FcResultMatch && family) {
    std::strncpy(face, reinterpret_cast<const char*>(family), size - 1);
    face[size - 1] = 0;
  }
  if (match) FcPatternDestroy(match);
  FcPatternDestroy(pattern);
}

}  // namespace

int32_t system_choose_font(void*, uint8_t* logfont, bool, uint32_t*) {
  std::memset(logfont, 0, kLogFontBytes);
  put_long(logfont, kHeight, kDefaultHeight);
  put_long(logfont, kWeight, kNormalWeight);
  default_face(reinterpret_cast<char*>(logfont + kFaceName), kFaceBytes);
  return 1;
}

}  // namespace cvl::platform
