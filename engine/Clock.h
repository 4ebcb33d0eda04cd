// SPDX-License-Identifier: GPL-3.0-or-later
// The engine's one clock for dates the user sees or that are stored (the
// history, preferences, Trash records), and local-time text of its points.
#pragma once

#include <chrono>
#include <string>

using Clock = std::chrono::system_clock;

// The local time of time as strftime writes it with pattern (at most 63 bytes,
// "%Y-%m-%d_%H%M" and the like).
std::string localTimeText(Clock::time_point time, const char* pattern);
