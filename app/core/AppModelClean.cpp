// SPDX-License-Identifier: GPL-3.0-or-later
// Selection, protection, the clean-up into the Trash, the history and the
// report.
#include "AppModel.h"

#include "Files.h"
#include "Platform.h"
#include "Preferences.h"
#include "RecordVariants.h"
#include "Strings.h"
#include "Text.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <filesystem>
#include <map>
#include <string_view>

namespace {

std::vector<ScanItem> copyOf(std::span<const ScanItem> items)
{
    return {items.begin(), items.end()};
}

} // namespace

// ---- Selection

bool AppModel::isSelected(const QString& path) const
{
    return m_selection.count(stdPath(path)) > 0;
}

void AppModel::toggleSelected(const QString& path)
{
    const std::string p = stdPath(path);
    if (!m_selection.erase(p))
        m_selection.insert(p);
    m_items.pathChanged(p);
    updateTotals();
}

void AppModel::selectAllIn(ItemFilter* rows)
{
    if (!rows)
        return;
    std::set<std::string> next = m_selection;
    for (auto& p : rows->paths())
        next.insert(std::move(p));
    setSelection(std::move(next));
}

void AppModel::clearSelection()
{
    setSelection({});
}

void AppModel::setSelection(std::set<std::string> v)
{
    if (m_selection == v)
        return;
    m_selection = std::move(v);
    m_items.allChanged();
    updateTotals();
}

std::vector<ScanItem> AppModel::cleanItems() const
{
    const auto items = m_items.cleanable();
    return {items.begin(), items.end()};
}

// A path found both as a cache and as a leftover is one thing on disk: it is
// selected, counted and moved once (as the first of its findings).
std::vector<ScanItem> AppModel::selectedItems() const
{
    std::vector<ScanItem> out;
    std::set<std::string_view> seen;
    for (const ScanItem& item : m_items.cleanable())
        if (m_selection.count(item.path) && seen.insert(item.path).second)
            out.push_back(item);
    return out;
}

// A finding inside another listed finding (a leftover folder and the cache
// folder within it) is part of the outer one's bytes: every total counts the
// outer one alone, and a clean-up of both moves the outer one.
void AppModel::updateTotals()
{
    std::vector<std::string> all, chosen;
    std::vector<int64_t> allSizes, chosenSizes;
    std::set<std::string_view> seen;
    for (const ScanItem& item : m_items.cleanable()) {
        if (!seen.insert(item.path).second)
            continue; // the same path listed twice is one thing on disk
        all.push_back(item.path);
        allSizes.push_back(item.size);
        if (m_selection.count(item.path)) {
            chosen.push_back(item.path);
            chosenSizes.push_back(item.size);
        }
    }
    const qint64 reclaimable = Files::outerTotal(all, allSizes);
    const qint64 selected = Files::outerTotal(chosen, chosenSizes);
    const auto inside = Files::insideOthers(chosen);
    const int count = int(std::count(inside.begin(), inside.end(), false));
    // Every sum of sizes here holds at the largest value instead of
    // overflowing, and a size below zero counts as nothing.
    qint64 large = 0;
    for (const ScanItem& item : largeItems())
        large = Strings::addSaturated(large, std::max<int64_t>(item.size, 0));

    if (count != m_selectedCount || selected != m_selectedSize) {
        m_selectedCount = count;
        m_selectedSize = selected;
        emit selectedChanged();
    }
    if (reclaimable != m_reclaimable) {
        m_reclaimable = reclaimable;
        emit reclaimableChanged();
    }
    if (large != m_largeTotal) {
        m_largeTotal = large;
        emit largeTotalChanged();
    }
}

// ---- Protection

bool AppModel::isProtected(const QString& path) const
{
    return m_protectedPaths.count(stdPath(path)) > 0;
}

void AppModel::toggleProtect(const QString& path)
{
    const std::string p = stdPath(path);
    const bool nowProtected = !m_protectedPaths.erase(p);
    if (nowProtected)
        m_protectedPaths.insert(p);
    writeProtected();
    m_items.pathChanged(p);
    if (nowProtected && m_selection.count(p))
        toggleSelected(path);
}

QStringList AppModel::selectedProtectedNames() const
{
    QStringList out;
    for (const ScanItem& item : selectedItems())
        if (m_protectedPaths.count(item.path))
            out.push_back(displayLine(item.name));
    return out;
}

void AppModel::writeProtected()
{
    Preferences::setStringArray("protectedPaths", std::vector<std::string>(m_protectedPaths.begin(),
                                                                           m_protectedPaths.end()));
}

// ---- The clean-up

void AppModel::trashSelected()
{
    trash(selectedItems());
}

void AppModel::trash(std::vector<ScanItem> items)
{
    if (m_cleaning++ == 0)
        emit cleaningChanged();
    std::vector<Cleanups::Target> targets;
    targets.reserve(items.size());
    for (const ScanItem& item : items)
        targets.push_back({item.path, item.size, item.kind, item.risk, item.name});
    // The renames, the record of what moved and the history entry are
    // written on a worker: a Trash on a slow or hung file system must not
    // freeze the window. An item inside another moves with it and shares its
    // outcome.
    m_services.run(
        Workers::Queue::User, this,
        [call = m_services.engine().cleanUp, targets = std::move(targets)] {
            std::vector<MoveOutcome> outcomes = call(targets, Cleanups::Source::Clean).outcomes;
            outcomes.resize(targets.size(), MoveOutcome::Failed);
            return outcomes;
        },
        [this, items = std::move(items)](std::vector<MoveOutcome> outcomes) {
            finishTrash(items, outcomes);
        });
}

