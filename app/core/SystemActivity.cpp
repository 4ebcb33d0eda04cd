// SPDX-License-Identifier: GPL-3.0-or-later
// The logind inhibitor held while a scan runs.
#include "SystemActivity.h"

#include "Text.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace {

const char* kService = "org.freedesktop.login1";
const char* kObject = "/org/freedesktop/login1";
const char* kInterface = "org.freedesktop.login1.Manager";

} // namespace

SystemActivity::SystemActivity(QObject* parent)
    : SystemActivity(QDBusConnection::systemBus(), parent)
{
}

SystemActivity::SystemActivity(const QDBusConnection& bus, QObject* parent)
    : QObject(parent), m_bus(bus)
{
}

void SystemActivity::begin(const QString& reason)
{
    if (m_active)
        return;
    m_active = true;
    const quint64 run = ++m_run;
    if (!m_bus.isConnected())
        return;
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kObject, kInterface, QStringLiteral("Inhibit"));
    call << QStringLiteral("idle:sleep") << QStringLiteral("Tidlo Cleaner") << reason
         << QStringLiteral("block");
    // No activation: a bus without logind answers at once, and nothing is started for us.
    call.setAutoStartService(false);
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, run](QDBusPendingCallWatcher* w) {
                w->deleteLater();
                QDBusPendingReply<QDBusUnixFileDescriptor> reply = *w;
                // An error (no logind, refused) leaves the activity without an
                // inhibitor; a reply for an activity that has ended is closed as
                // the reply goes away.
                if (reply.isError() || !m_active || run != m_run)
                    return;
                m_inhibitor = reply.value();
            });
}

void SystemActivity::begin()
{
    begin(QString::fromStdString(t("common.loading")));
}

void SystemActivity::end()
{
    m_active = false;
    m_inhibitor = QDBusUnixFileDescriptor();
}
