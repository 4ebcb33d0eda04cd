// SPDX-License-Identifier: GPL-3.0-or-later
#include "Desktop.h"

#include "Platform.h"
#include "RecordVariants.h"

#include <QClipboard>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace {

const char* kService = "org.freedesktop.FileManager1";
const char* kObject = "/org/freedesktop/FileManager1";

void openLocalFolder(const QString& folder)
{
    if (!folder.isEmpty())
        QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
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

void Desktop::openFolder(const QString& path)
{
    openLocalFolder(path);
}

void Desktop::copyText(const QString& text)
{
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setText(text);
}

void Desktop::askFileManager(const QString& method, const QStringList& uris,
                             const QString& fallbackFolder)
{
    emit fileManagerAsked(method, uris);
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
