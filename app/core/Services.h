// SPDX-License-Identifier: GPL-3.0-or-later
// What the model's helpers need to reach the engine off the main thread: the
// engine-call table (EngineCalls.h) and the worker queues (Workers.h). The
// model owns one and hands it to the objects that only start engine calls
// (the Apps pane's list, the Toolbox panes' readings, the map and the
// duplicate search), so none of them needs the whole model.
#pragma once

#include "EngineCalls.h"
#include "Workers.h"

#include <QObject>
#include <QtQml/qqmlregistration.h>

#include <utility>

class Services : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("AppModel owns the services")

public:
    explicit Services(QObject* parent = nullptr) : QObject(parent) {}

    // The engine calls; a test replaces some of them. Calls already started
    // keep the table they started with.
    const EngineCalls& engine() const { return m_engine; }
    void setEngine(EngineCalls calls) { m_engine = std::move(calls); }

    // Runs work on a queue and hands its result to done on the main thread,
    // unless context is gone by then.
    template <class Work, class Done>
    void run(Workers::Queue queue, QObject* context, Work work, Done done)
    {
        m_workers.run(queue, context, std::move(work), std::move(done));
    }
    // The same on the utility queue (the Toolbox panes' readings, the Apps list).
    template <class Work, class Done> void runUtility(QObject* context, Work work, Done done)
    {
        run(Workers::Queue::Utility, context, std::move(work), std::move(done));
    }

    // Hands done to the main thread later, from the event loop, with no
    // engine call (Workers::post).
    template <class Done> void post(QObject* context, Done done)
    {
        m_workers.post(context, std::move(done));
    }

    // Blocks until every engine call started here has finished and its result
    // has been assigned, and every post has been handed over (tests and
    // benchmarks).
    void waitForAll() { m_workers.waitForAll(); }

    // Files left the disk outside the model's own clean-up (an uninstall):
    // the model re-reads the volume.
    void reportDiskChanged() { emit diskChanged(); }

signals:
    void diskChanged();

private:
    EngineCalls m_engine;
    // Last: destroyed first, so no worker outlives the table it copied from.
    Workers m_workers;
};
