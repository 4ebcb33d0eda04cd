// SPDX-License-Identifier: GPL-3.0-or-later
// The real window on a real X server (run under Xvfb): it appears titled with
// the application's name at 1100 x 750 with the 980 x 660 minimum, the
// watchdog puts a shrunken window back during its first ticks, no setting of
// another system lands in the preferences, the built
// executable reports its window under TID_DEBUG, the Storage Map's Choose
// Folder opens a chooser when the window opened on that page, and closing the
// window ends the application.
#include "Lang.h"
#include "MainWindow.h"
#include "Preferences.h"
#include "TestHome.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QQuickItem>
#include <QQuickStyle>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <memory>

namespace {

// Runs the built TidloCleaner on this display over the test's home with extra
// environment; stops it once its output holds until (or after 1.5 seconds
// when until is null) and returns what it printed.
QString runApp(const QMap<QString, QString>& extra, const char* until)
{
    QProcess app;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("TID_DEBUG");
    for (auto it = extra.begin(); it != extra.end(); ++it)
        env.insert(it.key(), it.value());
    app.setProcessEnvironment(env);
    app.setProcessChannelMode(QProcess::SeparateChannels);
    app.start(QStringLiteral(TIDLO_APP_PATH), {});
    if (!app.waitForStarted(5000))
        return QStringLiteral("did not start");
    QByteArray out;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < (until ? 15000 : 1500)) {
        app.waitForReadyRead(100);
        out += app.readAllStandardOutput();
        if (until && out.contains(until) && out.endsWith('\n'))
            break;
    }
    app.terminate();
    app.waitForFinished(5000);
    out += app.readAllStandardOutput();
    return QString::fromUtf8(out);
}

} // namespace

class WindowCheck : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestSupport::TestHome> m_home;
    std::unique_ptr<MainWindow> m_mainWindow;

private slots:
    void initTestCase()
    {
        QCOMPARE(QGuiApplication::platformName(), QString("xcb"));
        m_home = std::make_unique<TestSupport::TestHome>();
        qputenv("TID_LANG", "en");
        qputenv("TID_NOGUIDE", "1");
        qputenv("TID_PAGE", "map");
        // No session bus: no desktop folder chooser comes up on this display.
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/tidlo-test-bus");
        QQuickStyle::setStyle(QStringLiteral("Basic"));
        Lang::install();
        m_mainWindow = std::make_unique<MainWindow>();
        m_mainWindow->open();
    }

    void cleanupTestCase()
    {
        m_mainWindow.reset();
        m_home.reset();
    }

    void appearsWithTitleAndSize()
    {
        QQuickView* w = m_mainWindow->window();
        QVERIFY(QTest::qWaitForWindowExposed(w, 10000));
        QCOMPARE(w->title(), QString("Tidlo Cleaner"));
        QCOMPARE(w->size(), QSize(1100, 750));
        QCOMPARE(w->minimumSize(), QSize(980, 660));
        QVERIFY(w->errors().isEmpty());
        QQuickItem* root = w->rootObject();
        QVERIFY(root);
        QCOMPARE(root->size(), QSizeF(1100, 750));
        QVERIFY(root->findChild<QQuickItem*>("sidebar"));
        // Nothing but this product's own keys in the preferences on Linux.
        QVERIFY(!Preferences::boolean("NSQuitAlwaysKeepsWindows"));
    }

    // The first page is built before the window holds it; Choose Folder must
    // open a chooser over it all the same (a popup in the window's overlay).
    void chooserOpensOnTheFirstPage()
    {
        QQuickView* w = m_mainWindow->window();
        QVERIFY(QTest::qWaitForWindowExposed(w, 10000));
        auto* button = w->rootObject()->findChild<QQuickItem*>("chooseFolder");
        QVERIFY(button);
        // What the window's overlay shows.
        const auto openPopups = [w] {
            int open = 0;
            for (QQuickItem* layer : w->contentItem()->childItems())
                if (QByteArray(layer->metaObject()->className()) == "QQuickOverlay")
                    for (QQuickItem* popup : layer->childItems())
                        open += popup->isVisible() ? 1 : 0;
            return open;
        };
        QCOMPARE(openPopups(), 0);
        const QPointF centre = button->mapToScene({button->width() / 2, button->height() / 2});
        QTest::mouseClick(w, Qt::LeftButton, {}, centre.toPoint());
        QTRY_VERIFY(openPopups() > 0); // the chooser, and the modal dimmer
        QTest::keyClick(w, Qt::Key_Escape);
        QTRY_COMPARE(openPopups(), 0);
    }

    void watchdogRestoresAShrunkenWindow()
    {
        QQuickView* w = m_mainWindow->window();
        w->setMinimumSize(QSize(100, 100)); // as a restored frame might be
        w->resize(950, 650);
        QTRY_COMPARE(w->size(), QSize(950, 650));
        // A fixed wait on purpose: past one 500 ms watchdog tick, which must
        // leave a window wide and high enough alone.
        QTest::qWait(700);
        QCOMPARE(w->size(), QSize(950, 650));
        w->resize(950, 580);
        QTRY_COMPARE_WITH_TIMEOUT(w->size(), QSize(1100, 750), 2000);
        w->setMinimumSize(QSize(980, 660));
    }

    // The built executable itself: with TID_DEBUG=1 it reports its window on
    // every watchdog tick; without, it prints nothing.
    void executableReportsItsWindowUnderDebug()
    {
        const QString out = runApp({{"TID_DEBUG", "1"}}, "PIN 2 ");
        QVERIFY2(
            out.contains(QRegularExpression("^WIN \\d+ 1100x750 vis=true main=true cls=QQuickView$",
                                            QRegularExpression::MultilineOption)),
            qPrintable(out));
        QVERIFY2(out.contains("PIN 1 main=1100x750 windows: Tidlo Cleaner=1100x750 vis=true\n"),
                 qPrintable(out));
        QCOMPARE(runApp({}, nullptr), QString());
    }

    void closingTheWindowQuits()
    {
        // The application's own event loop, as main() runs it: it must end
        // when the window closes, long before the fallback timer.
        QTimer::singleShot(0, m_mainWindow->window(), &QWindow::close);
        QTimer::singleShot(8000, qGuiApp, [] { QGuiApplication::exit(1); });
        QCOMPARE(QGuiApplication::exec(), 0);
    }
};

QTEST_MAIN(WindowCheck)
#include "WindowCheck.moc"
