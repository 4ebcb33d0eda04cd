// SPDX-License-Identifier: GPL-3.0-or-later
#include "CommandLineTool.h"

#include "Platform.h"
#include "RecordVariants.h"
#include "ToolInstall.h"

#include <QCoreApplication>
#include <QPointer>
#include <QtConcurrent/QtConcurrentRun>

#include <cstdlib>

namespace {

QString g_toolOverride;

// file as the page names it: "~/..." under the home.
QString shownPath(const std::string& file, const std::string& home)
{
    if (!home.empty() && file.rfind(home + "/", 0) == 0)
        return QStringLiteral("~") + qPath(file.substr(home.size()));
    return qPath(file);
}

} // namespace

CommandLineTool::CommandLineTool(QObject* parent)
    : QObject(parent),
      m_toolPath(g_toolOverride.isEmpty()
                     ? QCoreApplication::applicationDirPath() + QStringLiteral("/tclean")
                     : g_toolOverride)
{
}

CommandLineTool::~CommandLineTool()
{
    if (m_process) {
        m_process->disconnect(this);
        m_process->kill();
        m_process->waitForFinished(1000);
        delete m_process;
    }
}

void CommandLineTool::useToolPath(const QString& path)
{
    g_toolOverride = path;
}

void CommandLineTool::setToolPath(const QString& path)
{
    if (path == m_toolPath)
        return;
    m_toolPath = path;
    emit toolPathChanged();
}

QString CommandLineTool::installedPath() const
{
    return qPath(ToolInstall::installedPath(Platform::homeDir()));
}

QString CommandLineTool::exportLine() const
{
    return QString::fromStdString(ToolInstall::exportLine(ToolInstall::currentSession().shell));
}

bool CommandLineTool::binOnPath() const
{
    const ToolInstall::Session session = ToolInstall::currentSession();
    return ToolInstall::onPath(ToolInstall::binDir(session.home), session.path);
}

void CommandLineTool::setInstalled(bool value)
{
    if (value == m_installed)
        return;
    m_installed = value;
    emit installedChanged();
}

void CommandLineTool::refresh()
{
    const ToolInstall::Session session = ToolInstall::currentSession();
    QtConcurrent::run([session] {
        return std::make_pair(ToolInstall::isInstalled(session.home),
                              ToolInstall::packagedTool(session.path, session.home));
    }).then(this, [this](std::pair<bool, std::string> found) {
        const QString packaged = qPath(found.second);
        if (packaged != m_packagedPath) {
            m_packagedPath = packaged;
            emit packagedPathChanged();
        }
        setInstalled(found.first);
    });
}

void CommandLineTool::install()
{
    if (m_installing)
        return;
    m_installing = true;
    emit installingChanged();
    const std::string source = stdPath(m_toolPath);
    const ToolInstall::Session session = ToolInstall::currentSession();
    QtConcurrent::run([=] {
        return ToolInstall::install(source, session);
    }).then(this, [this, home = session.home](ToolInstall::Outcome outcome) {
        m_installing = false;
        emit installingChanged();
        if (outcome.ok)
            setInstalled(true);
        using ToolInstall::StartupEdit;
        const bool written = outcome.edit == StartupEdit::Appended ||
                             outcome.edit == StartupEdit::Created ||
                             outcome.edit == StartupEdit::AlreadyThere;
        emit installFinished(outcome.ok, QString::fromStdString(outcome.reason),
                             outcome.startupFile.empty() ? QString()
                                                         : shownPath(outcome.startupFile, home),
                             written);
    });
}

QString CommandLineTool::commandText(const QString& cmd) const
{
    // The package's tclean is on PATH: its name is enough.
    if (!m_packagedPath.isEmpty())
        return cmd;
    const std::string home = Platform::homeDir();
    return qPath(
        ToolInstall::commandFor(cmd.toStdString(), m_installed, ToolInstall::installedPath(home)));
}

void CommandLineTool::runTree(int depth)
{
    if (m_process)
        return;
    m_output.clear();
    m_process = new QProcess(this);
    m_process->setProcessChannelMode(QProcess::MergedChannels);
    connect(m_process, &QProcess::readyRead, this, [this] {
        // Past the cut the rest is read and dropped, so the tool never blocks.
        QByteArray chunk = m_process->readAll();
        if (m_output.size() <= kMaxOutput)
            m_output += chunk;
    });
    connect(m_process, &QProcess::finished, this, [this] {
        m_output += m_process->readAll();
        const QString text = outputText(m_output);
        finishRun();
        emit treeFinished(text);
    });
    connect(m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        const QString reason = m_process->errorString();
        finishRun();
        emit treeFailed(reason);
    });
    const QString home = qPath(Platform::homeDir());
    QProcess* process = m_process;
    emit runningChanged();
    process->start(m_toolPath,
                   {QStringLiteral("tree"), home, QStringLiteral("-d"), QString::number(depth)});
    if (m_process == process)
        process->closeWriteChannel();
}

void CommandLineTool::finishRun()
{
    m_process->disconnect(this);
    m_process->deleteLater();
    m_process = nullptr;
    m_output.clear();
    emit runningChanged();
}

QString CommandLineTool::outputText(const QByteArray& bytes)
{
    QByteArray kept = bytes;
    bool cut = false;
    if (kept.size() > kMaxOutput) {
        const qsizetype end = kept.lastIndexOf('\n', kMaxOutput);
        kept.truncate(end > 0 ? end + 1 : kMaxOutput);
        cut = true;
    }
    // The output keeps its lines and tabs; every other control shows as in a name.
    QString out = QString::fromUtf8(kept);
    for (QChar& ch : out) {
        const char16_t c = ch.unicode();
        if (c != '\n' && c != '\t' && isHiddenControl(c))
            ch = QLatin1Char('?');
    }
    if (cut)
        out += QStringLiteral("…\n");
    return out;
}
