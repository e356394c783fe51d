// One version number: the header's macros, what the library says, and the
// project's version CMake read from the header.
#include <gtest/gtest.h>

#include <string>

#include "corvel/corvel.h"

TEST(Version, TheLibraryTheHeaderAndTheProjectAgree) {
  const std::string macros = std::to_string(CORVEL_VERSION_MAJOR) + "." + std::to_string(CORVEL_VERSION_MINOR) + "." +
                             std::to_string(CORVEL_VERSION_PATCH);
  ASSERT_NE(CVL_GetVersion(), nullptr);
  EXPECT_EQ(std::string(CVL_GetVersion()), macros);
  EXPECT_EQ(macros, CORVEL_PROJECT_VERSION);
}
