// SPDX-License-Identifier: GPL-3.0-or-later
#include "Workers.h"

#include <QCoreApplication>
#include <QThread>

Workers::Workers()
{
    // The scan phases run one after another, so two threads serve them and
    // the rescans and clean-ups beside them. Map loads get two, so a quick
    // drill is not held behind a slow load whose answer will be dropped.
    m_user.setMaxThreadCount(2);
    m_utility.setMaxThreadCount(2);
    m_utility.setThreadPriority(QThread::LowPriority);
    m_map.setMaxThreadCount(2);
}

Workers::~Workers()
{
    m_user.waitForDone();
    m_utility.waitForDone();
    m_map.waitForDone();
}

QThreadPool& Workers::pool(Queue queue)
{
    switch (queue) {
    case Queue::User:
        return m_user;
    case Queue::Utility:
        return m_utility;
    case Queue::Map:
        return m_map;
    }
    return m_user;
}

void Workers::waitForAll()
{
    while (m_pending > 0) {
        m_user.waitForDone();
        m_utility.waitForDone();
        m_map.waitForDone();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
}
