// SPDX-License-Identifier: GPL-3.0-or-later
#include "InstalledAppModel.h"

#include "AppIconProvider.h"
#include "AppLeftoverModel.h"
#include "DesktopEntries.h"
#include "DuplicateGroupModel.h"
#include "Measure.h"
#include "RecordVariants.h"
#include "Runner.h"
#include "Services.h"
#include "Strings.h"
#include "Text.h"

#include <QStringList>

#include <algorithm>

namespace {

const char* sourceKey(AppSource source)
{
    switch (source) {
    case AppSource::Bundle:
        return "apps.source.bundle";
    case AppSource::Package:
        return "apps.source.package";
    case AppSource::Flatpak:
        return "apps.source.flatpak";
    case AppSource::Snap:
        return "apps.source.snap";
    case AppSource::AppImage:
        return "apps.source.appimage";
    case AppSource::UserEntry:
        return "apps.source.user";
    }
    return "apps.source.user";
}

// The search text as compared: blanks and tabs around it do not count, and
// letter case never does.
QString needleOf(const QString& query)
{
    QString needle = query;
    while (!needle.isEmpty() && (needle.front() == u' ' || needle.front() == u'\t'))
        needle.remove(0, 1);
    while (!needle.isEmpty() && (needle.back() == u' ' || needle.back() == u'\t'))
        needle.chop(1);
    return needle.toLower();
}

int countOf(const std::vector<MoveOutcome>& outcomes)
{
    return int(std::count(outcomes.begin(), outcomes.end(), MoveOutcome::Moved));
}

} // namespace

InstalledAppModel::InstalledAppModel(QObject* parent)
    : QAbstractListModel(parent), m_leftovers(new AppLeftoverModel(this))
{
}

int InstalledAppModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_shown.size());
}

QVariant InstalledAppModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_shown.size()))
        return {};
    const Entry& entry = m_entries[m_shown[size_t(index.row())]];
    const AppInfo& app = entry.app;
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
    case Role::IconSource:
        return AppIconProvider::address(app.icon);
    case Role::SourceText:
        return qs(t(sourceKey(app.source)));
    case Role::Removal:
        return int(entry.removal);
    case Role::RemovalCommand:
        return displayLine(entry.command);
    }
    return {};
}

QHash<int, QByteArray> InstalledAppModel::roleNames() const
{
    return {{int(Role::Path), "path"},
            {int(Role::Name), "name"},
            {int(Role::Detail), "detail"},
            {int(Role::Size), "size"},
            {int(Role::SizeText), "sizeText"},
            {int(Role::IconSource), "iconSource"},
            {int(Role::SourceText), "sourceText"},
            {int(Role::Removal), "removal"},
            {int(Role::RemovalCommand), "command"}};
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
    const QString needle = needleOf(m_query);
    beginResetModel();
    m_shown.clear();
    for (size_t i = 0; i < m_entries.size(); ++i) {
        const AppInfo& app = m_entries[i].app;
        if (needle.isEmpty() || qs(app.name).toLower().contains(needle) ||
            qs(app.bundleID).toLower().contains(needle))
            m_shown.push_back(i);
    }
    endResetModel();
    emit countChanged();
}

QString InstalledAppModel::emptyText()
{
    QStringList folders;
    for (const std::string& folder : DesktopEntries::applicationFolders())
        folders.push_back(tildeLine(folder));
    std::string text = L::f("apps.empty", {folders.join(QStringLiteral(", ")).toStdString()});
    if (Shell::onPath("flatpak").empty() && Shell::onPath("snap").empty())
        text += t("apps.empty.noTools");
    return qs(text);
}

InstalledAppModel::Load InstalledAppModel::load(const EngineCalls& calls)
{
    Load out;
    for (AppInfo& app : calls.appsList()) {
        Entry entry;
        entry.removal = Apps::removal(app);
        if (entry.removal == Apps::Removal::Command)
            entry.command = Apps::removalCommand(app);
        entry.app = std::move(app);
        out.entries.push_back(std::move(entry));
    }
    if (out.entries.empty())
        out.emptyReason = emptyText();
    return out;
}

