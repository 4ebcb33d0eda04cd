// SPDX-License-Identifier: GPL-3.0-or-later
#include "DuplicateGroupModel.h"

#include "Platform.h"
#include "RecordVariants.h"

QString tildeLine(const std::string& path)
{
    const std::string home = Platform::homeDir();
    if (!home.empty() && home != "/" && path.size() > home.size() &&
        path.compare(0, home.size(), home) == 0 && path[home.size()] == '/')
        return displayLine("~" + path.substr(home.size()));
    if (path == home)
        return displayLine("~");
    return displayLine(path);
}

DuplicateGroupModel::DuplicateGroupModel(QObject* parent) : QAbstractListModel(parent) {}

int DuplicateGroupModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_groups.size());
}

QVariant DuplicateGroupModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_groups.size()))
        return {};
    const size_t row = size_t(index.row());
    const DuplicateGroup& g = m_groups[row];
    const size_t shown = std::min(g.files.size(), size_t(kShownFiles));
    switch (Role(role)) {
    case Role::GroupId:
        return qPath(m_ids[row]);
    case Role::IsNameGroup:
        return g.kind == DuplicateKind::Name;
    case Role::IsFolder:
        return g.isFolder;
    case Role::SameSize:
        return g.sameSize;
    case Role::SameName:
        return g.sameName();
    case Role::FileCount:
        return int(g.files.size());
    case Role::Size:
        return qint64(g.size);
    case Role::SizeText:
        return qs(humanSize(g.size));
    case Role::Wasted:
        return qint64(g.wasted());
    case Role::WastedText:
        return qs(humanSize(g.wasted()));
    case Role::Name:
        return displayLine(g.name);
    case Role::ShownFiles: {
        QStringList out;
        for (size_t i = 0; i < shown; ++i)
            out.push_back(tildeLine(g.files[i]));
        return out;
    }
    case Role::ShownPaths: {
        QStringList out;
        for (size_t i = 0; i < shown; ++i)
            out.push_back(qPath(g.files[i]));
        return out;
    }
    case Role::MoreFiles:
        return int(g.files.size() - shown);
    }
    return {};
}

QHash<int, QByteArray> DuplicateGroupModel::roleNames() const
{
    return {
        {int(Role::GroupId), "groupId"},
        {int(Role::IsNameGroup), "isNameGroup"},
        {int(Role::IsFolder), "isFolder"},
        {int(Role::SameSize), "sameSize"},
        {int(Role::SameName), "sameName"},
        {int(Role::FileCount), "fileCount"},
        {int(Role::Size), "size"},
        {int(Role::SizeText), "sizeText"},
        {int(Role::Wasted), "wasted"},
        {int(Role::WastedText), "wastedText"},
        {int(Role::Name), "name"},
        {int(Role::ShownFiles), "shownFiles"},
        {int(Role::ShownPaths), "shownPaths"},
        {int(Role::MoreFiles), "moreFiles"},
    };
}

qint64 DuplicateGroupModel::totalWasted() const
{
    qint64 sum = 0;
    for (const auto& g : m_groups)
        sum += g.wasted();
    return sum;
}

std::optional<DuplicateGroup> DuplicateGroupModel::find(const std::string& id) const
{
    for (size_t i = 0; i < m_groups.size(); ++i)
        if (m_ids[i] == id)
            return m_groups[i];
    return std::nullopt;
}

void DuplicateGroupModel::setGroups(std::vector<DuplicateGroup> groups)
{
    beginResetModel();
    m_groups = std::move(groups);
    m_ids.clear();
    for (const auto& g : m_groups)
        m_ids.push_back(g.id());
    endResetModel();
    emit countChanged();
}

void DuplicateGroupModel::removeGroup(const std::string& id, const std::vector<std::string>& files)
{
    bool removed = false;
    for (size_t i = m_groups.size(); i-- > 0;) {
        if (m_ids[i] != id && m_groups[i].files != files)
            continue;
        beginRemoveRows({}, int(i), int(i));
        m_groups.erase(m_groups.begin() + std::ptrdiff_t(i));
        m_ids.erase(m_ids.begin() + std::ptrdiff_t(i));
        endRemoveRows();
        removed = true;
    }
    if (removed)
        emit countChanged();
}