QStringList AppModel::trashNotes(const std::map<MoveOutcome, int>& left)
{
    // Gone first (nothing is lost), then each reason an item stayed.
    static const std::pair<MoveOutcome, const char*> kNotes[] = {
        {MoveOutcome::Gone, "clean.gone"},
        {MoveOutcome::TrashUnwritable, "clean.stayTrash"},
        {MoveOutcome::OtherFileSystem, "clean.stayDevice"},
        {MoveOutcome::NoPermission, "clean.stayPermission"},
        {MoveOutcome::InUse, "clean.stayInUse"},
        {MoveOutcome::Failed, "clean.stayFailed"},
    };
    QStringList out;
    for (const auto& [outcome, key] : kNotes)
        if (auto it = left.find(outcome); it != left.end() && it->second > 0)
            out.push_back(QString::fromStdString(L::fCount(key, it->second)));
    return out;
}

// What moved, and what was gone, leaves the lists and the selection; what
// stayed where it is stays listed and selected, so nothing on disk vanishes
// from view. The counts are of the outer items, as the totals are.
void AppModel::finishTrash(const std::vector<ScanItem>& items,
                           const std::vector<MoveOutcome>& outcomes)
{
    std::vector<std::string> paths;
    for (const ScanItem& item : items)
        paths.push_back(item.path);
    const std::vector<bool> inside = Files::insideOthers(paths);
    int movedCount = 0;
    int failed = 0;
    qint64 size = 0;
    std::map<MoveOutcome, int> left;
    std::set<std::string> leaving; // each finding of these paths goes
    std::set<std::string> selection = m_selection;
    for (size_t i = 0; i < items.size(); ++i) {
        const MoveOutcome outcome = i < outcomes.size() ? outcomes[i] : MoveOutcome::Failed;
        if (outcome == MoveOutcome::Moved || outcome == MoveOutcome::Gone) {
            leaving.insert(items[i].path);
            selection.erase(items[i].path);
        }
        if (inside[i])
            continue;
        if (outcome == MoveOutcome::Moved) {
            ++movedCount;
            size = Strings::addSaturated(size, std::max<int64_t>(items[i].size, 0));
        } else {
            ++failed;
            ++left[outcome];
        }
    }
    removeFindings(leaving);
    setSelection(std::move(selection));
    updateTotals();
    refreshVolume();
    if (--m_cleaning == 0)
        emit cleaningChanged();
    emit trashed(movedCount, failed, size, trashNotes(left));
}

void AppModel::removeFindings(const std::set<std::string>& paths)
{
    const std::set<ItemKind> changed = m_items.removeCleanable(paths);
    if (changed.count(ItemKind::Cache))
        emit cacheItemsChanged();
    if (changed.count(ItemKind::Leftover))
        emit leftoverItemsChanged();
}

void AppModel::returnFindings(const std::vector<Cleanups::Item>& items)
{
    if (!m_scannedOnce || m_scanning)
        return;
    for (ItemKind kind : {ItemKind::Cache, ItemKind::Leftover}) {
        std::vector<ScanItem> group = copyOf(m_items.group(kind));
        std::set<std::string> listed;
        for (const ScanItem& item : group)
            listed.insert(item.path);
        const size_t before = group.size();
        for (const Cleanups::Item& item : items) {
            if (item.kind != kind || !listed.insert(item.path).second)
                continue;
            ScanItem back;
            back.path = item.path;
            back.name = item.label.empty() ? std::filesystem::path(item.path).filename().string()
                                           : item.label;
            back.size = item.size;
            back.kind = item.kind;
            back.risk = item.risk;
            group.push_back(std::move(back));
        }
        if (group.size() == before)
            continue;
        if (kind == ItemKind::Cache)
            assignCache(std::move(group));
        else
            assignLeftovers(std::move(group));
    }
}

// ---- History and report

void AppModel::loadHistory()
{
    m_history.load();
}

void AppModel::exportReport()
{
    m_services.run(
        Workers::Queue::User, this,
        [call = m_services.engine().exportReport, cache = copyOf(cacheItems()),
         leftover = copyOf(leftoverItems()), large = copyOf(largeItems()), volume = m_volume] {
            std::optional<std::string> path = call(cache, leftover, large, volume);
            // The desktop folder is read here, off the main thread (user-dirs.dirs).
            const bool onDesktop =
                path && QFileInfo(QString::fromStdString(*path)).absolutePath() ==
                            QDir::cleanPath(QString::fromStdString(
                                Platform::userFolder(Platform::UserFolder::Desktop)));
            return std::make_pair(path.value_or(std::string()), onDesktop);
        },
        [this](const std::pair<std::string, bool>& written) {
            emit reportExported(QString::fromStdString(written.first), written.second);
        });
}