void InstalledAppModel::assign(Load load)
{
    m_entries = std::move(load.entries);
    m_emptyReason = std::move(load.emptyReason);
    // A row that is gone can no longer be expanded.
    if (!m_expanded.isEmpty() && !findEntry(m_expanded))
        collapse();
    refilter();
}

void InstalledAppModel::refresh()
{
    if (!m_services)
        return;
    setLoading(true);
    const EngineCalls calls = m_services->engine();
    m_services->runUtility(
        this, [calls] { return load(calls); },
        [this](Load loaded) {
            assign(std::move(loaded));
            setLoading(false);
        });
}

const InstalledAppModel::Entry* InstalledAppModel::findEntry(const QString& path) const
{
    const std::string p = stdPath(path);
    for (const Entry& entry : m_entries)
        if (entry.app.path == p)
            return &entry;
    return nullptr;
}

void InstalledAppModel::collapse()
{
    ++m_leftoverRequest;
    setExpanded({});
    m_leftovers->setItems({}, {});
    setLeftoversLoaded(false);
}

void InstalledAppModel::toggleLeftovers(const QString& path)
{
    if (m_expanded == path) {
        collapse();
        return;
    }
    const Entry* entry = findEntry(path);
    if (!entry || !m_services)
        return;
    collapse();
    setExpanded(path);
    const quint64 request = m_leftoverRequest;
    const auto appLeftovers = m_services->engine().appLeftovers;
    m_services->runUtility(
        this, [appLeftovers, app = entry->app] { return appLeftovers(app); },
        [this, request, appPath = entry->app.path](std::vector<ScanItem> found) {
            if (request != m_leftoverRequest)
                return;
            m_leftovers->setItems(std::move(found), m_unchosen[appPath]);
            setLeftoversLoaded(true);
        });
}

void InstalledAppModel::chooseLeftover(const QString& leftoverPath, bool chosen)
{
    if (m_expanded.isEmpty())
        return;
    const std::string path = stdPath(leftoverPath);
    std::set<std::string>& unchosen = m_unchosen[stdPath(m_expanded)];
    if (chosen)
        unchosen.erase(path);
    else
        unchosen.insert(path);
    m_leftovers->setChosen(path, chosen);
}

std::vector<MoveOutcome> InstalledAppModel::moveToTrash(const EngineCalls& calls,
                                                        const std::vector<std::string>& paths)
{
    if (paths.empty())
        return {};
    // Through the record of clean-ups, so the History page can put an
    // uninstalled application back; the sizes are measured for that record.
    const std::vector<int64_t> sizes = Scanner::sizesOf(paths);
    std::vector<Cleanups::Target> targets;
    for (size_t i = 0; i < paths.size(); ++i)
        targets.push_back({paths[i], i < sizes.size() ? sizes[i] : 0, ItemKind::Leftover,
                           Risk::Care, Strings::lastComponent(paths[i])});
    return calls.cleanUp(targets, Cleanups::Source::Uninstall).outcomes;
}

void InstalledAppModel::trashLeftover(const QString& leftoverPath)
{
    const std::string path = stdPath(leftoverPath);
    const auto& shown = m_leftovers->items();
    if (!m_services || std::none_of(shown.begin(), shown.end(),
                                    [&path](const ScanItem& i) { return i.path == path; }))
        return;
    const EngineCalls calls = m_services->engine();
    m_services->runUtility(
        this, [calls, path] { return moveToTrash(calls, {path}); },
        [this, path](std::vector<MoveOutcome> outcome) {
            const bool moved = countOf(outcome) == 1;
            if (moved) {
                m_leftovers->remove(path);
                m_services->reportDiskChanged();
            }
            emit leftoverMoved(moved);
        });
}

