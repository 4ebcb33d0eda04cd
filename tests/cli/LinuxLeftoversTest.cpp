// SPDX-License-Identifier: GPL-3.0-or-later
// tclean on a Linux home holding what a removed application left: the folder
// is offered once, as a careful leftover, and the cache inside it moves with
// it.
#include "DesktopHome.h"
#include "Measure.h"
#include "Terminal.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

using TestSupport::runProgram;
using TestSupport::tcleanPath;

TEST(LinuxLeftovers, AnApplicationsFolderWithItsCacheIsOfferedOnce)
{
    TestSupport::DesktopHome desk("en");
    desk.home().sizedFile(".config/gone-app/Cache/blob", 3 * 1024 * 1024);
    desk.home().sizedFile(".config/gone-app/settings/blob", 1024 * 1024);
    desk.age(".config", 120);
    const int64_t size = Scanner::sizeOf(desk.at(".config/gone-app"));

    auto json = nlohmann::json::parse(runProgram(tcleanPath(), {"scan", "--json"}).out);
    bool leftover = false;
    for (const auto& item : json)
        if (item["path"] == desk.at(".config/gone-app")) {
            leftover = true;
            EXPECT_EQ(item["kind"], "orphan");
            EXPECT_EQ(item["risk"], "care");
        }
    EXPECT_TRUE(leftover) << json.dump();

    // Careful items stay out of a --safe clean-up, which takes the cache
    // alone; a whole one moves the folder, its cache with it.
    const std::string safe = runProgram(tcleanPath(), {"clean", "--safe"}).out;
    EXPECT_NE(safe.find("  · ~/.config/gone-app/Cache\n"), std::string::npos) << safe;
    EXPECT_EQ(safe.find("  · ~/.config/gone-app\n"), std::string::npos) << safe;
    EXPECT_EQ(runProgram(tcleanPath(), {"clean", "--min", "1"}).out,
              "Will move 1 item, " + human(size) +
                  " → Trash (one entry per item, restorable)\n"
                  "  · ~/.config/gone-app\n"
                  "\n"
                  "This was a dry run (--dry-run): no file was moved.\n"
                  "When it looks right, run: tclean clean --yes\n");
}
