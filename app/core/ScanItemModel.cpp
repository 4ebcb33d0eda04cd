// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScanItemModel.h"

#include "RecordVariants.h"

#include <QAbstractProxyModel>

#include <algorithm>

namespace {

const char* kindIcon(ItemKind kind)
{
    switch (kind) {
    case ItemKind::Cache:
        return "shippingbox";
    case ItemKind::Leftover:
        return "questionmark.folder";
    case ItemKind::Large:
        return "doc";
    }
    return "doc";
}

// The finding behind a row of a model that is the findings or a chain of
// filters over them.
const ScanItem* findingAt(const QAbstractItemModel* model, int row)
{
    while (const auto* proxy = qobject_cast<const QAbstractProxyModel*>(model)) {
        row = proxy->mapToSource(proxy->index(row, 0)).row();
        model = proxy->sourceModel();
    }
    const auto* items = qobject_cast<const ScanItemModel*>(model);
    return items ? items->itemAt(row) : nullptr;
}

constexpr ItemKind kGroups[] = {ItemKind::Cache, ItemKind::Leftover, ItemKind::Large};

} // namespace

ScanItemModel::ScanItemModel(Membership selected, Membership isProtected, QObject* parent)
    : QAbstractListModel(parent), m_selected(std::move(selected)),
      m_protected(std::move(isProtected))
{
}

size_t ScanItemModel::slot(ItemKind kind)
{
    switch (kind) {
    case ItemKind::Cache:
        return 0;
    case ItemKind::Leftover:
        return 1;
    case ItemKind::Large:
        return 2;
    }
    return 2;
}

size_t ScanItemModel::groupBegin(ItemKind kind) const
{
    size_t begin = 0;
    for (size_t s = 0; s < slot(kind); ++s)
        begin += m_groupSize[s];
    return begin;
}

int ScanItemModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_items.size());
}

const ScanItem* ScanItemModel::itemAt(int row) const
{
    if (row < 0 || size_t(row) >= m_items.size())
        return nullptr;
    return &m_items[size_t(row)];
}

ItemKind ScanItemModel::groupAt(int row) const
{
    size_t r = size_t(std::max(row, 0));
    for (ItemKind kind : kGroups) {
        if (r < m_groupSize[slot(kind)])
            return kind;
        r -= m_groupSize[slot(kind)];
    }
    return ItemKind::Large;
}

std::span<const ScanItem> ScanItemModel::group(ItemKind kind) const
{
    return std::span<const ScanItem>(m_items).subspan(groupBegin(kind), m_groupSize[slot(kind)]);
}

std::span<const ScanItem> ScanItemModel::cleanable() const
{
    return std::span<const ScanItem>(m_items).first(m_groupSize[0] + m_groupSize[1]);
}

QVariant ScanItemModel::data(const QModelIndex& index, int role) const
{
    const ScanItem* item = index.isValid() ? itemAt(index.row()) : nullptr;
    if (!item)
        return {};
    switch (Role(role)) {
    case Role::Path:
        return qPath(item->path);
    case Role::Name:
        return displayLine(item->name);
    case Role::Note:
        return displayLine(item->note);
    case Role::Size:
        return qint64(item->size);
    case Role::SizeText:
        return qs(humanSize(item->size));
    case Role::Kind:
        return qs(rawValue(item->kind));
    case Role::Risk:
        return qs(rawValue(item->risk));
    case Role::Icon:
        return QString::fromLatin1(kindIcon(item->kind));
    case Role::Selected:
        return groupAt(index.row()) != ItemKind::Large && m_selected && m_selected(item->path);
    case Role::Protected:
        return groupAt(index.row()) != ItemKind::Large && m_protected && m_protected(item->path);
    }
    return {};
}

QHash<int, QByteArray> ScanItemModel::roleNames() const
{
    return {
        {int(Role::Path), "path"},         {int(Role::Name), "name"},
        {int(Role::Note), "note"},         {int(Role::Size), "size"},
        {int(Role::SizeText), "sizeText"}, {int(Role::Kind), "kind"},
        {int(Role::Risk), "risk"},         {int(Role::Icon), "icon"},
        {int(Role::Selected), "selected"}, {int(Role::Protected), "isProtected"},
    };
}

