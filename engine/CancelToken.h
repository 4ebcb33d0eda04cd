// SPDX-License-Identifier: GPL-3.0-or-later
// The flag that stops a long scan: whoever may cancel holds it, the worker
// looks at it between steps (a folder walked, a chunk read, a tool polled).
#pragma once

#include <mutex>

// A cancellation flag shared between whoever may cancel and the worker that
// checks. Once set it stays set; a new scan takes a new token.
class CancelToken
{
public:
    void cancel()
    {
        std::lock_guard guard(m_lock);
        m_flag = true;
    }
    bool isCancelled() const
    {
        std::lock_guard guard(m_lock);
        return m_flag;
    }

private:
    mutable std::mutex m_lock;
    bool m_flag = false;
};
