// SPDX-License-Identifier: GPL-3.0-or-later
// The Qt Quick tests of the Toolbox page (tests/app/toolbox-qml/tst_*.qml, each
// file a ctest and a process of its own), offscreen with the Basic style, in
// English, over a throw-away home made for that process alone that
// every pane finds something in: copies of one file (3 and 12 copies), three
// names each shared by files of different content, two application bundles with a
// leftover, fifteen login agents and a Trash with three entries. The tests
// reach the environment and the clipboard through `testEnv`.
#include "AppIconProvider.h"
#include "Lang.h"
#include "TestHome.h"

#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QQmlContext>
#include <QQmlEngine>
#include <QQuickStyle>
#include <QtQuickTest/quicktest.h>
#include <memory>
#include <string>

class Setup : public QObject
{
    Q_OBJECT

public:
    Q_INVOKABLE void setEnv(const QString& name, const QString& value)
    {
        qputenv(name.toLatin1().constData(), value.toUtf8());
    }
    Q_INVOKABLE void unsetEnv(const QString& name) { qunsetenv(name.toLatin1().constData()); }
    Q_INVOKABLE QString clipboard() const { return QGuiApplication::clipboard()->text(); }
    Q_INVOKABLE QString home() const { return QString::fromStdString(m_home->path()); }
    Q_INVOKABLE bool exists(const QString& rel) const
    {
        return QFileInfo::exists(QString::fromStdString(m_home->at(rel.toStdString())));
    }

public slots:
    void applicationAvailable()
    {
        m_home = std::make_unique<TestSupport::TestHome>();
        const std::string copy(70000, 'c');
        for (const char* rel : {"Downloads/photo.jpg", "Desktop/photo.jpg", "Documents/photo.jpg"})
            m_home->file(rel, copy);
        const std::string many(80000, 'm');
        for (int i = 0; i < 12; ++i)
            m_home->file("Documents/many/copy" + std::to_string(10 + i) + ".bin", many);
        m_home->file("Downloads/notes.txt", "one");
        m_home->file("Desktop/notes.txt", "two");
        m_home->file("Downloads/readme.md", "readme one");
        m_home->file("Documents/readme.md", "readme two");
        m_home->file("Downloads/todo.txt", "list A");
        m_home->file("Desktop/todo.txt", "list B");
        for (const char* app : {"Safari", "Mail"}) {
            m_home->file(std::string("Applications/") + app + ".app/Contents/Info.plist",
                         std::string("<?xml version=\"1.0\"?><plist version=\"1.0\"><dict>"
                                     "<key>CFBundleIdentifier</key><string>com.apple.") +
                             app + "</string></dict></plist>");
        }
        m_home->file("Library/Caches/com.apple.Safari/cache.db", "x");
        for (int i = 0; i < 15; ++i)
            m_home->file(
                "Library/LaunchAgents/com.example.agent" + std::to_string(10 + i) + ".plist", "x");
        m_home->file(".Trash/old.txt", std::string(4096, 'o'));
        m_home->file(".Trash/folder/inside.txt", "i");
        m_home->file(".Trash/.DS_Store", "d");
        for (const char* v : {"TID_GUIDE", "TID_NOGUIDE", "TID_PAGE", "TID_TAB", "TID_DUPTAB"})
            qunsetenv(v);
        qputenv("TID_LANG", "en");
        QQuickStyle::setStyle(QStringLiteral("Basic"));
        Lang::install();
    }

    void qmlEngineAvailable(QQmlEngine* engine)
    {
        engine->addImportPath(QStringLiteral("qrc:/qt/qml"));
        engine->addImageProvider(QLatin1String(AppIconProvider::kName), new AppIconProvider);
        engine->rootContext()->setContextProperty(QStringLiteral("testEnv"), this);
    }

    void cleanupTestCase() { m_home.reset(); }

private:
    std::unique_ptr<TestSupport::TestHome> m_home;
};

QUICK_TEST_MAIN_WITH_SETUP(app_toolbox_view_tests, Setup)
#include "ToolboxViewTests.moc"
