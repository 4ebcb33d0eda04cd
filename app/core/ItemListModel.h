// SPDX-License-Identifier: GPL-3.0-or-later
// The findings as list models for the pages. An ItemListModel shows one or
// more of AppModel's item vectors back to back (the Clean page's "all" list is
// the caches followed by the leftovers) without copying them: AppModel owns the
// vectors and tells each model around every change, so a toggle redraws one
// row, a clean-up removes rows, and only a new scan resets a list.
//
// ItemFilter narrows one of them by a search text for a page; its rows stay
// live views of the same items.
#pragma once

#include "Records.h"

#include <QAbstractListModel>
#include <QSortFilterProxyModel>
#include <QtQml/qqmlregistration.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

// True for a character a name is never shown with: C0 and C1 controls, DEL,
// and the bidirectional embeddings, overrides and isolates, which would
// reorder what follows them ("a\u202egnp.exe" reading as "aexe.png").
bool isHiddenControl(char16_t c);

// A name or path as one line of text: line breaks, tabs, other control
// characters and bidirectional controls become "?" (as tclean prints them),
// bytes that are not UTF-8 the replacement character. (The rows align their
// texts left explicitly, so a right-to-left mark in a name reorders only that
// name.)
QString displayLine(const std::string& text);

class ItemListModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("AppModel owns the item lists")

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

    using Parts = std::vector<const std::vector<ScanItem>*>;
    // Whether a path is in the selection, or protected.
    using Membership = std::function<bool(const std::string&)>;

    ItemListModel(Parts parts, Membership selected, Membership isProtected,
                  QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    int count() const { return rowCount(); }
    const ScanItem* itemAt(int row) const;
    // The row of part `part`'s element `index`.
    int rowOf(size_t part, size_t index) const;

    // Around replacing the vectors wholesale (a new scan's result).
    void beginReplace() { beginResetModel(); }
    void endReplace();
    // Around erasing rows first..last (rows of this model) from the vectors.
    void beginErase(int first, int last) { beginRemoveRows({}, first, last); }
    void endErase();
    // The selection or protection of the rows with this path changed.
    void pathChanged(const std::string& path);
    // The selection or protection of any number of rows changed.
    void allChanged();

signals:
    void countChanged();

private:
    Parts m_parts;
    Membership m_selected;
    Membership m_protected;
};

// One page's view of a list: the rows whose lower-cased name or path holds the
// query, trimmed of blanks and lower-cased (every row when it is empty).
class ItemFilter : public QSortFilterProxyModel
{
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(QString query READ query WRITE setQuery NOTIFY queryChanged)
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    explicit ItemFilter(QObject* parent = nullptr);

    QString query() const { return m_query; }
    void setQuery(const QString& query);
    int count() const { return rowCount(); }

    // The paths of the listed rows, for "select all of what is shown".
    std::vector<std::string> paths() const;

signals:
    void queryChanged();
    void countChanged();

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    QString m_query;
    QString m_needle; // the query trimmed and lower-cased
};