void InstalledAppModel::dropApp(const std::string& path)
{
    if (m_expanded == qPath(path))
        collapse();
    std::erase_if(m_entries, [&path](const Entry& e) { return e.app.path == path; });
    refilter();
}

void InstalledAppModel::uninstall(const QString& path)
{
    const Entry* entry = findEntry(path);
    if (!entry || !m_services || m_busy || entry->removal == Apps::Removal::Command)
        return;
    setBusy(true);
    const EngineCalls calls = m_services->engine();
    const AppInfo app = entry->app;
    const std::set<std::string> unchosen = m_unchosen[app.path];
    const QString name = displayLine(app.name);
    // The leftovers of this moment: whatever appeared since the row was
    // expanded goes too, unless the user unticked it.
    auto chosenLeftovers = [calls, app, unchosen] {
        std::vector<std::string> paths;
        for (ScanItem& item : calls.appLeftovers(app))
            if (!unchosen.contains(item.path))
                paths.push_back(std::move(item.path));
        return paths;
    };

    if (entry->removal == Apps::Removal::FlatpakUser) {
        struct Outcome
        {
            bool removed = false;
            std::vector<MoveOutcome> moved;
        };
        m_services->runUtility(
            this,
            [calls, app, chosenLeftovers] {
                const std::vector<std::string> leftovers = chosenLeftovers();
                Outcome out;
                out.removed = calls.uninstallFlatpak(app);
                if (out.removed)
                    out.moved = moveToTrash(calls, leftovers);
                return out;
            },
            [this, name](Outcome out) {
                setBusy(false);
                if (!out.removed) {
                    emit uninstallFailed(name);
                    return;
                }
                m_services->reportDiskChanged();
                const int moved = countOf(out.moved);
                emit uninstalled(name, moved, int(out.moved.size()) - moved);
                refresh();
            });
        return;
    }

    struct Outcome
    {
        size_t own = 0; // the first own outcomes are the application's files
        std::vector<MoveOutcome> moved;
    };
    m_services->runUtility(
        this,
        [calls, app, chosenLeftovers] {
            std::vector<std::string> paths = calls.uninstallPaths(app);
            Outcome out;
            out.own = paths.size();
            if (paths.empty())
                return out;
            for (std::string& p : chosenLeftovers())
                paths.push_back(std::move(p));
            out.moved = moveToTrash(calls, paths);
            return out;
        },
        [this, name, target = app.path](Outcome out) {
            setBusy(false);
            const int moved = countOf(out.moved);
            if (moved > 0)
                m_services->reportDiskChanged();
            // The row goes once the application's own files went; otherwise
            // it stays, and the note says what stayed.
            const auto ownEnd =
                out.moved.begin() + std::ptrdiff_t(std::min(out.own, out.moved.size()));
            const bool gone = out.own > 0 && out.moved.size() >= out.own &&
                              std::all_of(out.moved.begin(), ownEnd,
                                          [](MoveOutcome o) { return o == MoveOutcome::Moved; });
            if (gone)
                dropApp(target);
            if (out.own == 0) {
                emit uninstallFailed(name);
                return;
            }
            emit uninstalled(name, moved, int(out.moved.size()) - moved);
        });
}

void InstalledAppModel::setLoading(bool v)
{
    if (m_loading == v)
        return;
    m_loading = v;
    emit loadingChanged();
}

void InstalledAppModel::setBusy(bool v)
{
    if (m_busy == v)
        return;
    m_busy = v;
    emit busyChanged();
}

void InstalledAppModel::setExpanded(const QString& path)
{
    if (m_expanded == path)
        return;
    m_expanded = path;
    emit expandedChanged();
}

void InstalledAppModel::setLeftoversLoaded(bool v)
{
    if (m_leftoversLoaded == v)
        return;
    m_leftoversLoaded = v;
    emit leftoversLoadedChanged();
}
