// SPDX-License-Identifier: GPL-3.0-or-later
#include "ItemListModel.h"

#include "RecordVariants.h"

#include <string_view>

bool isHiddenControl(char16_t c)
{
    return c < 0x20 || (c >= 0x7f && c < 0xa0) || (c >= 0x202a && c <= 0x202e) ||
           (c >= 0x2066 && c <= 0x2069);
}

QString displayLine(const std::string& text)
{
    if (text.empty())
        return {};
    // Every such character lies in the basic plane, so no surrogate is touched.
    QString line = QString::fromUtf8(text.data(), qsizetype(text.size()));
    for (QChar& c : line)
        if (isHiddenControl(c.unicode()))
            c = QLatin1Char('?');
    return line;
}

namespace {

const char* kindIcon(ItemKind kind)
{
    switch (kind) {
    case ItemKind::Cache:
        return "shippingbox";
    case ItemKind::Orphan:
        return "questionmark.folder";
    case ItemKind::Large:
        return "doc";
    }
    return "doc";
}

QString raw(std::string_view v)
{
    return QString::fromLatin1(v.data(), qsizetype(v.size()));
}

} // namespace

ItemListModel::ItemListModel(Parts parts, Membership selected, Membership isProtected,
                             QObject* parent)
    : QAbstractListModel(parent), m_parts(std::move(parts)), m_selected(std::move(selected)),
      m_protected(std::move(isProtected))
{
}

int ItemListModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid())
        return 0;
    size_t n = 0;
    for (const auto* part : m_parts)
        n += part->size();
    return int(n);
}

const ScanItem* ItemListModel::itemAt(int row) const
{
    if (row < 0)
        return nullptr;
    size_t r = size_t(row);
    for (const auto* part : m_parts) {
        if (r < part->size())
            return &(*part)[r];
        r -= part->size();
    }
    return nullptr;
}

int ItemListModel::rowOf(size_t part, size_t index) const
{
    size_t row = index;
    for (size_t p = 0; p < part && p < m_parts.size(); ++p)
        row += m_parts[p]->size();
    return int(row);
}

QVariant ItemListModel::data(const QModelIndex& index, int role) const
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
        return raw(rawValue(item->kind));
    case Role::Risk:
        return raw(rawValue(item->risk));
    case Role::Icon:
        return QString::fromLatin1(kindIcon(item->kind));
    case Role::Selected:
        return m_selected && m_selected(item->path);
    case Role::Protected:
        return m_protected && m_protected(item->path);
    }
    return {};
}

QHash<int, QByteArray> ItemListModel::roleNames() const
{
    return {
        {int(Role::Path), "path"},         {int(Role::Name), "name"},
        {int(Role::Note), "note"},         {int(Role::Size), "size"},
        {int(Role::SizeText), "sizeText"}, {int(Role::Kind), "kind"},
        {int(Role::Risk), "risk"},         {int(Role::Icon), "icon"},
        {int(Role::Selected), "selected"}, {int(Role::Protected), "isProtected"},
    };
}

void ItemListModel::endReplace()
{
    endResetModel();
    emit countChanged();
}

void ItemListModel::endErase()
{
    endRemoveRows();
    emit countChanged();
}

void ItemListModel::pathChanged(const std::string& path)
{
    const QList<int> roles{int(Role::Selected), int(Role::Protected)};
    int row = 0;
    for (const auto* part : m_parts)
        for (const ScanItem& item : *part) {
            if (item.path == path) {
                const QModelIndex i = index(row);
                emit dataChanged(i, i, roles);
            }
            ++row;
        }
}

void ItemListModel::allChanged()
{
    const int n = rowCount();
    if (n > 0)
        emit dataChanged(index(0), index(n - 1), {int(Role::Selected), int(Role::Protected)});
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
    if (m_needle.isEmpty())
        return true;
    const auto* items = qobject_cast<const ItemListModel*>(sourceModel());
    const ScanItem* item = items ? items->itemAt(sourceRow) : nullptr;
    if (!item)
        return false;
    return QString::fromStdString(item->name).toLower().contains(m_needle) ||
           QString::fromStdString(item->path).toLower().contains(m_needle);
}

std::vector<std::string> ItemFilter::paths() const
{
    std::vector<std::string> out;
    const auto* items = qobject_cast<const ItemListModel*>(sourceModel());
    if (!items)
        return out;
    const int n = rowCount();
    out.reserve(size_t(n));
    for (int r = 0; r < n; ++r)
        if (const ScanItem* item = items->itemAt(mapToSource(index(r, 0)).row()))
            out.push_back(item->path);
    return out;
}
