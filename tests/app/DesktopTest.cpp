// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop unit against a stand-in file manager on a private session bus
// (the test runs under dbus-run-session): what a file manager receives when a
// page reveals a file or opens the Trash.
#include "Desktop.h"
#include "RecordVariants.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QGuiApplication>
#include <QTest>

// Answers org.freedesktop.FileManager1 the way a file manager does, and keeps
// what it was asked.
class FakeFileManager : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")

public:
    QStringList items;
    QStringList folders;

public slots:
    void ShowItems(const QStringList& uris, const QString&) { items += uris; }
    void ShowFolders(const QStringList& uris, const QString&) { folders += uris; }
};

class DesktopTest : public QObject
{
    Q_OBJECT

private slots:
    void revealsThroughTheFileManagerByteForByte()
    {
        QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "fake");
        if (!bus.isConnected())
            QSKIP("no session bus: run under dbus-run-session");
        FakeFileManager fake;
        QVERIFY(bus.registerObject("/org/freedesktop/FileManager1", &fake,
                                   QDBusConnection::ExportAllSlots));
        QVERIFY(bus.registerService("org.freedesktop.FileManager1"));

        Desktop desktop;
        // A space, a percent sign, Chinese, and a byte that is not UTF-8.
        const std::string odd = std::string("/home/u/My 100% 文件") + char(0xff) + ".txt";
        desktop.reveal(qPath(odd));
        QTRY_COMPARE(fake.items,
                     QStringList{"file:///home/u/My%20100%25%20%E6%96%87%E4%BB%B6%FF.txt"});
        desktop.openTrash();
        QTRY_COMPARE(fake.folders, QStringList{"trash:///"});
    }

    void pathsSurviveTheTripThroughQml()
    {
        for (const std::string& p : {std::string("/plain/path"), std::string("/a/\xff\xfe/b"),
                                     std::string("/x/caf\xc3\xa9"), std::string("/x/\xc3")})
            QCOMPARE(stdPath(qPath(p)), p);
    }
};

QTEST_MAIN(DesktopTest)
#include "DesktopTest.moc"
