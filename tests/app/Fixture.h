// SPDX-License-Identifier: GPL-3.0-or-later
// The app model tests' fixtures: a temporary home with the model under test,
// and a small home folder that every scan phase finds something in (safe and
// careful caches, one cache the user protected, a leftover of a removed
// application and one large file, with largeMinMB set to 2).
#pragma once

#include "AppModel.h"
#include "TestHome.h"

#include <memory>
#include <string>

namespace Fixture {

// A model test's home and model, fresh for each test function: the test's
// init() calls makeHome(), its cleanup() dropHome().
class ModelHome
{
protected:
    // A new temporary home (HOME and XDG_* point into it) with the app's
    // texts in English.
    void makeHome() { m_home = std::make_unique<TestSupport::TestHome>("en"); }
    // Waits until the model's engine calls have finished, so none reads the
    // home after it is gone, then drops the model and the home.
    void dropHome()
    {
        if (m_model)
            m_model->waitForWorkers();
        m_model.reset();
        m_home.reset();
    }

    std::unique_ptr<TestSupport::TestHome> m_home;
    std::unique_ptr<AppModel> m_model;
};

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
