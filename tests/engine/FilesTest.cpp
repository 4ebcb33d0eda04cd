// SPDX-License-Identifier: GPL-3.0-or-later
// Places nested in one another, so that every total counts each byte once.
#include "Files.h"

#include <gtest/gtest.h>

TEST(Files, InsideOthersComparesWholeComponents)
{
    struct Case
    {
        std::vector<std::string> paths;
        std::vector<bool> inside;
    };
    const Case cases[] = {
        {{"/h/a", "/h/a/b", "/h/ab", "/h/a-b", "/h/a/b/c"}, {false, true, false, false, true}},
        // Order does not matter; a name sorting between a folder and its
        // contents ("a-b" before "a/b" in bytes) does not hide them.
        {{"/h/a/b/c", "/h/a-b", "/h/a.b", "/h/a/b", "/h/a"}, {true, false, false, true, false}},
        // Of two equal places the later one is inside the earlier.
        {{"/h/x", "/h/y", "/h/x", "/h/x/"}, {false, false, true, true}},
        {{"/h//a/", "/h/a//b"}, {false, true}},
        {{"/", "/h", "/h/a"}, {false, true, true}},
        {{"", "/h", ""}, {false, false, false}},
        {{"/h/é", "/h/é/\xff", "/h/\xff", "/h/\xff\n/x"}, {false, true, false, false}},
        {{}, {}},
    };
    for (const auto& c : cases) {
        std::string shown;
        for (const auto& p : c.paths)
            shown += "[" + p + "]";
        EXPECT_EQ(Files::insideOthers(c.paths), c.inside) << shown;
    }
}

TEST(Files, OuterTotalCountsEachPlaceOnce)
{
    const std::vector<std::string> paths = {"/h/.var/app/org.x", "/h/.var/app/org.x/cache",
                                            "/h/.cache/pip", "/h/.var/app/org.x"};
    EXPECT_EQ(Files::outerTotal(paths, {100, 80, 5, 100}), 105);
    EXPECT_EQ(Files::outerTotal({"/a", "/b"}, {INT64_MAX, 1}), INT64_MAX);
    EXPECT_EQ(Files::outerTotal({"/a", "/b"}, {7}), 7);
}
