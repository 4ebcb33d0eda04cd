// SPDX-License-Identifier: GPL-3.0-or-later
#include "InstalledAppModel.h"

#include "DuplicateGroupModel.h"
#include "RecordVariants.h"
#include "Services.h"
#include "Text.h"

#include <algorithm>

InstalledAppModel::InstalledAppModel(QObject* parent) : QAbstractListModel(parent) {}

int InstalledAppModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_shown.size());
}

QVariant InstalledAppModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_shown.size()))
        return {};
    const AppInfo& app = m_apps[m_shown[size_t(index.row())]];
    switch (Role(role)) {
    case Role::Path:
        return qPath(app.path);
    case Role::Name:
        return displayLine(app.name);
    case Role::Detail:
        return app.bundleID.empty() ? tildeLine(app.path) : displayLine(app.bundleID);
    case Role::Size:
        return qint64(app.size);
    case Role::SizeText:
        return qs(humanSize(app.size));
    }
    return {};
}

QHash<int, QByteArray> InstalledAppModel::roleNames() const
{
    return {{int(Role::Path), "path"},
            {int(Role::Name), "name"},
            {int(Role::Detail), "detail"},
            {int(Role::Size), "size"},
            {int(Role::SizeText), "sizeText"}};
}

void InstalledAppModel::setServices(Services* services)
{
    if (m_services == services)
        return;
    m_services = services;
    emit servicesChanged();
}

void InstalledAppModel::setQuery(const QString& query)
{
    if (m_query == query)
        return;
    m_query = query;
    emit queryChanged();
    refilter();
}

void InstalledAppModel::refilter()
{
    // Blanks and tabs around the text do not count; letter case never does.
    QString needle = m_query;
    while (!needle.isEmpty() && (needle.front() == u' ' || needle.front() == u'\t'))
        needle.remove(0, 1);
    while (!needle.isEmpty() && (needle.back() == u' ' || needle.back() == u'\t'))
        needle.chop(1);
    needle = needle.toLower();
    beginResetModel();
    m_shown.clear();
    for (size_t i = 0; i < m_apps.size(); ++i)
        if (needle.isEmpty() || qs(m_apps[i].name).toLower().contains(needle))
            m_shown.push_back(i);
    endResetModel();
    emit countChanged();
}

void InstalledAppModel::setApps(std::vector<AppInfo> apps)
{
    m_apps = std::move(apps);
    refilter();
}

void InstalledAppModel::refresh()
{
    if (!m_services)
        return;
    setLoading(true);
    const auto appsList = m_services->engine().appsList;
    m_services->runUtility(
        this, [appsList] { return appsList(); },
        [this](std::vector<AppInfo> apps) {
            setApps(std::move(apps));
            setLoading(false);
        });
}

const AppInfo* InstalledAppModel::findApp(const QString& path) const
{
    const std::string p = stdPath(path);
    for (const auto& app : m_apps)
        if (app.path == p)
            return &app;
    return nullptr;
}

void InstalledAppModel::toggleLeftovers(const QString& path)
{
    ++m_leftoverRequest;
    if (m_expanded == path) {
        setExpanded({});
        setLeftovers({}, false);
        return;
    }
    const AppInfo* app = findApp(path);
    if (!app || !m_services)
        return;
    setExpanded(path);
    setLeftovers({}, false);
    const quint64 request = m_leftoverRequest;
    const auto leftovers = m_services->engine().leftovers;
    m_services->runUtility(
        this, [leftovers, app = *app] { return leftovers(app); },
        [this, request](std::vector<std::string> found) {
            if (request != m_leftoverRequest)
                return;
            QStringList lines;
            for (const auto& p : found)
                lines.push_back(tildeLine(p));
            setLeftovers(std::move(lines), true);
        });
}

void InstalledAppModel::uninstall(const QString& path)
{
    const AppInfo* app = findApp(path);
    if (!app || !m_services)
        return;
    const EngineCalls calls = m_services->engine();
    m_services->runUtility(
        this,
        [calls, app = *app] {
            // The leftovers of this moment: whatever appeared since the row
            // was expanded goes too.
            std::vector<std::string> paths{app.path};
            for (auto& p : calls.leftovers(app))
                paths.push_back(std::move(p));
            return calls.moveToTrash(paths, t("trash.uninstall"));
        },
        [this, target = app->path](std::vector<MoveOutcome> moved) {
            std::vector<AppInfo> kept;
            for (auto& a : m_apps)
                if (a.path != target)
                    kept.push_back(std::move(a));
            setApps(std::move(kept));
            ++m_leftoverRequest;
            setExpanded({});
            m_services->reportDiskChanged();
            int ok = int(std::count(moved.begin(), moved.end(), MoveOutcome::Moved));
            emit uninstalled(ok, int(moved.size()) - ok);
        });
}

void InstalledAppModel::setLoading(bool v)
{
    if (m_loading == v)
        return;
    m_loading = v;
    emit loadingChanged();
}

void InstalledAppModel::setExpanded(const QString& path)
{
    if (m_expanded == path)
        return;
    m_expanded = path;
    emit expandedChanged();
}

void InstalledAppModel::setLeftovers(QStringList v, bool loaded)
{
    if (m_leftovers == v && m_leftoversLoaded == loaded)
        return;
    m_leftovers = std::move(v);
    m_leftoversLoaded = loaded;
    emit leftoversChanged();
}
