#include <gtest/gtest.h>
TEST(Soak, Placeholder) {}
