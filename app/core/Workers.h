// SPDX-License-Identifier: GPL-3.0-or-later
// Where the model's engine calls run. Three queues: one for the scan phases,
// large-file rescans and clean-ups (user-initiated), one for the figures that
// can wait (usage, processes, duplicates, the Toolbox's readings), and one of
// its own for storage-map loads, so a drill never waits behind a scan phase.
//
// run() starts a call on a queue and hands its result to a function on the
// main thread, through the context object: when that object is gone by then,
// the result is dropped.
//
// Shutdown rule: the application stops every running tool when it quits
// (Shell::stopAll, in main); destroying Workers then waits only for calls
// that are already on their way out, and no result is assigned after the
// owner's destruction began.
#pragma once

#include <QFuture>
#include <QObject>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

#include <type_traits>
#include <utility>

class Workers
{
public:
    enum class Queue { User, Utility, Map };

    Workers();
    ~Workers();
    Workers(const Workers&) = delete;
    Workers& operator=(const Workers&) = delete;

    template <class Work, class Done> void run(Queue queue, QObject* context, Work work, Done done)
    {
        using Result = std::invoke_result_t<Work>;
        ++m_pending;
        // The continuation runs on the context's (main) thread, but at once
        // when the work was already done before it was attached; the second,
        // queued hop makes every result arrive later, from the event loop,
        // never inside the call that started it.
        QtConcurrent::run(&pool(queue), std::move(work))
            .then(context, [this, context, done = std::move(done)](Result result) mutable {
                QMetaObject::invokeMethod(
                    context,
                    [this, done = std::move(done), result = std::move(result)]() mutable {
                        --m_pending;
                        done(std::move(result));
                    },
                    Qt::QueuedConnection);
            });
    }

    // Hands done to the context's thread later, from the event loop, as a
    // call's result arrives, but without a worker: for an answer already at
    // hand that must keep its place behind the results before it. Counted
    // like a call, so waitForAll waits for it too.
    template <class Done> void post(QObject* context, Done done)
    {
        ++m_pending;
        QMetaObject::invokeMethod(
            context,
            [this, done = std::move(done)]() mutable {
                --m_pending;
                done();
            },
            Qt::QueuedConnection);
    }

    // Blocks until every call started (and every call those started in turn)
    // has finished and its result has been handed over. For tests and
    // benchmarks, which must not change HOME under a running scan.
    void waitForAll();

private:
    QThreadPool& pool(Queue queue);

    int m_pending = 0; // main thread only
    QThreadPool m_user;
    QThreadPool m_utility;
    QThreadPool m_map;
};
