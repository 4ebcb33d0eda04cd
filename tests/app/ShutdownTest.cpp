// SPDX-License-Identifier: GPL-3.0-or-later
// Quitting during a scan: the application stops every running tool when it
// quits, so the model's destruction waits only a moment even while a scan
// phase runs a long tool. A process of its own, as stopping tools is for good.
#include "AppModel.h"
#include "TestHome.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>

#include <unistd.h>

namespace {

// True when a process named name, started by this one, is running: its
// /proc/PID/stat reads "PID (name) STATE PARENT ...".
bool childIsRunning(const QByteArray& name)
{
    const QByteArray self = QByteArray::number(getpid());
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs);
    for (const QString& pid : pids) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray line = stat.readAll();
        const qsizetype open = line.indexOf('(');
        const qsizetype close = line.lastIndexOf(')');
        if (open < 0 || close < open)
            continue;
        const QList<QByteArray> fields = line.mid(close + 2).split(' ');
        if (line.mid(open + 1, close - open - 1) == name && fields.size() > 1 &&
            fields.at(1) == self)
            return true;
    }
    return false;
}

} // namespace

class ShutdownTest : public QObject
{
    Q_OBJECT

private slots:
    void quittingStopsTheRunningScanAtOnce()
    {
        TestSupport::TestHome home;
        auto model = std::make_unique<AppModel>();
        EngineCalls calls;
        calls.cacheItems = [](const CancelToken*) {
            Shell::run("/bin/sleep", {"30"}); // a phase that would take half a minute
            return std::vector<ScanItem>{};
        };
        model->setEngine(calls);
        model->fullScan();
        QTRY_VERIFY(childIsRunning("sleep")); // the tool is running now

        QElapsedTimer clock;
        clock.start();
        Shell::stopAll(); // what the application does when it quits
        model.reset();
        QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
    }
};

QTEST_GUILESS_MAIN(ShutdownTest)
#include "ShutdownTest.moc"
