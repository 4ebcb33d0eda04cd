// SPDX-License-Identifier: GPL-3.0-or-later
// A seam for the model tests: wraps an engine call so that each call waits on
// the worker until the test releases it. The call itself stays real.
#pragma once

#include <QSemaphore>

#include <memory>
#include <utility>

class Gate
{
public:
    // Lets n waiting (or future) calls through.
    void release(int n = 1) { m_state->open.release(n); }
    // How many calls have arrived at the gate so far.
    int arrived() const { return m_state->arrived.available(); }

    // fn, held at this gate on every call.
    template <class Fn> auto hold(Fn fn) const
    {
        return [state = m_state, fn = std::move(fn)](auto&&... args) {
            state->arrived.release();
            state->open.acquire();
            return fn(std::forward<decltype(args)>(args)...);
        };
    }

private:
    struct State
    {
        QSemaphore open;
        QSemaphore arrived;
    };
    std::shared_ptr<State> m_state = std::make_shared<State>();
};
