// The effect descriptions must cover exactly the effect rows and the arguments
// each row reads, with ranges that hold their defaults.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <set>
#include <string>

#include "effects/effect_docs.h"
#include "effects/effect_table.h"

namespace cvl {
namespace {

// The arguments a row's "reads" text names, lower case ("S1" and "s1" are one
// argument seen in different units). "all" and its variants give no set.
bool reads_set(std::string reads, std::set<std::string>& out) {
  if (reads.rfind("all", 0) == 0) return false;
  for (char& c : reads) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  size_t at = 0;
  while (at < reads.size()) {
    size_t comma = reads.find(", ", at);
    const std::string token = reads.substr(at, comma == std::string::npos ? std::string::npos : comma - at);
    const size_t to = token.find(" to s");
    if (to != std::string::npos) {  // "s1 to s4"
      for (char k = token[1]; k <= token[to + 5]; ++k) out.insert(std::string("s") + k);
    } else if (!token.empty()) {
      out.insert(token);
    }
    if (comma == std::string::npos) break;
    at = comma + 2;
  }
  return true;
}

bool known_arg(const std::string& arg) {
  static const std::set<std::string> known = {"s1", "s2", "s3", "s4", "s5", "s6", "option", "i1", "i2",
                                              "f1", "f2", "f3", "f4", "f5", "f6", "colour", "text"};
  return known.count(arg) == 1;
}

TEST(EffectDocs, EveryRowIsDescribedWithTheArgumentsItReads) {
  for (const EffectRow& row : effect_rows()) {
    SCOPED_TRACE(row.name);
    const EffectDoc* doc = effect_doc(row);
    ASSERT_NE(doc, nullptr) << "no description";
    EXPECT_GT(std::strlen(doc->description), 10u);
    std::set<std::string> described;
    for (const ArgDoc& a : doc->args) {
      SCOPED_TRACE(a.arg);
      EXPECT_TRUE(known_arg(a.arg));
      EXPECT_TRUE(described.insert(a.arg).second) << "described twice";
      EXPECT_GT(std::strlen(a.name), 0u);
      EXPECT_GT(std::strlen(a.meaning), 10u);
      if (std::strcmp(a.arg, "text") == 0) continue;  // a path has no range
      EXPECT_LE(a.min, a.def);
      EXPECT_LE(a.def, a.max);
      EXPECT_LT(a.min, a.max);
    }
    std::set<std::string> read;
    if (reads_set(row.reads, read)) {
      EXPECT_EQ(described, read);
    }
  }
}

TEST(EffectDocs, EveryDescriptionNamesARow) {
  std::set<std::string> names;
  for (const EffectDoc& doc : effect_docs()) {
    EXPECT_NE(find_effect_row(doc.name), nullptr) << doc.name;
    EXPECT_TRUE(names.insert(doc.name).second) << doc.name << " described twice";
  }
}

}  // namespace
}  // namespace cvl
