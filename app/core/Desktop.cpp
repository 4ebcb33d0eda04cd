// SPDX-License-Identifier: GPL-3.0-or-later
#include "Desktop.h"

#include "Platform.h"
#include "RecordVariants.h"

#include <QClipboard>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#include <QWindow>

namespace {

const char* kService = "org.freedesktop.FileManager1";
const char* kObject = "/org/freedesktop/FileManager1";

void openLocalFolder(const QString& folder)
{
    if (!folder.isEmpty())
        QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

const char* kPortalService = "org.freedesktop.portal.Desktop";
const char* kPortalObject = "/org/freedesktop/portal/desktop";
const char* kFileChooser = "org.freedesktop.portal.FileChooser";
const char* kRequest = "org.freedesktop.portal.Request";
// FileChooser version 3 brought the options directory and current_folder;
// an older portal would offer files.
constexpr uint kFolderChooserVersion = 3;

QDBusMessage portalCall(const char* interface, const char* method)
{
    return QDBusMessage::createMethodCall(QLatin1String(kPortalService),
                                          QLatin1String(kPortalObject), QLatin1String(interface),
                                          QLatin1String(method));
}

// The window the portal's chooser is to sit over, as the portal names it; only
// an X11 window can be named without more protocol (elsewhere: none).
QString parentWindowName()
{
    QWindow* window = QGuiApplication::focusWindow();
    if (window == nullptr || QGuiApplication::platformName() != QLatin1String("xcb"))
        return {};
    return QStringLiteral("x11:") + QString::number(window->winId(), 16);
}

} // namespace

Desktop::Desktop(QObject* parent) : QObject(parent) {}

QString Desktop::fileUri(const QString& path)
{
    const QByteArray bytes = QByteArray::fromStdString(stdPath(path));
    return QStringLiteral("file://") + QString::fromLatin1(bytes.toPercentEncoding("/"));
}

void Desktop::reveal(const QString& path)
{
    if (path.isEmpty())
        return;
    askFileManager(QStringLiteral("ShowItems"), {fileUri(path)}, QFileInfo(path).path());
}

void Desktop::openTrash()
{
    askFileManager(QStringLiteral("ShowFolders"), {QStringLiteral("trash:///")},
                   qPath(Platform::trashFilesFolder()));
}

void Desktop::copyText(const QString& text)
{
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setText(text);
}

void Desktop::askFileManager(const QString& method, const QStringList& uris,
                             const QString& fallbackFolder)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        openLocalFolder(fallbackFolder);
        return;
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall(QString::fromLatin1(kService), QString::fromLatin1(kObject),
                                       QString::fromLatin1(kService), method);
    call << uris << QString();
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, 5000), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [fallbackFolder](QDBusPendingCallWatcher* w) {
                if (QDBusPendingReply<> reply = *w; reply.isError())
                    openLocalFolder(fallbackFolder);
                w->deleteLater();
            });
}

void Desktop::chooseFolder(const QString& title, const QString& startFolder)
{
    const int call = ++m_chooserCalls;
    stopListening();
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        chooserMissing(call, startFolder);
        return;
    }
    // The version first: it also tells whether a portal is there at all (an
    // activatable portal is started by this call).
    QDBusMessage get = portalCall("org.freedesktop.DBus.Properties", "Get");
    get << QString::fromLatin1(kFileChooser) << QStringLiteral("version");
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(get), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, call, title, startFolder](QDBusPendingCallWatcher* w) {
                w->deleteLater();
                const QDBusPendingReply<QDBusVariant> reply = *w;
                if (call != m_chooserCalls)
                    return;
                if (reply.isError() || reply.value().variant().toUInt() < kFolderChooserVersion)
                    chooserMissing(call, startFolder);
                else
                    openPortalChooser(call, title, startFolder);
            });
}

