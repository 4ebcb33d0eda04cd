// The Command-line page's worker: where the in-app tclean lies, whether it is
// installed in ~/bin, installing it, and running "tclean tree" on the home
// folder. Installing runs on a pool thread (ToolInstall does the file work);
// the tree runs as a child process whose output the main thread collects as it
// arrives, so the page never waits on the disk or the tool. Results come back
// as signals; the page keeps its own texts.
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
    // home + "/bin/tclean".
    Q_PROPERTY(QString installedPath READ installedPath CONSTANT)
    // The line that puts ~/bin on the search path.
    Q_PROPERTY(QString exportLine READ exportLine CONSTANT)
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
    bool installed() const { return m_installed; }
    bool installing() const { return m_installing; }
    bool running() const { return m_process != nullptr; }

    // Looks again whether the tool is installed (off the main thread).
    Q_INVOKABLE void refresh();
    // Installs the tool into ~/bin and ~/bin into the shell's start-up file;
    // installFinished reports the outcome.
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
    void installedChanged();
    void installingChanged();
    void runningChanged();
    // ok false: reason is the system's description of why the copy failed.
    void installFinished(bool ok, const QString& reason);
    void treeFinished(const QString& output);
    // The tool could not be started; reason says why.
    void treeFailed(const QString& reason);

private:
    void setInstalled(bool value);
    void finishRun();

    QString m_toolPath;
    bool m_installed = false;
    bool m_installing = false;
    QProcess* m_process = nullptr;
    QByteArray m_output;
};
