// SPDX-License-Identifier: GPL-3.0-or-later
#include "Toolbox.h"

#include "RecordVariants.h"
#include "Services.h"

#include <QRegularExpression>

#include <utility>

namespace {

struct SystemReading
{
    Scanner::MemoryInfo memory;
    Scanner::TrashInfo trash;
    std::vector<std::string> logins;
};

SystemReading readAll(const EngineCalls& calls)
{
    SystemReading r;
    r.memory = calls.memory();
    r.trash = calls.trashSize();
    r.logins = calls.loginItems();
    return r;
}

QVariantMap toVariant(const SystemReading& r)
{
    QStringList logins;
    for (const auto& name : r.logins)
        logins.push_back(displayLine(name));
    return {{"memTotal", qint64(r.memory.total)},
            {"memFree", qint64(r.memory.free)},
            {"trashSize", qint64(r.trash.size)},
            {"trashCount", r.trash.count},
            {"logins", logins}};
}

} // namespace

Toolbox::Toolbox(QObject* parent) : QObject(parent) {}

int Toolbox::envNumber(const QString& name)
{
    const QByteArray raw = qgetenv(name.toLatin1().constData());
    static const QRegularExpression integer(QStringLiteral("^[+-]?[0-9]+$"));
    if (!integer.match(QString::fromLatin1(raw)).hasMatch())
        return 0;
    bool ok = false;
    const int value = raw.toInt(&ok, 10);
    return ok ? value : 0;
}

void Toolbox::setServices(Services* services)
{
    if (m_services == services)
        return;
    m_services = services;
    emit servicesChanged();
}

void Toolbox::readSystem()
{
    if (!m_services)
        return;
    const EngineCalls calls = m_services->engine();
    m_services->runUtility(
        this, [calls] { return readAll(calls); },
        [this](SystemReading r) { emit systemRead(toVariant(r)); });
}

void Toolbox::readSnapshots()
{
    if (!m_services)
        return;
    const auto snapshots = m_services->engine().snapshots;
    m_services->runUtility(
        this, [snapshots] { return snapshots(); },
        [this](std::vector<Snapshot> list) {
            // Each snapshot as its name and date, and the command that
            // deletes it, which the pane offers to copy.
            QVariantList out;
            for (const auto& s : list) {
                const std::string text = s.date.empty() ? s.name : s.name + " · " + s.date;
                out.push_back(QVariantMap{{"text", displayLine(text)},
                                          {"command", QString::fromStdString(s.deleteCommand)}});
            }
            emit snapshotsRead(out);
        });
}

void Toolbox::emptyTrash()
{
    if (!m_services)
        return;
    const EngineCalls calls = m_services->engine();
    m_services->runUtility(
        this,
        [calls] {
            const int left = calls.emptyTrash().otherDevice;
            return std::make_pair(readAll(calls), left);
        },
        [this](std::pair<SystemReading, int> done) {
            emit systemRead(toVariant(done.first));
            if (done.second > 0)
                emit trashLeft(done.second);
        });
}
