// SPDX-License-Identifier: GPL-3.0-or-later
// The system activity against a stand-in logind on a private bus (the test runs
// under dbus-run-session and hands that bus to the activity as its system bus):
// what logind is asked, that its descriptor stays open exactly while the
// activity runs, and that no bus or no logind passes without a word.
#include "SystemActivity.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QRegularExpression>
#include <QTest>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

// Answers org.freedesktop.login1.Manager.Inhibit as logind does: with the write
// end of a pipe, whose read end the test keeps to see when every copy is closed.
class FakeLogind : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")

public:
    ~FakeLogind() override
    {
        for (int fd : readEnds)
            ::close(fd);
    }
    QStringList calls;
    std::vector<int> readEnds;

    // Whether the inhibitor of call i is still held by someone.
    bool held(size_t i) const
    {
        char byte;
        const ssize_t n = ::read(readEnds.at(i), &byte, 1);
        return n < 0 && errno == EAGAIN;
    }

public slots:
    QDBusUnixFileDescriptor Inhibit(const QString& what, const QString& who, const QString& why,
                                    const QString& mode)
    {
        calls += QStringList{what, who, why, mode}.join('|');
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0)
            return {};
        readEnds.push_back(ends[0]);
        QDBusUnixFileDescriptor fd(ends[1]); // keeps its own copy
        ::close(ends[1]);
        return fd;
    }
};

class SystemActivityTest : public QObject
{
    Q_OBJECT

    QDBusConnection standInBus()
    {
        return QDBusConnection::connectToBus(QDBusConnection::SessionBus, "logind");
    }

private slots:
    // The bus library reads the bus addresses once, at the first connection.
    void initTestCase() { qputenv("DBUS_SYSTEM_BUS_ADDRESS", qgetenv("DBUS_SESSION_BUS_ADDRESS")); }

    // The activity of the app talks to the system bus: here the private bus
    // stands in for it (by the address the system bus is looked up by).
    void asksLogindOnTheSystemBus()
    {
        QDBusConnection logindBus = standInBus();
        if (!logindBus.isConnected())
            QSKIP("no private bus: run under dbus-run-session");
        FakeLogind logind;
        QVERIFY(logindBus.registerObject("/org/freedesktop/login1", &logind,
                                         QDBusConnection::ExportAllSlots));
        QVERIFY(logindBus.registerService("org.freedesktop.login1"));
        SystemActivity activity;
        activity.begin("Scanning the home folder");
        QTRY_VERIFY(activity.holdsInhibitor());
        QCOMPARE(logind.calls.size(), 1);
        activity.end();
        QTRY_VERIFY(!logind.held(0));
        logindBus.unregisterService("org.freedesktop.login1");
        logindBus.unregisterObject("/org/freedesktop/login1");
    }

    void holdsLogindsDescriptorWhileTheActivityRuns()
    {
        QDBusConnection logindBus = standInBus();
        if (!logindBus.isConnected())
            QSKIP("no private bus: run under dbus-run-session");
        FakeLogind logind;
        QVERIFY(logindBus.registerObject("/org/freedesktop/login1", &logind,
                                         QDBusConnection::ExportAllSlots));
        QVERIFY(logindBus.registerService("org.freedesktop.login1"));

        SystemActivity activity(
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, "activity"));
        activity.begin("Scanning the home folder");
        activity.begin("a second begin while running asks nothing more");
        QTRY_VERIFY(activity.holdsInhibitor());
        QCOMPARE(logind.calls,
                 QStringList{"idle:sleep|Tidlo Cleaner|Scanning the home folder|block"});
        QVERIFY(logind.held(0));
        activity.end();
        QVERIFY(!activity.active() && !activity.holdsInhibitor());
        QTRY_VERIFY(!logind.held(0));

        // A reply that arrives after its activity ended is closed at once.
        activity.begin("short");
        activity.end();
        QTRY_COMPARE(logind.calls.size(), 2);
        QTRY_VERIFY(!logind.held(1));
        QVERIFY(!activity.holdsInhibitor());

        // The next activity asks again.
        activity.begin("again");
        QTRY_VERIFY(activity.holdsInhibitor());
        QVERIFY(logind.held(2));
        activity.end();
        QTRY_VERIFY(!logind.held(2));
        logindBus.unregisterService("org.freedesktop.login1");
        logindBus.unregisterObject("/org/freedesktop/login1");
    }

    void withoutLogindOrABusNothingHappensQuietly()
    {
        QTest::failOnWarning(QRegularExpression(".*"));
        // A bus where nobody answers for logind.
        SystemActivity noLogind(
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, "nologind"));
        noLogind.begin("scan");
        QVERIFY(noLogind.active());
        // A fixed wait on purpose: the bus's error reply, if any, has come and
        // gone, and neither a warning nor an inhibitor followed.
        QTest::qWait(200);
        QVERIFY(!noLogind.holdsInhibitor());
        noLogind.end();
        QVERIFY(!noLogind.active());

        // No system bus at all: the address leads nowhere.
        SystemActivity noBus(QDBusConnection::connectToBus(
            QStringLiteral("unix:path=/nonexistent/tidlo-test-bus"), "nobus"));
        noBus.begin("scan");
        QVERIFY(noBus.active() && !noBus.holdsInhibitor());
        noBus.end();
        QVERIFY(!noBus.active());
    }
};

QTEST_GUILESS_MAIN(SystemActivityTest)
#include "SystemActivityTest.moc"
