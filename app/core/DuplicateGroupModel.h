// SPDX-License-Identifier: GPL-3.0-or-later
// The duplicate groups of one kind (content or name) as a list model for the
// Toolbox's duplicates pane. AppModel owns one list per kind, replaces a list
// when a search delivers and removes a group by its id when the user keeps the
// group's first file. Each row carries what a group card shows: its counts and
// sizes, its name as one line, and the first eight of its paths (with the home
// folder written as "~") beside the real paths for revealing them.
#pragma once

#include "Records.h"

#include <QAbstractListModel>
#include <QStringList>
#include <QtQml/qqmlregistration.h>

#include <optional>
#include <string>
#include <vector>

// A path for showing: the home folder written as "~", as one line.
QString tildeLine(const std::string& path);

class DuplicateGroupModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("AppModel owns the duplicate groups")

    Q_PROPERTY(int count READ count NOTIFY countChanged)
    Q_PROPERTY(qint64 totalWasted READ totalWasted NOTIFY countChanged)

public:
    // How many paths a card lists; the rest are counted on a line of their own.
    static constexpr int kShownFiles = 8;

    enum class Role {
        GroupId = Qt::UserRole + 1,
        IsNameGroup,
        IsFolder,
        SameSize,
        SameName,
        FileCount,
        Size,
        SizeText,
        Wasted,
        WastedText,
        Name,
        ShownFiles,
        ShownPaths,
        MoreFiles,
    };
    Q_ENUM(Role)

    explicit DuplicateGroupModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    int count() const { return int(m_groups.size()); }
    // Sum of wasted over the groups (0 for name groups).
    qint64 totalWasted() const;
    const std::vector<DuplicateGroup>& groups() const { return m_groups; }
    // The group with this id, if listed.
    std::optional<DuplicateGroup> find(const std::string& id) const;

    void setGroups(std::vector<DuplicateGroup> groups);
    // Removes, row by row, every group with this id or with exactly these
    // files (the same files listed as a name group and as a content group).
    void removeGroup(const std::string& id, const std::vector<std::string>& files);

signals:
    void countChanged();

private:
    std::vector<DuplicateGroup> m_groups;
    std::vector<std::string> m_ids; // one per group, computed once
};
