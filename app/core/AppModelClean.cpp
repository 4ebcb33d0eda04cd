// Selection, protection, the clean-up into the Trash, the history and the
// report.
#include "AppModel.h"

#include "Preferences.h"
#include "RecordVariants.h"

#include <algorithm>
#include <limits>
#include <string_view>

namespace {

qint64 saturatingAdd(qint64 a, qint64 b)
{
    if (b > 0 && a > std::numeric_limits<qint64>::max() - b)
        return std::numeric_limits<qint64>::max();
    return a + std::max<qint64>(b, 0);
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
    m_cleanList.pathChanged(p);
    m_cacheList.pathChanged(p);
    m_orphanList.pathChanged(p);
    updateTotals();
    emit selectionChanged();
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
    m_cleanList.allChanged();
    m_cacheList.allChanged();
    m_orphanList.allChanged();
    updateTotals();
    emit selectionChanged();
}

std::vector<ScanItem> AppModel::cleanItems() const
{
    std::vector<ScanItem> out = m_cacheItems;
    out.insert(out.end(), m_orphanItems.begin(), m_orphanItems.end());
    return out;
}

// A path found both as a cache and as a leftover is one thing on disk: it is
// selected, counted and moved once (as the first of its findings).
std::vector<ScanItem> AppModel::selectedItems() const
{
    std::vector<ScanItem> out;
    std::set<std::string_view> seen;
    for (const auto* list : {&m_cacheItems, &m_orphanItems})
        for (const ScanItem& item : *list)
            if (m_selection.count(item.path) && seen.insert(item.path).second)
                out.push_back(item);
    return out;
}

void AppModel::updateTotals()
{
    int count = 0;
    qint64 selected = 0;
    qint64 reclaimable = 0;
    std::set<std::string_view> seen;
    for (const auto* list : {&m_cacheItems, &m_orphanItems})
        for (const ScanItem& item : *list) {
            if (!seen.insert(item.path).second)
                continue; // the same path listed twice is one thing on disk
            reclaimable = saturatingAdd(reclaimable, item.size);
            if (m_selection.count(item.path)) {
                ++count;
                selected = saturatingAdd(selected, item.size);
            }
        }
    qint64 large = 0;
    for (const ScanItem& item : m_largeItems)
        large = saturatingAdd(large, item.size);

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
    m_cleanList.pathChanged(p);
    m_cacheList.pathChanged(p);
    m_orphanList.pathChanged(p);
    emit protectedPathsChanged();
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
    std::vector<std::string> paths;
    std::vector<int64_t> sizes;
    for (const ScanItem& item : items) {
        paths.push_back(item.path);
        sizes.push_back(item.size);
    }
    const EngineCalls calls = m_engine;
    // The renames and the history append run on a worker: a Trash on a slow
    // or hung file system must not freeze the window.
    m_workers.run(
        Workers::Queue::User, this,
        [calls, paths = std::move(paths), sizes = std::move(sizes)] {
            std::vector<bool> moved = calls.moveToTrash(paths, "");
            moved.resize(paths.size(), false);
            HistoryEntry entry;
            for (size_t i = 0; i < moved.size(); ++i)
                if (moved[i]) {
                    ++entry.items;
                    entry.freed = saturatingAdd(entry.freed, sizes[i]);
                }
            if (entry.items > 0) {
                entry.date = Clock::now(); // after the moves
                calls.appendHistory(entry);
            }
            return moved;
        },
        [this, items = std::move(items)](std::vector<bool> moved) { finishTrash(items, moved); });
}

void AppModel::finishTrash(const std::vector<ScanItem>& items, const std::vector<bool>& moved)
{
    int movedCount = 0;
    int failed = 0;
    qint64 size = 0;
    std::set<std::string> gone; // the given paths: each finding of them goes
    std::set<std::string> selection = m_selection;
    for (size_t i = 0; i < items.size(); ++i) {
        if (moved[i]) {
            ++movedCount;
            size = saturatingAdd(size, items[i].size);
        } else {
            ++failed;
        }
        gone.insert(items[i].path);
        selection.erase(items[i].path);
    }
    removeFindings(gone);
    setSelection(std::move(selection));
    updateTotals();
    refreshVolume();
    if (--m_cleaning == 0)
        emit cleaningChanged();
    emit trashed(movedCount, failed, size);
}

void AppModel::removeFindings(const std::set<std::string>& paths)
{
    if (paths.empty())
        return;
    // From the back, one run of neighbouring rows at a time, so each list
    // model hears of exactly the rows that go.
    const auto erase = [&](std::vector<ScanItem>& list, ItemListModel& own, size_t part) {
        size_t end = list.size();
        while (end > 0) {
            if (!paths.count(list[end - 1].path)) {
                --end;
                continue;
            }
            size_t begin = end - 1;
            while (begin > 0 && paths.count(list[begin - 1].path))
                --begin;
            const int first = int(begin), last = int(end) - 1;
            own.beginErase(first, last);
            m_cleanList.beginErase(m_cleanList.rowOf(part, begin),
                                   m_cleanList.rowOf(part, end - 1));
            list.erase(list.begin() + long(begin), list.begin() + long(end));
            m_cleanList.endErase();
            own.endErase();
            end = begin;
        }
    };
    const size_t cacheBefore = m_cacheItems.size();
    erase(m_cacheItems, m_cacheList, 0);
    if (m_cacheItems.size() != cacheBefore)
        emit cacheItemsChanged();
    const size_t orphansBefore = m_orphanItems.size();
    erase(m_orphanItems, m_orphanList, 1);
    if (m_orphanItems.size() != orphansBefore)
        emit orphanItemsChanged();
}

// ---- History and report

void AppModel::loadHistory()
{
    m_workers.run(
        Workers::Queue::User, this, [call = m_engine.loadHistory] { return call(); },
        [this](std::vector<HistoryEntry> entries) { m_history.setEntries(std::move(entries)); });
}

void AppModel::exportReport()
{
    m_workers.run(
        Workers::Queue::User, this,
        [call = m_engine.exportReport, cache = m_cacheItems, orphan = m_orphanItems,
         large = m_largeItems, volume = m_volume] { return call(cache, orphan, large, volume); },
        [this](std::optional<std::string> path) {
            emit reportExported(path ? QString::fromStdString(*path) : QString());
        });
}
