// SPDX-License-Identifier: GPL-3.0-or-later
// The Qt Quick tests of the Toolbox page (tests/app/toolbox-qml/tst_*.qml, each
// file a ctest and a process of its own), offscreen with the Basic style, in
// English, over a throw-away home made for that process alone that
// every pane finds something in: copies of one file (3 and 12 copies), three
// names each shared by files of different content, five applications of every
// kind with leftovers (buildApplications), fifteen login agents and a Trash
// with three entries. The tests reach the environment, the clipboard, the
// Trash and the stand-in flatpak's log through `testEnv`.
#include "AppIconProvider.h"
#include "Lang.h"
#include "TestHome.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
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
    // Whether the desktop's Trash holds an item moved from a path named name.
    Q_INVOKABLE bool inTrash(const QString& name) const
    {
        const QDir files(QString::fromStdString(m_home->at(".local/share/Trash/files")));
        for (const QString& entry : files.entryList(QDir::AllEntries | QDir::NoDotAndDotDot))
            if (entry == name || entry.endsWith(u' ' + name))
                return true;
        return false;
    }
    // The argument lines the stand-in flatpak was started with.
    Q_INVOKABLE QStringList flatpakCalls() const
    {
        QFile log(QString::fromStdString(m_home->at("flatpak-calls")));
        if (!log.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(log.readAll()).split(u'\n', Qt::SkipEmptyParts);
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
        buildApplications();
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
    // The applications: a user Flatpak (Notes, with data in ~/.var/app), a
    // system Flatpak (Office), an AppImage with its own desktop entry and an
    // icon file (Krita, with ~/.config/krita), a user's desktop entry (Mail
    // Tool, nothing left behind) and a system folder's entry no package owns
    // (Text Editor). XDG_DATA_DIRS points into the home, so the machine's own
    // entries stay out; a stand-in flatpak first on PATH lists the two
    // Flatpaks, logs each call and forgets Notes once uninstalled.
    void buildApplications()
    {
        const std::string data = ".local/share/";
        m_home->file("bin/flatpak",
                     "#!/bin/sh\n"
                     "echo \"$*\" >> \"$HOME/flatpak-calls\"\n"
                     "case \"$1\" in\n"
                     "list) [ -e \"$HOME/notes-gone\" ] || printf 'org.example.Notes\\tuser\\n'\n"
                     "      printf 'org.example.Office\\tsystem\\n' ;;\n"
                     "uninstall) touch \"$HOME/notes-gone\" ;;\n"
                     "esac\n");
        QFile::setPermissions(QString::fromStdString(m_home->at("bin/flatpak")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("PATH", QByteArray::fromStdString(m_home->at("bin")) + ':' + qgetenv("PATH"));
        qputenv("XDG_DATA_DIRS", QByteArray::fromStdString(m_home->at("system/share")));

        m_home->sizedFile(data + "flatpak/app/org.example.Notes/current/active/files/notes", 90000);
        m_home->file(data + "flatpak/exports/share/applications/org.example.Notes.desktop",
                     "[Desktop Entry]\nType=Application\nName=Notes\nExec=flatpak run "
                     "org.example.Notes\nX-Flatpak=org.example.Notes\n");
        m_home->sizedFile(".var/app/org.example.Notes/config/notes.db", 8192);

        const std::string krita = m_home->at("Applications/Krita-5.2.AppImage");
        m_home->sizedFile("Applications/Krita-5.2.AppImage", 60000);
        QFile::setPermissions(QString::fromStdString(krita),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QImage icon(32, 32, QImage::Format_ARGB32);
        icon.fill(Qt::darkCyan);
        icon.save(QString::fromStdString(m_home->at("Applications/krita.png")));
        m_home->file(data + "applications/appimagekit-krita.desktop",
                     "[Desktop Entry]\nType=Application\nName=Krita\nExec=" + krita +
                         "\nIcon=" + m_home->at("Applications/krita.png") + "\n");
        m_home->sizedFile(".config/krita/kritarc", 4096);

        m_home->file(data + "applications/mailtool.desktop",
                     "[Desktop Entry]\nType=Application\nName=Mail Tool\nExec=mailtool\n");
        m_home->file("system/share/applications/texteditor.desktop",
                     "[Desktop Entry]\nType=Application\nName=Text Editor\nExec=texteditor\n");
    }

    std::unique_ptr<TestSupport::TestHome> m_home;
};

QUICK_TEST_MAIN_WITH_SETUP(app_toolbox_view_tests, Setup)
#include "ToolboxViewTests.moc"
