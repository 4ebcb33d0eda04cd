#include "CommandLineTool.h"

#include "ItemListModel.h"
#include "Platform.h"
#include "RecordVariants.h"
#include "ToolInstall.h"

#include <QCoreApplication>
#include <QPointer>
#include <QtConcurrent/QtConcurrentRun>

#include <cstdlib>

namespace {

QString g_toolOverride;

std::string shellName()
{
    const char* shell = std::getenv("SHELL");
    return shell ? shell : "";
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
    return QString::fromUtf8(ToolInstall::kExportLine.data(), ToolInstall::kExportLine.size());
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
    const std::string home = Platform::homeDir();
    QtConcurrent::run([home] {
        return ToolInstall::isInstalled(home);
    }).then(this, [this](bool installed) { setInstalled(installed); });
}

void CommandLineTool::install()
{
    if (m_installing)
        return;
    m_installing = true;
    emit installingChanged();
    const std::string source = stdPath(m_toolPath);
    const std::string home = Platform::homeDir();
    const std::string shell = shellName();
    QtConcurrent::run([=] {
        return ToolInstall::install(source, home, shell);
    }).then(this, [this](ToolInstall::Outcome outcome) {
        m_installing = false;
        emit installingChanged();
        if (outcome.ok)
            setInstalled(true);
        emit installFinished(outcome.ok, QString::fromStdString(outcome.reason));
    });
}

QString CommandLineTool::commandText(const QString& cmd) const
{
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
