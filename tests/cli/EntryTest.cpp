#include "Entry.h"
#include <gtest/gtest.h>
TEST(Entry, Placeholder) { EXPECT_EQ(Cli::parse({}, "/h").command, Cli::Command::Overview); }
