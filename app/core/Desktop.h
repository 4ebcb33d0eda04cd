// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop services the pages use, in one place: show a file in the file
// manager, open the Trash or a folder, put text on the clipboard. On a Linux
// desktop a file is shown through the file manager's D-Bus interface
// (org.freedesktop.FileManager1), which selects it in a window; without that
// service the parent folder is opened instead, and where nothing can open it
// (a bare session) nothing happens. No call waits for the desktop.
//
// A folder is chosen through the desktop's own chooser where the desktop
// offers one: the XDG desktop portal's FileChooser, asked over D-Bus. The
// portal answers OpenFile with a request object and later emits that
// object's Response signal; this unit listens for it and reports the folder,
// or reports that the page must use its own chooser.
#pragma once

#include <QObject>
#include <QString>
#include <QUrl>
#include <QVariantMap>
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

    // --- Choosing a folder (Storage Map) ---
    // Opens the desktop's folder chooser (the portal's FileChooser.OpenFile
    // with directory=true), titled title, at startFolder (none when empty).
    // Returns at once; later, one of: folderChosen with the folder picked;
    // nothing, when the user cancelled or the chooser failed after it opened
    // (Response codes 1 and 2); or folderChooserMissing(startFolder) when
    // there is no portal to ask (no session bus, no portal on it, or one too
    // old to choose folders) or it answered the call with an error, and the
    // page shows its own chooser. A new call supersedes one still open: only
    // the newest request is answered.
    Q_INVOKABLE void chooseFolder(const QString& title, const QString& startFolder);

signals:
    void folderChosen(const QUrl& folder);
    void folderChooserMissing(const QString& startFolder);

private slots:
    // The portal request's Response signal: response 0 with results["uris"].
    void portalResponse(uint response, const QVariantMap& results);

private:
    // After the portal's FileChooser version is known (0: no portal).
    void openPortalChooser(int call, const QString& title, const QString& startFolder);
    void listenForResponse(const QString& requestPath);
    void stopListening();
    // Reports folderChooserMissing from the event loop, for the newest call only.
    void chooserMissing(int call, const QString& startFolder);

    int m_chooserCalls = 0;   // numbers the chooseFolder calls
    QString m_chooserRequest; // the request path listened to, or empty
    // Calls FileManager1's method with the URIs; on any error runs fallback.
    void askFileManager(const QString& method, const QStringList& uris,
                        const QString& fallbackFolder);
};
