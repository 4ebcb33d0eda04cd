// SPDX-License-Identifier: GPL-3.0-or-later
#include "ProcessModel.h"

#include <QCoreApplication>

#include "RecordVariants.h"

ProcessModel::ProcessModel(QObject* parent) : QAbstractListModel(parent) {}

int ProcessModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_procs.size());
}

QVariant ProcessModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_procs.size()))
        return {};
    const size_t row = size_t(index.row());
    const ProcInfo& p = m_procs[row];
    const Shown& s = m_shown[row];
    switch (Role(role)) {
    case Role::Pid:
        return p.pid;
    case Role::Name:
        return qs(p.name);
    case Role::DisplayName:
        return s.displayName;
    case Role::Rss:
        return qint64(p.rss);
    case Role::RssText:
        return s.rssText;
    case Role::Share:
        return s.share;
    case Role::Own:
        return s.own;
    }
    return {};
}

QHash<int, QByteArray> ProcessModel::roleNames() const
{
    return {
        {int(Role::Pid), "pid"},
        {int(Role::Name), "name"},
        {int(Role::DisplayName), "displayName"},
        {int(Role::Rss), "rss"},
        {int(Role::RssText), "rssText"},
        {int(Role::Share), "share"},
        {int(Role::Own), "own"},
    };
}

std::vector<ProcessModel::Shown> ProcessModel::shownRows(const std::vector<ProcInfo>& procs)
{
    // This process by its id: another copy of the app, or any program that
    // shares its name, is not this app.
    const auto ownPid = static_cast<int>(QCoreApplication::applicationPid());
    const double top = !procs.empty() && procs.front().rss >= 2 ? double(procs.front().rss) : 1;
    std::vector<Shown> out;
    out.reserve(procs.size());
    for (const ProcInfo& p : procs)
        out.push_back(
            {displayLine(p.name), qs(humanSize(p.rss)), double(p.rss) / top, p.pid == ownPid});
    return out;
}

void ProcessModel::setProcs(std::vector<ProcInfo> procs)
{
    std::vector<Shown> shown = shownRows(procs);
    const int before = count();
    const int after = int(procs.size());
    const int kept = std::min(before, after);

    // Rows past the new end go first, so the rows compared below are the
    // ones the view goes on showing.
    if (after < before) {
        beginRemoveRows({}, after, before - 1);
        m_procs.resize(size_t(after));
        m_shown.resize(size_t(after));
        endRemoveRows();
    }
    for (int row = 0; row < kept; ++row) {
        const ProcInfo& o = m_procs[size_t(row)];
        const ProcInfo& n = procs[size_t(row)];
        const Shown& os = m_shown[size_t(row)];
        const Shown& ns = shown[size_t(row)];
        QList<int> roles;
        if (o.pid != n.pid)
            roles.push_back(int(Role::Pid));
        if (o.name != n.name) {
            roles.push_back(int(Role::Name));
            if (os.displayName != ns.displayName)
                roles.push_back(int(Role::DisplayName));
            if (os.own != ns.own)
                roles.push_back(int(Role::Own));
        }
        if (o.rss != n.rss) {
            roles.push_back(int(Role::Rss));
            if (os.rssText != ns.rssText)
                roles.push_back(int(Role::RssText));
        }
        if (os.share != ns.share)
            roles.push_back(int(Role::Share));
        m_procs[size_t(row)] = std::move(procs[size_t(row)]);
        m_shown[size_t(row)] = std::move(shown[size_t(row)]);
        if (!roles.isEmpty())
            emit dataChanged(index(row), index(row), roles);
    }
    if (after > before) {
        beginInsertRows({}, before, after - 1);
        m_procs.insert(m_procs.end(), std::make_move_iterator(procs.begin() + before),
                       std::make_move_iterator(procs.end()));
        m_shown.insert(m_shown.end(), std::make_move_iterator(shown.begin() + before),
                       std::make_move_iterator(shown.end()));
        endInsertRows();
    }
    if (after != before)
        emit countChanged();
}
