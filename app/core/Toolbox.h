// SPDX-License-Identifier: GPL-3.0-or-later
// The Toolbox panes' readings of the machine, taken off the main thread: the
// System pane's memory, Trash and login items, the Snapshots pane's list, and
// Empty Trash. A pane makes one Toolbox, gives it the services (whose engine-call
// table and utility queue it uses) and listens for the results; a result that
// arrives after its pane is gone is dropped.
#pragma once

#include <QObject>
#include <QStringList>
#include <QVariantMap>
#include <QtQml/qqmlregistration.h>

class Services;

class Toolbox : public QObject
{
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(Services* services READ services WRITE setServices NOTIFY servicesChanged)

public:
    explicit Toolbox(QObject* parent = nullptr);

    Services* services() const { return m_services; }
    void setServices(Services* services);

    // The environment variable name read as a decimal integer ("-1", "7");
    // 0 when it is missing or not an integer. The Toolbox reads TID_TAB and
    // TID_DUPTAB through it each time a page or pane is made.
    Q_INVOKABLE static int envNumber(const QString& name);

    // Memory, then the Trash's size and count, then the login items, each in
    // turn on a worker; systemRead follows with all three.
    Q_INVOKABLE void readSystem();
    // The local snapshots; snapshotsRead follows.
    Q_INVOKABLE void readSnapshots();
    // Empties the user's Trash for good on a worker, then reads the system
    // again (systemRead); trashLeft follows when emptying left entries alone
    // because they are mounted there from elsewhere.
    Q_INVOKABLE void emptyTrash();

signals:
    void servicesChanged();
    // memTotal, memFree, trashSize, trashCount (numbers) and logins (list).
    void systemRead(const QVariantMap& reading);
    void snapshotsRead(const QVariantList& snapshots);
    // Empty Trash left count entries as they were (mounted from elsewhere).
    void trashLeft(int count);

private:
    Services* m_services = nullptr;
};
