// SPDX-License-Identifier: GPL-3.0-or-later
// The Apps pane's list of installed applications (desktop entries, Flatpaks,
// snaps, AppImages), largest first, as a list model filtered by the pane's
// search text (name or id), with the leftovers of the one application whose
// row is expanded. InstalledAppModel loads the list, the leftovers and does
// every removal on the utility queue of the services it is given (through
// their engine-call table), so neither a slow package query nor a running
// flatpak holds a frame.
//
// How an application goes depends on where it came from (Apps::removal):
// - Trash: its own files (an AppImage and its desktop entry, a user desktop
//   entry) and its chosen leftovers, looked up afresh at that moment (not the
//   ones shown), go to the Trash subfolder "卸载"; the row goes.
// - FlatpakUser: flatpak removes it; when that worked, its chosen leftovers go
//   to the Trash the same way, and the list is loaded again.
// - Command: nothing is removed here; the row offers the command to copy.
// A leftover is chosen unless the user unticked it (remembered per application
// while the model lives). Every move goes through the one Trash call in
// moveToTrash(); afterwards the model has the volume read again
// (Services::diskChanged).
#pragma once

#include "Apps.h"
#include "Records.h"

#include <QAbstractListModel>
#include <QtQml/qqmlregistration.h>

#include <map>
#include <set>
#include <string>
#include <vector>

class AppLeftoverModel;
class Services;
struct EngineCalls;

class InstalledAppModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(Services* services READ services WRITE setServices NOTIFY servicesChanged)
    Q_PROPERTY(int count READ count NOTIFY countChanged)
    Q_PROPERTY(int total READ total NOTIFY countChanged)
    Q_PROPERTY(bool loading READ loading NOTIFY loadingChanged)
    // Why the list is empty after a load ("" while it is not): the folders
    // searched for desktop entries, and flatpak and snap missing.
    Q_PROPERTY(QString emptyReason READ emptyReason NOTIFY countChanged)
    Q_PROPERTY(QString query READ query WRITE setQuery NOTIFY queryChanged)
    Q_PROPERTY(QString expanded READ expanded NOTIFY expandedChanged)
    // The expanded application's leftovers.
    Q_PROPERTY(AppLeftoverModel* leftovers READ leftovers CONSTANT)
    // The expanded row's leftovers have arrived.
    Q_PROPERTY(bool leftoversLoaded READ leftoversLoaded NOTIFY leftoversLoadedChanged)
    // An uninstall is running (the list takes no second one meanwhile).
    Q_PROPERTY(bool busy READ busy NOTIFY busyChanged)

public:
    enum class Role {
        Path = Qt::UserRole + 1,
        Name,
        Detail,
        Size,
        SizeText,
        IconSource,     // the icon's image address, "" when the entry names none
        SourceText,     // where it came from, in a word
        Removal,        // RemovalKind
        RemovalCommand, // what removes it, to copy ("" unless RemovalKind::Command)
    };
    Q_ENUM(Role)
    // Apps::Removal for QML.
    enum class RemovalKind { Trash, FlatpakUser, Command };
    Q_ENUM(RemovalKind)

    explicit InstalledAppModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    Services* services() const { return m_services; }
    void setServices(Services* services);
    int count() const { return int(m_shown.size()); }
    int total() const { return int(m_entries.size()); }
    bool loading() const { return m_loading; }
    QString emptyReason() const { return m_emptyReason; }
    QString query() const { return m_query; }
    void setQuery(const QString& query);
    QString expanded() const { return m_expanded; }
    AppLeftoverModel* leftovers() const { return m_leftovers; }
    bool leftoversLoaded() const { return m_leftoversLoaded; }
    bool busy() const { return m_busy; }

    // Loads the list afresh (also when one is shown).
    Q_INVOKABLE void refresh();
    // Collapses the row of path when it is the expanded one; otherwise expands
    // it (any other row collapses) and looks up its leftovers.
    Q_INVOKABLE void toggleLeftovers(const QString& path);
    // Ticks or unticks a leftover of the expanded application: whether it goes
    // to the Trash with the application.
    Q_INVOKABLE void chooseLeftover(const QString& leftoverPath, bool chosen);
    // Moves one leftover of the expanded application to the Trash on its own;
    // leftoverMoved() follows.
    Q_INVOKABLE void trashLeftover(const QString& leftoverPath);
    // Removes the application at path as its kind of removal says (see
    // above); uninstalled() or uninstallFailed() follows.
    Q_INVOKABLE void uninstall(const QString& path);

    // The sentence shown for an empty list (any thread): the folders searched
    // for desktop entries, and that flatpak and snap are missing when both are.
    static QString emptyText();

signals:
    void servicesChanged();
    void countChanged();
    void loadingChanged();
    void queryChanged();
    void expandedChanged();
    void leftoversLoadedChanged();
    void busyChanged();
    // name's files and chosen leftovers: moved of them went, failed stayed.
    void uninstalled(const QString& name, int moved, int failed);
    // flatpak did not remove name; nothing was moved.
    void uninstallFailed(const QString& name);
    void leftoverMoved(bool moved);

private:
    struct Entry
    {
        AppInfo app;
        Apps::Removal removal = Apps::Removal::Trash;
        std::string command;
    };
    struct Load
    {
        std::vector<Entry> entries;
        QString emptyReason;
    };

    // The one way this model moves files to the Trash (any thread).
    static std::vector<MoveOutcome> moveToTrash(const EngineCalls& calls,
                                                const std::vector<std::string>& paths);
    static Load load(const EngineCalls& calls);
    void assign(Load load);
    const Entry* findEntry(const QString& path) const;
    void dropApp(const std::string& path);
    void refilter();
    void collapse();
    void setLoading(bool v);
    void setBusy(bool v);
    void setExpanded(const QString& path);
    void setLeftoversLoaded(bool v);

    Services* m_services = nullptr;
    std::vector<Entry> m_entries;
    std::vector<size_t> m_shown; // indexes into m_entries that pass the filter
    bool m_loading = false;
    bool m_busy = false;
    QString m_emptyReason;
    QString m_query;
    QString m_expanded;
    AppLeftoverModel* m_leftovers;
    bool m_leftoversLoaded = false;
    quint64 m_leftoverRequest = 0; // a late answer for another row is dropped
    // The leftovers the user unticked, by application path.
    std::map<std::string, std::set<std::string>> m_unchosen;
};
