// SPDX-License-Identifier: GPL-3.0-or-later
// The system activity of a long scan: while it runs, logind is asked to hold
// off idle and sleep (org.freedesktop.login1.Manager.Inhibit("idle:sleep",
// "Tidlo Cleaner", reason, "block") on the system bus). The inhibitor lasts as
// long as the descriptor logind returns stays open; ending the activity closes
// it. The call is asynchronous: a reply that comes after the activity ended is
// closed at once. Without a system bus or logind nothing happens, quietly.
#pragma once

#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QObject>
#include <QString>

class SystemActivity : public QObject
{
    Q_OBJECT

public:
    // Works on the system bus.
    explicit SystemActivity(QObject* parent = nullptr);
    // Works on the given bus (a private bus with a stand-in logind in tests).
    SystemActivity(const QDBusConnection& bus, QObject* parent = nullptr);

    // Starts the activity unless one is running; asks logind for the inhibitor.
    void begin(const QString& reason);
    // The same with the app's reason (what systemd-inhibit --list shows), in
    // the user's language.
    void begin();
    // Ends the activity (if any) and closes the inhibitor's descriptor.
    void end();

    bool active() const { return m_active; }
    // logind's descriptor is held right now.
    bool holdsInhibitor() const { return m_inhibitor.isValid(); }

private:
    QDBusConnection m_bus;
    bool m_active = false;
    // Counts begin() calls, so a late reply of an earlier activity is dropped.
    quint64 m_run = 0;
    QDBusUnixFileDescriptor m_inhibitor;
};
