// SPDX-License-Identifier: GPL-3.0-or-later
// The findings as one list model for the pages. ScanItemModel holds every
// finding of the latest scan phases in one vector, grouped by the phase that
// found it: the caches, then the leftovers, then the large files. A phase's
// new result replaces its group's rows (removed, then inserted), a clean-up
// removes rows, and a change of selection or protection redraws the rows of
// that path; no change resets the model.
//
// ItemFilter is a page's view of it: the rows of some groups (the Clean
// page's "all" list is the caches and the leftovers), narrowed by a search
// text. Its rows stay live views of the same findings.
#pragma once

#include "Records.h"

#include <QAbstractListModel>
#include <QSortFilterProxyModel>
#include <QtQml/qqmlregistration.h>

#include <array>
#include <functional>
#include <initializer_list>
#include <set>
#include <span>
#include <string>
#include <vector>

class ScanItemModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("AppModel owns the findings")

    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    enum class Role {
        Path = Qt::UserRole + 1,
        Name,
        Note,
        Size,
        SizeText,
        Kind,
        Risk,
        Icon,
        Selected,
        Protected,
    };
    Q_ENUM(Role)

    // Whether a path is in the selection, or protected. Large files are never
    // selected or protected from their page: their rows say neither.
    using Membership = std::function<bool(const std::string&)>;

    ScanItemModel(Membership selected, Membership isProtected, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    int count() const { return rowCount(); }
    const ScanItem* itemAt(int row) const;
    // The group (the phase that found it) of a row.
    ItemKind groupAt(int row) const;
    // The findings of one group, in the order the phase listed them.
    std::span<const ScanItem> group(ItemKind kind) const;
    // The caches followed by the leftovers.
    std::span<const ScanItem> cleanable() const;

    // Replaces one group's findings; the other groups' rows stay untouched.
    void replaceGroup(ItemKind kind, std::vector<ScanItem> items);
    // Removes the caches and leftovers with these paths, one run of
    // neighbouring rows at a time; the large files stay. Returns the groups
    // that lost rows.
    std::set<ItemKind> removeCleanable(const std::set<std::string>& paths);
    // The selection or protection of the rows with this path changed.
    void pathChanged(const std::string& path);
    // The selection or protection of any number of rows changed.
    void allChanged();

signals:
    void countChanged();

private:
    static size_t slot(ItemKind kind);
    size_t groupBegin(ItemKind kind) const;

    std::vector<ScanItem> m_items;
    std::array<size_t, 3> m_groupSize{}; // caches, leftovers, large files
    Membership m_selected;
    Membership m_protected;
};

// One page's view of the findings: the rows of the chosen groups (every row
// when none is chosen) whose lower-cased name or path holds the query,
// trimmed of blanks and lower-cased (every row when it is empty). Its source
// is the ScanItemModel or another ItemFilter over it.
class ItemFilter : public QSortFilterProxyModel
{
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(QString query READ query WRITE setQuery NOTIFY queryChanged)
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    explicit ItemFilter(QObject* parent = nullptr);
    // A view of the given groups of items.
    ItemFilter(ScanItemModel* items, std::initializer_list<ItemKind> groups,
               QObject* parent = nullptr);

    QString query() const { return m_query; }
    void setQuery(const QString& query);
    int count() const { return rowCount(); }

    // The finding of a row of this view.
    const ScanItem* itemAt(int row) const;
    // The paths of the listed rows, for "select all of what is shown".
    std::vector<std::string> paths() const;

signals:
    void queryChanged();
    void countChanged();

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    std::set<ItemKind> m_groups; // empty: every group
    QString m_query;
    QString m_needle; // the query trimmed and lower-cased
};
