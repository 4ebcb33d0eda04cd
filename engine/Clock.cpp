// SPDX-License-Identifier: GPL-3.0-or-later
// Local-time text of the engine's clock.
#include "Clock.h"

#include <ctime>

std::string localTimeText(Clock::time_point time, const char* pattern)
{
    std::time_t seconds = Clock::to_time_t(time);
    std::tm parts{};
    localtime_r(&seconds, &parts);
    char buf[64];
    size_t n = std::strftime(buf, sizeof buf, pattern, &parts);
    return std::string(buf, n);
}
