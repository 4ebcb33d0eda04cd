// SPDX-License-Identifier: GPL-3.0-or-later
// How late the main thread answers: a 10 ms timer ticks while a benchmark
// step runs, and each tick's lateness is kept, with the main thread's CPU
// time and the wall time of the whole phase.
#pragma once

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QObject>
#include <QTimer>
#include <algorithm>
#include <ctime>
#include <functional>
#include <vector>

// CPU time the calling (main) thread has used, in milliseconds.
inline double threadCpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

// The middle value (the upper one of an even count); 0 for none.
inline double median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct Lateness
{
    std::vector<double> ms;
    double cpuMs = 0;  // main-thread CPU time used during the phase
    double wallMs = 0; // the phase's length
    double worst() const { return ms.empty() ? 0 : *std::max_element(ms.begin(), ms.end()); }
    double p99() const
    {
        if (ms.empty())
            return 0;
        std::vector<double> s = ms;
        std::sort(s.begin(), s.end());
        return s[size_t(double(s.size() - 1) * 0.99)];
    }
};

// Runs the tick timer in the event loop, calling step() on every tick (its
// time counts towards that tick's lateness), until step() returns true.
inline Lateness measure(const std::function<bool()>& step)
{
    constexpr int kInterval = 10;
    Lateness out;
    QElapsedTimer clock;
    clock.start();
    qint64 last = clock.nsecsElapsed();
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(kInterval);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        out.ms.push_back(std::max(0.0, double(now - last) / 1e6 - kInterval));
        last = now;
        if (step())
            QGuiApplication::exit(0);
    });
    const double cpu0 = threadCpuMs();
    tick.start();
    QGuiApplication::exec();
    out.cpuMs = threadCpuMs() - cpu0;
    out.wallMs = double(clock.nsecsElapsed()) / 1e6;
    return out;
}
