// SPDX-License-Identifier: GPL-3.0-or-later
// The Qt Quick tests of the window (tests/app/qml/tst_*.qml, each file a ctest
// and a process of its own), offscreen with the Basic style, over a throw-away
// home made for that process alone, whose cache scan takes long enough
// (a few hundred small cache folders) for a test to catch the scan running,
// two caches whose names are markup and a right-to-left override, and no
// session bus.
#include "CommandLineTool.h"
#include "Lang.h"
#include "TestHome.h"

#include <QQmlEngine>
#include <QQuickStyle>
#include <QtQuickTest/quicktest.h>
#include <memory>

class Setup : public QObject
{
    Q_OBJECT

public slots:
    void applicationAvailable()
    {
        m_home = std::make_unique<TestSupport::TestHome>();
        for (int i = 0; i < 300; ++i)
            m_home->file("Library/Caches/c" + std::to_string(i) + "/f", "x");
        m_home->sizedFile("Library/Caches/Big/blob", 3 * 1024 * 1024);
        m_home->dir("Documents/Empty"); // the storage map's empty folder
        // For the Clean page: a leftover and a cache whose path has capitals.
        m_home->sizedFile("Library/Application Support/OldTool/data", 2 * 1024 * 1024);
        m_home->sizedFile("Library/Caches/MixedCase/blob", 3 * 1024 * 1024);
        m_home->sizedFile("Library/Caches/<b>x<i>y/blob", 3 * 1024 * 1024);
        m_home->sizedFile("Library/Caches/a\u202egnp.exe/blob", 3 * 1024 * 1024);
        // For the storage map's own folder chooser: a hidden and a plain folder.
        m_home->dir("Chooser/.dotted");
        m_home->dir("Chooser/Plain");
        // No session bus: the storage map finds no desktop folder chooser and
        // shows its own, whatever the machine running the tests has.
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/tidlo-test-bus");
        for (const char* v : {"TID_GUIDE", "TID_NOGUIDE", "TID_PAGE", "TID_LANG"})
            qunsetenv(v);
        QQuickStyle::setStyle(QStringLiteral("Basic"));
        Lang::install();
        // The Command-line page installs and runs the tclean just built, for a
        // bash user whose PATH holds neither ~/.local/bin, a packaged tclean nor
        // a terminal (the tools the engine runs are named by their full paths).
        CommandLineTool::useToolPath(QStringLiteral(TCLEAN_PATH));
        m_home->dir("path-bin");
        qputenv("PATH", QByteArray::fromStdString(m_home->at("path-bin")));
        qputenv("SHELL", "/bin/bash");
        qunsetenv("TERMINAL");
    }

    void qmlEngineAvailable(QQmlEngine* engine)
    {
        engine->addImportPath(QStringLiteral("qrc:/qt/qml"));
    }

    void cleanupTestCase() { m_home.reset(); }

private:
    std::unique_ptr<TestSupport::TestHome> m_home;
};

QUICK_TEST_MAIN_WITH_SETUP(app_view_tests, Setup)
#include "ViewTests.moc"
