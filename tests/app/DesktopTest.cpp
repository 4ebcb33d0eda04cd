// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop unit against stand-ins on a private session bus (the test runs
// under dbus-run-session, with a bus that starts no installed service): what a
// file manager receives when a page reveals a file or opens the Trash, and how
// a folder is chosen through the desktop portal, or not.
#include "Desktop.h"
#include "RecordVariants.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <optional>

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

// Answers org.freedesktop.portal.FileChooser as the desktop portal does:
// OpenFile returns the request object named by the caller and its token, and
// that object then emits Response with the answer the test set.
class FakePortal : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.FileChooser")
    Q_PROPERTY(uint version READ version)

public:
    uint portalVersion = 4;
    bool refuse = false; // answer OpenFile with an error
    uint response = 0;
    QString uri;
    QString title;
    QVariantMap options; // of the last OpenFile

    uint version() const { return portalVersion; }

public slots:
    QDBusObjectPath OpenFile(const QString&, const QString& dialogTitle, const QVariantMap& opts)
    {
        title = dialogTitle;
        options = opts;
        if (refuse) {
            sendErrorReply(QDBusError::AccessDenied, "not now");
            return {};
        }
        const QString path = "/org/freedesktop/portal/desktop/request/" +
                             message().service().mid(1).replace('.', '_') + '/' +
                             opts.value("handle_token").toString();
        QTimer::singleShot(0, this, [this, path, bus = connection()] {
            QDBusMessage signal =
                QDBusMessage::createSignal(path, "org.freedesktop.portal.Request", "Response");
            signal << response << QVariantMap{{"uris", QStringList{uri}}};
            bus.send(signal);
            bus.send(QDBusMessage::createSignal("/test", "test.Notes", "Answered"));
        });
        return QDBusObjectPath(path);
    }
};

// Counts the fake portal's notes that it has answered a request.
class ResponseNotes : public QObject
{
    Q_OBJECT

public:
    int count = 0;

public slots:
    void answered() { ++count; }
};

// The fake portal on its own connection, registered while the object lives.
class PortalOnBus
{
public:
    PortalOnBus() : m_bus(QDBusConnection::connectToBus(QDBusConnection::SessionBus, "portal"))
    {
        m_bus.registerObject("/org/freedesktop/portal/desktop", &portal,
                             QDBusConnection::ExportAllSlots |
                                 QDBusConnection::ExportAllProperties);
        m_registered = m_bus.registerService("org.freedesktop.portal.Desktop");
    }
    ~PortalOnBus()
    {
        m_bus.unregisterService("org.freedesktop.portal.Desktop");
        m_bus.unregisterObject("/org/freedesktop/portal/desktop");
    }
    bool registered() const { return m_registered; }

    FakePortal portal;

private:
    QDBusConnection m_bus;
    bool m_registered = false;
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

    // Without a portal that can choose folders, the page is told to show its
    // own chooser, at the folder it asked for; nothing is chosen.
    void folderChooserFallsBack_data()
    {
        QTest::addColumn<int>("portal"); // 0: none, else its FileChooser version
        QTest::addColumn<bool>("refuse");
        QTest::newRow("no portal on the bus") << 0 << false;
        QTest::newRow("a portal too old for folders") << 2 << false;
        QTest::newRow("an error answer") << 4 << true;
    }
    void folderChooserFallsBack()
    {
        if (!QDBusConnection::sessionBus().isConnected())
            QSKIP("no session bus: run under dbus-run-session");
        QFETCH(int, portal);
        QFETCH(bool, refuse);
        std::optional<PortalOnBus> onBus;
        if (portal > 0) {
            onBus.emplace();
            QVERIFY(onBus->registered());
            onBus->portal.portalVersion = uint(portal);
            onBus->portal.refuse = refuse;
        }
        Desktop desktop;
        QSignalSpy missing(&desktop, &Desktop::folderChooserMissing);
        QSignalSpy chosen(&desktop, &Desktop::folderChosen);
        desktop.chooseFolder("Choose", "/home/u/Music");
        QTRY_COMPARE(missing.count(), 1);
        QCOMPARE(missing.at(0).at(0).toString(), QString("/home/u/Music"));
        QCOMPARE(chosen.count(), 0);
    }

    // The portal is asked for a folder at the folder shown, by its bytes; its
    // choice arrives as a file URL, and a cancelled or failed chooser (codes
    // 1 and 2) delivers nothing: the next request's answer is the only one.
    void folderChooserAsksThePortal()
    {
        if (!QDBusConnection::sessionBus().isConnected())
            QSKIP("no session bus: run under dbus-run-session");
        PortalOnBus onBus;
        QVERIFY(onBus.registered());
        FakePortal& portal = onBus.portal;
        Desktop desktop;
        QSignalSpy missing(&desktop, &Desktop::folderChooserMissing);
        QSignalSpy chosen(&desktop, &Desktop::folderChosen);

        const std::string start = std::string("/home/u/.cache/caf") + char(0xff);
        portal.uri = "file:///home/u/.var/app/My%20App";
        desktop.chooseFolder("Choose a Folder", qPath(start));
        QTRY_COMPARE(chosen.count(), 1);
        QCOMPARE(chosen.at(0).at(0).toUrl().toLocalFile(), QString("/home/u/.var/app/My App"));
        QCOMPARE(portal.title, QString("Choose a Folder"));
        QCOMPARE(portal.options.value("directory").toBool(), true);
        QCOMPARE(portal.options.value("current_folder").toByteArray(),
                 QByteArray(start.c_str(), qsizetype(start.size() + 1)));

        // The portal answers every request with a note to the test after
        // its Response, on the same bus connection, so once the note is here
        // the Response has been handled.
        ResponseNotes notes;
        QVERIFY(QDBusConnection::sessionBus().connect(QString(), "/test", "test.Notes", "Answered",
                                                      &notes, SLOT(answered())));
        for (uint code : {1u, 2u}) {
            portal.response = code;
            portal.uri = "file:///home/u/not-this";
            const int before = notes.count;
            desktop.chooseFolder("Choose a Folder", "/home/u");
            QTRY_COMPARE(notes.count, before + 1);
            QCOMPARE(chosen.count(), 1);
        }
        QCOMPARE(missing.count(), 0);
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
