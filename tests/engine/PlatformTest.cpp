// SPDX-License-Identifier: GPL-3.0-or-later
// The platform unit's own measuring, on a fixture home.
#include "Platform.h"
#include "Scanner.h"
#include "TestHome.h"

#include <filesystem>
#include <gtest/gtest.h>

using TestSupport::TestHome;

// Bundles measured together: a file linked from two of them counts in the
// first only, and a path that cannot be measured is left out rather than
// given a size.
TEST(Platform, SizesTogetherCountASharedFileOnceAndLeaveOutTheUnmeasurable)
{
    TestHome home;
    home.sizedFile("one.app/shared", 400 * 1024);
    home.sizedFile("two.app/own", 8 * 1024);
    std::filesystem::create_hard_link(home.at("one.app/shared"), home.at("two.app/shared"));
    const std::string one = home.at("one.app"), two = home.at("two.app");
    const std::string gone = home.at("gone.app");
    const auto sizes = Platform::sizesTogether({one, gone, two});
    ASSERT_EQ(sizes.size(), 2u);
    EXPECT_EQ(sizes.at(one), Scanner::sizeOf(one));
    // Alone, two.app holds the shared file; together it counts in one.app.
    EXPECT_GT(Scanner::sizeOf(two), 400 * 1024);
    EXPECT_LT(sizes.at(two), 100 * 1024);
}
