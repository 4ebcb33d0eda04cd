// SPDX-License-Identifier: GPL-3.0-or-later
// Quitting during a scan: the application stops every running tool when it
// quits, so the model's destruction waits only a moment even while a scan
// phase runs a long tool. A process of its own, as stopping tools is for good.
#include "AppModel.h"
#include "TestHome.h"

#include <QElapsedTimer>
#include <QTest>

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
        QTest::qWait(300); // the tool is running now

        QElapsedTimer clock;
        clock.start();
        Shell::stopAll(); // what the application does when it quits
        model.reset();
        QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
    }
};

QTEST_GUILESS_MAIN(ShutdownTest)
#include "ShutdownTest.moc"
