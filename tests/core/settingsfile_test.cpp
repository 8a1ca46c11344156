#include <gtest/gtest.h>
TEST(Placeholder, Settings) {}
