#include "io/file_utilities.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "corvel/corvel.h"
#include "codecs/independent_decoder.h"

namespace cvl {
namespace {

using test::ScratchDir;

std::string contents(const std::string& path) {
  std::ifstream in(path);
  return {std::istreambuf_iterator<char>(in), {}};
}

TEST(FileUtilities, RenamingNeverReplacesAnExistingName) {
  ScratchDir dir;
  const std::string a = dir.path("a.txt"), b = dir.path("b.txt"), c = dir.path("c.txt");
  std::ofstream(a) << "first";
  std::ofstream(b) << "second";
  std::filesystem::create_directory(dir.path("d1"));
  std::filesystem::create_directory(dir.path("d2"));
  struct Case {
    std::string from, to;
    int32_t result;
  } cases[] = {
      {a, b, 0},                                // onto an existing file
      {dir.path("d1"), dir.path("d2"), 0},      // onto an existing directory
      {a, dir.path("d1"), 0},                   // a file onto a directory
      {dir.path("missing"), c, 0},              // nothing to rename
      {a, dir.path("nowhere/a.txt"), 0},        // no such folder
      {a, c, 1},                                // a free name
      {dir.path("d1"), dir.path("d3"), 1},      // a directory to a free name
  };
  for (const Case& k : cases) EXPECT_EQ(CVL_RenameFile(k.from.c_str(), k.to.c_str()), k.result) << k.from << " -> " << k.to;
  EXPECT_FALSE(std::filesystem::exists(a));
  EXPECT_EQ(contents(b), "second");
  EXPECT_EQ(contents(c), "first");
  EXPECT_TRUE(std::filesystem::is_directory(dir.path("d3")));
}

TEST(FileUtilities, TheSystemDirectoryIsADirectory) {
  const char* dir = CVL_GetDirInfo();
  ASSERT_NE(dir, nullptr);
  EXPECT_TRUE(std::filesystem::is_directory(dir)) << dir;
  EXPECT_EQ(CVL_GetDirInfo(), dir);  // one engine-held buffer
}

}  // namespace
}  // namespace cvl
