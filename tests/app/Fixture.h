// SPDX-License-Identifier: GPL-3.0-or-later
// A small home folder that every scan phase finds something in, for the app
// tests: safe and careful caches, one cache the user protected, a leftover of
// a removed application and one large file (with largeMinMB set to 2).
#pragma once

#include "TestHome.h"

#include <string>

namespace Fixture {

inline constexpr long long kMiB = 1024 * 1024;

// Builds the findings into home.
inline void build(const TestSupport::TestHome& home)
{
    home.sizedFile("Library/Caches/FooCache/blob", 3 * kMiB); // safe (generic sweep)
    home.sizedFile("Library/Caches/pip/blob", 4 * kMiB);      // safe (known location)
    home.sizedFile("Library/Caches/Guarded/blob", 3 * kMiB);  // safe but protected
    home.sizedFile(".npm/_cacache/blob", 3 * kMiB);           // care: never pre-selected
    home.sizedFile("Library/Application Support/OldTool/data", 2 * kMiB); // leftover
    home.sizedFile("Downloads/movie.bin", 3 * kMiB);                      // large (min 2 MB)
}

// Adds one more finding to each phase, so a later scan's lists differ from an
// earlier scan's in every phase.
inline void grow(const TestSupport::TestHome& home)
{
    home.sizedFile("Library/Caches/NewCache/blob", 5 * kMiB);
    home.sizedFile("Library/Application Support/GoneApp/data", 2 * kMiB);
    home.sizedFile("Documents/dump.bin", 4 * kMiB);
}

} // namespace Fixture
