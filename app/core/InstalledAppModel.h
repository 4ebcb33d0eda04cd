// SPDX-License-Identifier: GPL-3.0-or-later
// The Apps pane's list of installed applications, as a list model filtered by
// the pane's search text, with the leftovers of the one application whose row
// is expanded. InstalledAppModel loads the list, the leftovers and does the uninstall
// on the utility queue of the services it is given (through their engine-call
// table), so neither a slow disk-usage run nor a bundle with a broken
// Info.plist holds a frame.
//
// Uninstall moves the bundle and its leftovers, looked up afresh at that
// moment (not the ones shown), into the Trash subfolder "卸载", then drops the
// application from the list, collapses the expanded row and has the model
// re-read the volume (Services::diskChanged).
#pragma once

#include "Records.h"

#include <QAbstractListModel>
#include <QStringList>
#include <QtQml/qqmlregistration.h>

#include <vector>

class Services;

class InstalledAppModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(Services* services READ services WRITE setServices NOTIFY servicesChanged)
    Q_PROPERTY(int count READ count NOTIFY countChanged)
    Q_PROPERTY(int total READ total NOTIFY countChanged)
    Q_PROPERTY(bool loading READ loading NOTIFY loadingChanged)
    Q_PROPERTY(QString query READ query WRITE setQuery NOTIFY queryChanged)
    Q_PROPERTY(QString expanded READ expanded NOTIFY expandedChanged)
    Q_PROPERTY(QStringList leftovers READ leftovers NOTIFY leftoversChanged)
    // The expanded row's leftovers have arrived.
    Q_PROPERTY(bool leftoversLoaded READ leftoversLoaded NOTIFY leftoversChanged)

public:
    enum class Role { Path = Qt::UserRole + 1, Name, Detail, Size, SizeText };
    Q_ENUM(Role)

    explicit InstalledAppModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    Services* services() const { return m_services; }
    void setServices(Services* services);
    int count() const { return int(m_shown.size()); }
    int total() const { return int(m_apps.size()); }
    bool loading() const { return m_loading; }
    QString query() const { return m_query; }
    void setQuery(const QString& query);
    QString expanded() const { return m_expanded; }
    // The expanded application's leftovers, home written as "~".
    QStringList leftovers() const { return m_leftovers; }
    bool leftoversLoaded() const { return m_leftoversLoaded; }

    // Loads the list afresh (also when one is shown).
    Q_INVOKABLE void refresh();
    // Collapses the row of path when it is the expanded one; otherwise expands
    // it (any other row collapses) and looks up its leftovers.
    Q_INVOKABLE void toggleLeftovers(const QString& path);
    // Uninstalls the application at path (see above); uninstalled() follows
    // with how many of the paths moved.
    Q_INVOKABLE void uninstall(const QString& path);

    // Replaces the list (what a load assigns).
    void setApps(std::vector<AppInfo> apps);
    const std::vector<AppInfo>& apps() const { return m_apps; }

signals:
    void servicesChanged();
    void countChanged();
    void loadingChanged();
    void queryChanged();
    void expandedChanged();
    void leftoversChanged();
    void uninstalled(int moved, int failed);

private:
    const AppInfo* findApp(const QString& path) const;
    void refilter();
    void setLoading(bool v);
    void setExpanded(const QString& path);
    void setLeftovers(QStringList v, bool loaded);

    Services* m_services = nullptr;
    std::vector<AppInfo> m_apps;
    std::vector<size_t> m_shown; // indexes into m_apps that pass the filter
    bool m_loading = false;
    QString m_query;
    QString m_expanded;
    QStringList m_leftovers;
    bool m_leftoversLoaded = false;
    quint64 m_leftoverRequest = 0; // a late answer for another row is dropped
};