void ScanItemModel::replaceGroup(ItemKind kind, std::vector<ScanItem> items)
{
    const size_t begin = groupBegin(kind);
    size_t& size = m_groupSize[slot(kind)];
    if (size > 0) {
        beginRemoveRows({}, int(begin), int(begin + size) - 1);
        m_items.erase(m_items.begin() + long(begin), m_items.begin() + long(begin + size));
        size = 0;
        endRemoveRows();
    }
    if (!items.empty()) {
        beginInsertRows({}, int(begin), int(begin + items.size()) - 1);
        m_items.insert(m_items.begin() + long(begin), std::make_move_iterator(items.begin()),
                       std::make_move_iterator(items.end()));
        size = items.size();
        endInsertRows();
    }
    emit countChanged();
}

std::set<ItemKind> ScanItemModel::removeCleanable(const std::set<std::string>& paths)
{
    std::set<ItemKind> changed;
    if (paths.empty())
        return changed;
    // From the back, one run of neighbouring rows at a time, so each view
    // hears of exactly the rows that go.
    size_t end = m_groupSize[0] + m_groupSize[1];
    while (end > 0) {
        if (!paths.count(m_items[end - 1].path)) {
            --end;
            continue;
        }
        size_t begin = end - 1;
        while (begin > 0 && paths.count(m_items[begin - 1].path))
            --begin;
        std::array<size_t, 3> gone{};
        for (size_t row = begin; row < end; ++row) {
            const ItemKind kind = groupAt(int(row));
            changed.insert(kind);
            ++gone[slot(kind)];
        }
        beginRemoveRows({}, int(begin), int(end) - 1);
        for (size_t s = 0; s < gone.size(); ++s)
            m_groupSize[s] -= gone[s];
        m_items.erase(m_items.begin() + long(begin), m_items.begin() + long(end));
        endRemoveRows();
        end = begin;
    }
    if (!changed.empty())
        emit countChanged();
    return changed;
}

void ScanItemModel::pathChanged(const std::string& path)
{
    const QList<int> roles{int(Role::Selected), int(Role::Protected)};
    const size_t cleanable = m_groupSize[0] + m_groupSize[1];
    for (size_t row = 0; row < cleanable; ++row)
        if (m_items[row].path == path) {
            const QModelIndex i = index(int(row));
            emit dataChanged(i, i, roles);
        }
}

void ScanItemModel::allChanged()
{
    const size_t cleanable = m_groupSize[0] + m_groupSize[1];
    if (cleanable > 0)
        emit dataChanged(index(0), index(int(cleanable) - 1),
                         {int(Role::Selected), int(Role::Protected)});
}

// ---- ItemFilter

ItemFilter::ItemFilter(QObject* parent) : QSortFilterProxyModel(parent)
{
    // A row's name and path never change, so a change of its selection need
    // not filter it again (Select All changes every row at once).
    setDynamicSortFilter(false);
    connect(this, &QAbstractItemModel::rowsInserted, this, &ItemFilter::countChanged);
    connect(this, &QAbstractItemModel::rowsRemoved, this, &ItemFilter::countChanged);
    connect(this, &QAbstractItemModel::modelReset, this, &ItemFilter::countChanged);
    connect(this, &QAbstractItemModel::layoutChanged, this, &ItemFilter::countChanged);
    connect(this, &QSortFilterProxyModel::sourceModelChanged, this, &ItemFilter::countChanged);
}

ItemFilter::ItemFilter(ScanItemModel* items, std::initializer_list<ItemKind> groups,
                       QObject* parent)
    : ItemFilter(parent)
{
    m_groups = groups;
    setSourceModel(items);
}

void ItemFilter::setQuery(const QString& query)
{
    if (m_query == query)
        return;
    m_query = query;
    const QString needle = query.trimmed().toLower();
    emit queryChanged();
    if (needle == m_needle)
        return;
    m_needle = needle;
    invalidateRowsFilter();
    emit countChanged();
}

bool ItemFilter::filterAcceptsRow(int sourceRow, const QModelIndex&) const
{
    if (!m_groups.empty()) {
        const auto* items = qobject_cast<const ScanItemModel*>(sourceModel());
        if (!items || !m_groups.count(items->groupAt(sourceRow)))
            return false;
    }
    if (m_needle.isEmpty())
        return true;
    const ScanItem* item = findingAt(sourceModel(), sourceRow);
    if (!item)
        return false;
    return QString::fromStdString(item->name).toLower().contains(m_needle) ||
           QString::fromStdString(item->path).toLower().contains(m_needle);
}

const ScanItem* ItemFilter::itemAt(int row) const
{
    return findingAt(this, row);
}

std::vector<std::string> ItemFilter::paths() const
{
    std::vector<std::string> out;
    const int n = rowCount();
    out.reserve(size_t(n));
    for (int r = 0; r < n; ++r)
        if (const ScanItem* item = itemAt(r))
            out.push_back(item->path);
    return out;
}
