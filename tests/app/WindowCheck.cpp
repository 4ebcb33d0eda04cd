// The real window on a real X server (run under Xvfb): it appears titled with
// the application's name at 1100 x 750 with the 980 x 660 minimum, the
// watchdog puts a shrunken window back during its first ticks, and closing the
// window ends the application.
#include "AppDelegate.h"
#include "Lang.h"
#include "TestHome.h"

#include <QGuiApplication>
#include <QQuickItem>
#include <QQuickStyle>
#include <QTest>
#include <QTimer>
#include <memory>

class WindowCheck : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestSupport::TestHome> m_home;
    std::unique_ptr<AppDelegate> m_delegate;

private slots:
    void initTestCase()
    {
        QCOMPARE(QGuiApplication::platformName(), QString("xcb"));
        m_home = std::make_unique<TestSupport::TestHome>();
        qputenv("TID_LANG", "en");
        qputenv("TID_NOGUIDE", "1");
        QQuickStyle::setStyle(QStringLiteral("Basic"));
        Lang::install();
        m_delegate = std::make_unique<AppDelegate>();
        m_delegate->applicationDidFinishLaunching();
    }

    void cleanupTestCase()
    {
        m_delegate.reset();
        m_home.reset();
    }

    void appearsWithTitleAndSize()
    {
        QQuickView* w = m_delegate->window();
        QVERIFY(QTest::qWaitForWindowExposed(w, 10000));
        QCOMPARE(w->title(), QString("Tidlo Cleaner"));
        QCOMPARE(w->size(), QSize(1100, 750));
        QCOMPARE(w->minimumSize(), QSize(980, 660));
        QVERIFY(w->errors().isEmpty());
        QQuickItem* root = w->rootObject();
        QVERIFY(root);
        QCOMPARE(root->size(), QSizeF(1100, 750));
        QVERIFY(root->findChild<QQuickItem*>("sidebar"));
    }

    void watchdogRestoresAShrunkenWindow()
    {
        QQuickView* w = m_delegate->window();
        w->setMinimumSize(QSize(100, 100)); // as a restored frame might be
        w->resize(950, 650);
        QTRY_COMPARE(w->size(), QSize(950, 650));
        QTest::qWait(700);
        QCOMPARE(w->size(), QSize(950, 650)); // wide and high enough: left alone
        w->resize(950, 580);
        QTRY_COMPARE_WITH_TIMEOUT(w->size(), QSize(1100, 750), 2000);
        w->setMinimumSize(QSize(980, 660));
    }

    void closingTheWindowQuits()
    {
        // The application's own event loop, as main() runs it: it must end
        // when the window closes, long before the fallback timer.
        QTimer::singleShot(0, m_delegate->window(), &QWindow::close);
        QTimer::singleShot(8000, qGuiApp, [] { QGuiApplication::exit(1); });
        QCOMPARE(QGuiApplication::exec(), 0);
    }
};

QTEST_MAIN(WindowCheck)
#include "WindowCheck.moc"
