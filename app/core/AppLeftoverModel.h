// SPDX-License-Identifier: GPL-3.0-or-later
// The leftovers of the one application whose row the Apps pane has expanded:
// its own folders in the XDG folders, ~/.var/app and ~/snap, with their sizes,
// largest first (as the engine lists them). Each leftover is chosen to go to
// the Trash with the application unless the user has unticked it; the
// InstalledAppModel keeps what was unticked, per application, and asks this
// model to show it.
#pragma once

#include "Records.h"

#include <QAbstractListModel>
#include <QtQml/qqmlregistration.h>

#include <set>
#include <string>
#include <vector>

class AppLeftoverModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("InstalledAppModel owns the leftovers")

    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    enum class Role { Path = Qt::UserRole + 1, ShownPath, Size, SizeText, Chosen };
    Q_ENUM(Role)

    explicit AppLeftoverModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    int count() const { return int(m_items.size()); }
    const std::vector<ScanItem>& items() const { return m_items; }

    // Shows items; those whose paths are in unchosen are shown unticked.
    void setItems(std::vector<ScanItem> items, const std::set<std::string>& unchosen);
    // Ticks or unticks the leftover at path (no change for a path not shown).
    void setChosen(const std::string& path, bool chosen);
    // Drops the leftover at path (it went to the Trash on its own).
    void remove(const std::string& path);

signals:
    void countChanged();

private:
    int rowOf(const std::string& path) const;

    std::vector<ScanItem> m_items;
    std::vector<bool> m_chosen;
};
