// SPDX-License-Identifier: GPL-3.0-or-later
#include "CleanupItemModel.h"

#include "DuplicateGroupModel.h"
#include "RecordVariants.h"

#include <filesystem>

namespace {

const char* stateKey(Cleanups::Where where)
{
    switch (where) {
    case Cleanups::Where::InTrash:
        return "hist.inTrash";
    case Cleanups::Where::PutBack:
        return "hist.wasPutBack";
    case Cleanups::Where::Gone:
        break;
    }
    return "hist.gone";
}

} // namespace

CleanupItemModel::CleanupItemModel(QObject* parent) : QAbstractListModel(parent) {}

int CleanupItemModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_items.size());
}

QVariant CleanupItemModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_items.size()))
        return {};
    const size_t row = size_t(index.row());
    const Cleanups::Item& item = m_items[row];
    const Cleanups::Where where = row < m_where.size() ? m_where[row] : Cleanups::Where::Gone;
    switch (Role(role)) {
    case Role::Name:
        // A manifest without labels still names its items by their paths.
        return displayLine(item.label.empty() ? std::filesystem::path(item.path).filename().string()
                                              : item.label);
    case Role::SizeText:
        return qs(humanSize(item.size));
    case Role::Folder:
        return tildeLine(std::filesystem::path(item.path).parent_path().string());
    case Role::StateKey:
        return QString::fromLatin1(stateKey(where));
    case Role::InTrash:
        return where == Cleanups::Where::InTrash;
    }
    return {};
}

QHash<int, QByteArray> CleanupItemModel::roleNames() const
{
    return {{int(Role::Name), "name"},
            {int(Role::SizeText), "sizeText"},
            {int(Role::Folder), "folder"},
            {int(Role::StateKey), "stateKey"},
            {int(Role::InTrash), "inTrash"}};
}

void CleanupItemModel::show(const Cleanups::Record* record)
{
    // The same clean-up read again (after a put-back): only the rows whose
    // place changed redraw, so the list keeps its scroll position.
    if (record && record->entry.id == m_id && record->items.size() == m_items.size()) {
        for (size_t row = 0; row < m_items.size(); ++row) {
            const auto where = [](const std::vector<Cleanups::Where>& w, size_t i) {
                return i < w.size() ? w[i] : Cleanups::Where::Gone;
            };
            if (where(record->where, row) != where(m_where, row)) {
                m_where.resize(m_items.size(), Cleanups::Where::Gone);
                m_where[row] = where(record->where, row);
                emit dataChanged(index(int(row)), index(int(row)),
                                 {int(Role::StateKey), int(Role::InTrash)});
            }
        }
        return;
    }
    const int before = count();
    beginResetModel();
    m_id = record ? record->entry.id : std::string();
    m_items = record ? record->items : std::vector<Cleanups::Item>{};
    m_where = record ? record->where : std::vector<Cleanups::Where>{};
    endResetModel();
    if (count() != before)
        emit countChanged();
}
