// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppLeftoverModel.h"

#include "DuplicateGroupModel.h"
#include "RecordVariants.h"

AppLeftoverModel::AppLeftoverModel(QObject* parent) : QAbstractListModel(parent) {}

int AppLeftoverModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_items.size());
}

QVariant AppLeftoverModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_items.size()))
        return {};
    const auto row = size_t(index.row());
    const ScanItem& item = m_items[row];
    switch (Role(role)) {
    case Role::Path:
        return qPath(item.path);
    case Role::ShownPath:
        return tildeLine(item.path);
    case Role::Size:
        return qint64(item.size);
    case Role::SizeText:
        return qs(humanSize(item.size));
    case Role::Chosen:
        return bool(m_chosen[row]);
    }
    return {};
}

QHash<int, QByteArray> AppLeftoverModel::roleNames() const
{
    return {{int(Role::Path), "path"},
            {int(Role::ShownPath), "shownPath"},
            {int(Role::Size), "size"},
            {int(Role::SizeText), "sizeText"},
            {int(Role::Chosen), "chosen"}};
}

void AppLeftoverModel::setItems(std::vector<ScanItem> items, const std::set<std::string>& unchosen)
{
    const bool counted = items.size() != m_items.size();
    beginResetModel();
    m_items = std::move(items);
    m_chosen.assign(m_items.size(), true);
    for (size_t i = 0; i < m_items.size(); ++i)
        m_chosen[i] = !unchosen.contains(m_items[i].path);
    endResetModel();
    if (counted)
        emit countChanged();
}

int AppLeftoverModel::rowOf(const std::string& path) const
{
    for (size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i].path == path)
            return int(i);
    return -1;
}

void AppLeftoverModel::setChosen(const std::string& path, bool chosen)
{
    const int row = rowOf(path);
    if (row < 0 || m_chosen[size_t(row)] == chosen)
        return;
    m_chosen[size_t(row)] = chosen;
    const QModelIndex at = index(row);
    emit dataChanged(at, at, {int(Role::Chosen)});
}

void AppLeftoverModel::remove(const std::string& path)
{
    const int row = rowOf(path);
    if (row < 0)
        return;
    beginRemoveRows({}, row, row);
    m_items.erase(m_items.begin() + row);
    m_chosen.erase(m_chosen.begin() + row);
    endRemoveRows();
    emit countChanged();
}
