// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop services the pages use, in one place: show a file in the file
// manager, open the Trash or a folder, put text on the clipboard. On a Linux
// desktop a file is shown through the file manager's D-Bus interface
// (org.freedesktop.FileManager1), which selects it in a window; without that
// service the parent folder is opened instead, and where nothing can open it
// (a bare session) nothing happens. No call waits for the desktop.
#pragma once

#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

class Desktop : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    explicit Desktop(QObject* parent = nullptr);

    // Shows the item at path selected in the file manager.
    Q_INVOKABLE void reveal(const QString& path);
    // Shows the user's Trash (the desktop's Trash on Linux).
    Q_INVOKABLE void openTrash();
    // Opens a folder in the file manager.
    Q_INVOKABLE void openFolder(const QString& path);
    // Puts text on the clipboard.
    Q_INVOKABLE void copyText(const QString& text);

    // A path as a file URI, byte for byte: names that are not UTF-8 keep their
    // bytes, percent-encoded.
    static QString fileUri(const QString& path);

    // --- The user's terminal (Command-line page) ---
    // Starts the user's terminal in the home folder, detached. False when no
    // terminal was found or it could not be started.
    Q_INVOKABLE bool openTerminal();
    // What openTerminal starts, program first: $TERMINAL (which may carry
    // arguments), else x-terminal-emulator, else the first of gnome-terminal,
    // konsole, xfce4-terminal and xterm found on PATH; a choice that is not
    // found gives way to the next. Empty when there is none.
    static QStringList terminalCommand();
    // Opens a web address in the default browser (About's source link).
    Q_INVOKABLE void openLink(const QString& url);

signals:
    // The file manager was asked to show these URIs (tests listen).
    void fileManagerAsked(const QString& method, const QStringList& uris);

private:
    // Calls FileManager1's method with the URIs; on any error runs fallback.
    void askFileManager(const QString& method, const QStringList& uris,
                        const QString& fallbackFolder);
};