void Desktop::openPortalChooser(int call, const QString& title, const QString& startFolder)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    // The portal names the request object after the caller and its token;
    // listening there before the call means no Response can be missed.
    const QString token = QStringLiteral("tidlo_folder%1").arg(call);
    const QString sender = bus.baseService().mid(1).replace(QLatin1Char('.'), QLatin1Char('_'));
    listenForResponse(QStringLiteral("/org/freedesktop/portal/desktop/request/") + sender +
                      QLatin1Char('/') + token);

    QVariantMap options{{QStringLiteral("handle_token"), token},
                        {QStringLiteral("directory"), true},
                        {QStringLiteral("modal"), true}};
    if (!startFolder.isEmpty()) {
        // Bytes, NUL-terminated, so a name that is not UTF-8 arrives as it is.
        QByteArray bytes = QByteArray::fromStdString(stdPath(startFolder));
        bytes.append('\0');
        options.insert(QStringLiteral("current_folder"), bytes);
    }
    QDBusMessage open = portalCall(kFileChooser, "OpenFile");
    open << parentWindowName() << title << options;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(open), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, call, startFolder](QDBusPendingCallWatcher* w) {
                w->deleteLater();
                const QDBusPendingReply<QDBusObjectPath> reply = *w;
                if (call != m_chooserCalls)
                    return;
                if (reply.isError()) {
                    stopListening();
                    chooserMissing(call, startFolder);
                    return;
                }
                // A portal that ignored the token named the request itself
                // (unless its Response came already).
                const QString handle = reply.value().path();
                if (!m_chooserRequest.isEmpty() && handle != m_chooserRequest)
                    listenForResponse(handle);
            });
}

void Desktop::listenForResponse(const QString& requestPath)
{
    stopListening();
    QDBusConnection::sessionBus().connect(QString(), requestPath, QString::fromLatin1(kRequest),
                                          QStringLiteral("Response"), this,
                                          SLOT(portalResponse(uint, QVariantMap)));
    m_chooserRequest = requestPath;
}

void Desktop::stopListening()
{
    if (m_chooserRequest.isEmpty())
        return;
    QDBusConnection::sessionBus().disconnect(
        QString(), m_chooserRequest, QString::fromLatin1(kRequest), QStringLiteral("Response"),
        this, SLOT(portalResponse(uint, QVariantMap)));
    m_chooserRequest.clear();
}

void Desktop::portalResponse(uint response, const QVariantMap& results)
{
    stopListening();
    if (response != 0)
        return;
    const auto uris = qdbus_cast<QStringList>(results.value(QStringLiteral("uris")));
    if (uris.isEmpty())
        return;
    const QUrl folder(uris.first());
    if (folder.isLocalFile())
        emit folderChosen(folder);
}

void Desktop::chooserMissing(int call, const QString& startFolder)
{
    QMetaObject::invokeMethod(
        this,
        [this, call, startFolder] {
            if (call == m_chooserCalls)
                emit folderChooserMissing(startFolder);
        },
        Qt::QueuedConnection);
}

QStringList Desktop::terminalCommand()
{
    QStringList choices;
    const QString preferred = qEnvironmentVariable("TERMINAL").trimmed();
    QStringList preferredArgs = QProcess::splitCommand(preferred);
    if (!preferredArgs.isEmpty()) {
        const QString program = QStandardPaths::findExecutable(preferredArgs.first());
        if (!program.isEmpty()) {
            preferredArgs.first() = program;
            return preferredArgs;
        }
    }
    for (const char* name :
         {"x-terminal-emulator", "gnome-terminal", "konsole", "xfce4-terminal", "xterm"}) {
        const QString program = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!program.isEmpty())
            return {program};
    }
    return {};
}

bool Desktop::openTerminal()
{
    QStringList command = terminalCommand();
    if (command.isEmpty())
        return false;
    const QString program = command.takeFirst();
    return QProcess::startDetached(program, command, qPath(Platform::homeDir()));
}

void Desktop::openLink(const QString& url)
{
    QDesktopServices::openUrl(QUrl(url));
}
