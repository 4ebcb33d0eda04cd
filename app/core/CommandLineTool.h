// SPDX-License-Identifier: GPL-3.0-or-later
// The Command-line page's worker: where the in-app tclean lies, whether it is
// installed in ~/.local/bin or came with the installed package, installing it, and running "tclean
// tree" on the home folder. Installing runs on a pool thread (ToolInstall does the file work); the
// tree runs as a child process whose output the main thread collects as it arrives, so the page
// never waits on the disk or the tool. Results come back as signals; the page keeps its own texts.
#pragma once

#include <QByteArray>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QtQml/qqmlregistration.h>

class CommandLineTool : public QObject
{
    Q_OBJECT
    QML_ELEMENT

    // The tclean that ships with the application (next to its executable).
    Q_PROPERTY(QString toolPath READ toolPath WRITE setToolPath NOTIFY toolPathChanged)
    // home + "/.local/bin/tclean".
    Q_PROPERTY(QString installedPath READ installedPath CONSTANT)
    // The line that puts ~/.local/bin on the search path, in the syntax of the
    // user's shell.
    Q_PROPERTY(QString exportLine READ exportLine CONSTANT)
    // The tclean of the installed package found on PATH (outside the home), or
    // empty; when there is one, the page shows it and offers no copy.
    Q_PROPERTY(QString packagedPath READ packagedPath NOTIFY packagedPathChanged)
    // ~/.local/bin is on PATH already, so no start-up file needs a change.
    Q_PROPERTY(bool binOnPath READ binOnPath CONSTANT)
    // Something is at installedPath (as of the last refresh or install).
    Q_PROPERTY(bool installed READ installed NOTIFY installedChanged)
    // An install is under way.
    Q_PROPERTY(bool installing READ installing NOTIFY installingChanged)
    // A tree run is under way.
    Q_PROPERTY(bool running READ running NOTIFY runningChanged)

public:
    explicit CommandLineTool(QObject* parent = nullptr);
    ~CommandLineTool() override;

    QString toolPath() const { return m_toolPath; }
    void setToolPath(const QString& path);
    QString installedPath() const;
    QString exportLine() const;
    QString packagedPath() const { return m_packagedPath; }
    bool binOnPath() const;
    bool installed() const { return m_installed; }
    bool installing() const { return m_installing; }
    bool running() const { return m_process != nullptr; }

    // Looks again whether the tool is installed and for the package's tclean
    // (off the main thread).
    Q_INVOKABLE void refresh();
    // Installs the tool into ~/.local/bin and, when that folder is not on PATH,
    // puts it into the shell's start-up file; installFinished reports the outcome.
    Q_INVOKABLE void install();
    // Runs "tclean tree HOME -d depth"; treeFinished or treeFailed reports.
    Q_INVOKABLE void runTree(int depth);
    // A command as it should be copied: with the installed path once installed.
    Q_INVOKABLE QString commandText(const QString& cmd) const;

    // The tool's output as text for the page: invalid UTF-8 replaced, control
    // characters (but line feeds and tabs) shown as "?", cut after kMaxOutput
    // bytes at a line end.
    static QString outputText(const QByteArray& bytes);
    static constexpr qsizetype kMaxOutput = 256 * 1024;

    // Lets tests stand a built tclean in for the one next to the executable.
    static void useToolPath(const QString& path);

signals:
    void toolPathChanged();
    void packagedPathChanged();
    void installedChanged();
    void installingChanged();
    void runningChanged();
    // ok false: reason is the system's description of why the copy failed.
    // startupFile: the start-up file considered for the PATH block, "~/"-style
    // under the home, empty when ~/.local/bin was on PATH already; pathWritten:
    // the block is in that file (written now or before).
    void installFinished(bool ok, const QString& reason, const QString& startupFile,
                         bool pathWritten);
    void treeFinished(const QString& output);
    // The tool could not be started; reason says why.
    void treeFailed(const QString& reason);

private:
    void setInstalled(bool value);
    void finishRun();

    QString m_toolPath;
    QString m_packagedPath;
    bool m_installed = false;
    bool m_installing = false;
    QProcess* m_process = nullptr;
    QByteArray m_output;
};
