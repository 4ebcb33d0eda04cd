// SPDX-License-Identifier: GPL-3.0-or-later
// The application's one state object. The main window creates it and hands it
// to every page; pages read its properties and call its operations.
//
// All state lives on the main thread. An operation returns at once: it starts
// engine calls on the worker queues (Workers.h) through the engine-call table
// (EngineCalls.h) and assigns their results back on the main thread, in a
// fixed order, emitting one change signal per property. A full scan runs its
// three phases one after another with one CancelToken; a cancelled phase's
// result is dropped.
//
// What crosses into QML: the findings as one list model (ScanItemModel) with a
// filtered view per list (cleanItems, cacheItems, leftoverItems, largeItems),
// the history as a list model, small lists
// (volume, usage) converted once when assigned, the processes as a list model
// that each reading changes only where it differs, and scalars. Selection and
// protection are operations with derived counts; the sets themselves stay in
// C++.
//
// The code is split by concern over files that share this header:
//   AppModel.cpp           construction, usage, volume, processes, setters
//   AppModelScan.cpp       the full scan, its cancellation, large-file rescans
//   AppModelClean.cpp      selection, protection, the clean-up, history, report
//
// The storage map (MapState) and the duplicate search (DuplicateSearch) are
// state objects of their own; the engine-call table and the worker queues
// (Services) are shared with them and with the helpers that only start
// engine calls.
#pragma once

#include "DuplicateSearch.h"
#include "EngineCalls.h"
#include "HistoryModel.h"
#include "MapState.h"
#include "ProcessModel.h"
#include "Records.h"
#include "Runner.h"
#include "ScanItemModel.h"
#include "Services.h"
#include "SystemActivity.h"

#include <QObject>
#include <QStringList>
#include <QUrl>
#include <QVariant>
#include <QtQml/qqmlregistration.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <utility>
#include <vector>

class AppModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(QVariantMap volume READ volumeVariant NOTIFY volumeChanged)
    Q_PROPERTY(ItemFilter* cleanItems READ cleanList CONSTANT)
    Q_PROPERTY(ItemFilter* cacheItems READ cacheList CONSTANT)
    Q_PROPERTY(ItemFilter* leftoverItems READ leftoverList CONSTANT)
    Q_PROPERTY(ItemFilter* largeItems READ largeList CONSTANT)
    Q_PROPERTY(HistoryModel* history READ historyList CONSTANT)
    Q_PROPERTY(QVariantList categories READ categoriesVariant NOTIFY categoriesChanged)
    Q_PROPERTY(QVariantList typeBuckets READ typeBucketsVariant NOTIFY typeBucketsChanged)
    Q_PROPERTY(bool scanning READ scanning NOTIFY scanningChanged)
    Q_PROPERTY(QString statusText READ statusText NOTIFY statusTextChanged)
    Q_PROPERTY(double progress READ progress NOTIFY progressChanged)
    Q_PROPERTY(QString phaseKey READ phaseKey NOTIFY phaseKeyChanged)
    Q_PROPERTY(bool scannedOnce READ scannedOnce NOTIFY scannedOnceChanged)
    Q_PROPERTY(int selectedCount READ selectedCount NOTIFY selectedChanged)
    Q_PROPERTY(qint64 selectedSize READ selectedSize NOTIFY selectedChanged)
    Q_PROPERTY(bool cleaning READ cleaning NOTIFY cleaningChanged)
    Q_PROPERTY(int largeMinMB READ largeMinMB WRITE setLargeMinMB NOTIFY largeMinMBChanged)
    Q_PROPERTY(bool scanTask READ hasScanTask NOTIFY scanTaskChanged)
    Q_PROPERTY(ProcessModel* procs READ procList CONSTANT)
    Q_PROPERTY(qint64 ownMem READ ownMem NOTIFY ownMemChanged)
    Q_PROPERTY(qint64 reclaimable READ reclaimable NOTIFY reclaimableChanged)
    Q_PROPERTY(qint64 largeTotal READ largeTotal NOTIFY largeTotalChanged)
    // A search of the Large Files page's own (rescanLarge) is under way.
    Q_PROPERTY(bool largeSearching READ largeSearching NOTIFY largeSearchingChanged)
    // The large files were searched at least once (by a scan or a rescan).
    Q_PROPERTY(bool largeSearched READ largeSearched NOTIFY largeItemsChanged)

    // The storage map's state and navigation.
    Q_PROPERTY(MapState* map READ map CONSTANT)
    // The Toolbox's duplicate search.
    Q_PROPERTY(DuplicateSearch* duplicates READ duplicates CONSTANT)
    // The engine calls and worker queues, for the helpers that start engine calls.
    Q_PROPERTY(Services* services READ services CONSTANT)
    // Overview: the leftovers' summed size.
    Q_PROPERTY(qint64 leftoverTotal READ leftoverTotal NOTIFY leftoverItemsChanged)
public:
    explicit AppModel(QObject* parent = nullptr);
    ~AppModel() override;

    // ---- Scans (AppModelScan.cpp, AppModel.cpp)

    // Starts the three scan phases unless a full scan is already running.
    Q_INVOKABLE void fullScan();
    // Stops the running full scan at its next check; nothing when none runs.
    Q_INVOKABLE void cancelScan();
    // Searches large files again with the current largeMinMB; not cancellable.
    Q_INVOKABLE void rescanLarge();
    // Loads top-level usage, then file-type usage, one after the other.
    Q_INVOKABLE void loadCategories();
    // Reads the volume now, on the calling (main) thread.
    Q_INVOKABLE void refreshVolume();
    // Reads the top 12 processes and the app's own memory on a worker, then
    // assigns both and emits procsRead.
    Q_INVOKABLE void refreshProcesses();

    // ---- Selection, protection, clean-up (AppModelClean.cpp)

    Q_INVOKABLE bool isSelected(const QString& path) const;
    // Removes the path from the selection when present, else adds it.
    Q_INVOKABLE void toggleSelected(const QString& path);
    // Adds the path of every row the filter lists (protected ones included);
    // what was selected before stays selected.
    Q_INVOKABLE void selectAllIn(ItemFilter* rows);
    Q_INVOKABLE void clearSelection();
    Q_INVOKABLE bool isProtected(const QString& path) const;
    // Protects an unprotected path (and drops it from the selection) or
    // unprotects a protected one; the set is written to the preferences.
    Q_INVOKABLE void toggleProtect(const QString& path);
    // The names of the selected findings that are protected (Select All
    // ticks them too), as the rows show them, for the confirmation to name.
    Q_INVOKABLE QStringList selectedProtectedNames() const;
    // Moves the selected findings into the Trash (trash()); trashed() reports.
    Q_INVOKABLE void trashSelected();
    // Writes the Markdown report on a worker; reportExported() gives its path
    // ("" when it could not be written) and whether it is on the desktop.
    Q_INVOKABLE void exportReport();
    // Reads the clean-ups afresh into `history`.
    Q_INVOKABLE void loadHistory();

    // The leftovers' summed size, for the Overview's card.
    qint64 leftoverTotal() const;

    // The size text of the app ("1.5 KB").
    Q_INVOKABLE QString sizeText(qint64 bytes) const;

    // Moves items into the Trash as one clean-up, on a worker (an item inside
    // another goes with it; the engine keeps the record of what moved and
    // appends the history entry when anything did), then removes the findings
    // of what moved or was gone from the lists and the selection (what stayed
    // stays listed and selected) and re-reads the volume; trashed(moved,
    // failed, size, notes) follows.
    void trash(std::vector<ScanItem> items);

    // ---- Reading the state from C++

    const VolumeInfo& volume() const { return m_volume; }
    std::span<const ScanItem> cacheItems() const { return m_items.group(ItemKind::Cache); }
    std::span<const ScanItem> leftoverItems() const { return m_items.group(ItemKind::Leftover); }
    std::span<const ScanItem> largeItems() const { return m_items.group(ItemKind::Large); }
    const std::vector<Category>& categories() const { return m_categories; }
    const std::vector<TypeBucket>& typeBuckets() const { return m_typeBuckets; }
    ItemFilter* cleanList() { return &m_cleanList; }
    ItemFilter* cacheList() { return &m_cacheList; }
    ItemFilter* leftoverList() { return &m_leftoverList; }
    ItemFilter* largeList() { return &m_largeList; }
    HistoryModel* historyList() { return &m_history; }
    bool scanning() const { return m_scanning; }
    QString statusText() const { return m_statusText; }
    double progress() const { return m_progress; }
    QString phaseKey() const { return m_phaseKey; }
    bool scannedOnce() const { return m_scannedOnce; }
    const std::set<std::string>& protectedPaths() const { return m_protectedPaths; }
    const std::set<std::string>& selection() const { return m_selection; }
    int largeMinMB() const { return m_largeMinMB; }
    bool largeSearching() const { return m_largeSearches > 0; }
    bool largeSearched() const { return m_largeSearched; }
    void setLargeMinMB(int mb);
    bool hasScanTask() const { return m_scanTask.has_value(); }
    const std::vector<ProcInfo>& procs() const { return m_procList.procs(); }
    ProcessModel* procList() { return &m_procList; }
    MapState* map() { return &m_map; }
    const MapState* map() const { return &m_map; }
    DuplicateSearch* duplicates() { return &m_duplicates; }
    const DuplicateSearch* duplicates() const { return &m_duplicates; }
    Services* services() { return &m_services; }
    qint64 ownMem() const { return m_ownMem; }
    bool cleaning() const { return m_cleaning > 0; }

    // cacheItems followed by leftoverItems.
    std::vector<ScanItem> cleanItems() const;
    // The findings of cleanItems whose path is selected, in list order.
    std::vector<ScanItem> selectedItems() const;
    int selectedCount() const { return m_selectedCount; }
    qint64 selectedSize() const { return m_selectedSize; }
    qint64 reclaimable() const { return m_reclaimable; }
    qint64 largeTotal() const { return m_largeTotal; }

    // Whether the shared system-activity slot is held (full scan, duplicate
    // search or map load running): logind is asked to hold off idle and sleep
    // meanwhile (SystemActivity).
    bool holdsActivity() const { return m_activity.active(); }

    // The engine calls the model makes; a test replaces some of them. Calls
    // already started keep the table they started with.
    const EngineCalls& engine() const { return m_services.engine(); }
    void setEngine(EngineCalls calls) { m_services.setEngine(std::move(calls)); }

    // Blocks until every engine call the model started has finished and its
    // result has been assigned (tests and benchmarks).
    void waitForWorkers() { m_services.waitForAll(); }

signals:
    void volumeChanged();
    void categoriesChanged();
    void typeBucketsChanged();
    void scanningChanged();
    void statusTextChanged();
    void progressChanged();
    void phaseKeyChanged();
    void scannedOnceChanged();
    void selectedChanged();
    void cleaningChanged();
    void largeMinMBChanged();
    void scanTaskChanged();
    // A process reading has been assigned (procs, then ownMem), whether or
    // not it changed anything.
    void procsRead();
    void ownMemChanged();
    void reclaimableChanged();
    void largeTotalChanged();
    void largeSearchingChanged();
    // Lists replaced or shortened (a scan phase, a clean-up).
    void cacheItemsChanged();
    void leftoverItemsChanged();
    void largeItemsChanged();
    // A clean-up ended: how many moved, how many did not, the bytes moved,
    // and a line for each reason some did not (gone, or why they stayed).
    // Items inside another moved item are not counted apart from it.
    void trashed(int moved, int failed, qint64 size, const QStringList& notes);
    // A report was written to path ("" when it could not be): into the
    // desktop folder, or (onDesktop false) the home folder when there is none.
    void reportExported(const QString& path, bool onDesktop);

private:
    using TokenPtr = std::shared_ptr<CancelToken>;

    // The phases of the full scan numbered run; each checks run's own token.
    void scanCaches(quint64 run, TokenPtr token);
    void scanLeftovers(quint64 run, TokenPtr token);
    void scanLarge(quint64 run, TokenPtr token);
    void completeScan();
    // Cancellation clean-up of scan run; it changes the model only while run is
    // still the current scan, so a late-noticing old scan never stops a new one.
    void finishCancel(quint64 run, const TokenPtr& token);

    // Replace one list wholesale (its rows in the findings model).
    void assignCache(std::vector<ScanItem> items);
    void assignLeftovers(std::vector<ScanItem> items);
    void assignLarge(std::vector<ScanItem> items);
    // Removes the findings of these paths from the cache and leftover lists,
    // row range by row range.
    void removeFindings(const std::set<std::string>& paths);
    // Caches and leftovers put back from the History page are findings again
    // (unselected), once a scan has listed findings and none is running.
    void returnFindings(const std::vector<Cleanups::Item>& items);
    void finishTrash(const std::vector<ScanItem>& items, const std::vector<MoveOutcome>& outcomes);
    // One line per outcome other than moved, with its count, in the app's
    // language: what was gone, then why the rest stayed.
    static QStringList trashNotes(const std::map<MoveOutcome, int>& left);

    void beginActivity();
    void endActivity();

    void setScanning(bool v);
    void setStatusText(const QString& v);
    void setProgress(double v);
    void setPhaseKey(const QString& v);
    void setScannedOnce(bool v);
    void setSelection(std::set<std::string> v);
    void setScanTask(std::optional<quint64> v);
    void setVolume(const VolumeInfo& v);
    void setCategories(std::vector<Category> v);
    void setTypeBuckets(std::vector<TypeBucket> v);
    // Recomputes the selected count and size, reclaimable and largeTotal.
    void updateTotals();
    void writeProtected();

    QVariantMap volumeVariant() const { return m_volumeVariant; }
    QVariantList categoriesVariant() const { return m_categoriesVariant; }
    QVariantList typeBucketsVariant() const { return m_typeBucketsVariant; }

    VolumeInfo m_volume;
    QVariantMap m_volumeVariant;
    std::vector<Category> m_categories;
    QVariantList m_categoriesVariant;
    std::vector<TypeBucket> m_typeBuckets;
    QVariantList m_typeBucketsVariant;
    bool m_scanning = false;
    QString m_statusText;
    double m_progress = 0;
    QString m_phaseKey;
    bool m_scannedOnce = false;
    std::set<std::string> m_protectedPaths;
    std::set<std::string> m_selection;
    int m_selectedCount = 0;
    qint64 m_selectedSize = 0;
    qint64 m_reclaimable = 0;
    qint64 m_largeTotal = 0;
    int m_cleaning = 0; // clean-ups under way
    int m_largeMinMB = 200;
    int m_largeSearches = 0; // rescanLarge searches not yet answered
    bool m_largeSearched = false;
    std::optional<quint64> m_scanTask; // number of the running full scan
    TokenPtr m_scanToken;
    ProcessModel m_procList;
    qint64 m_ownMem = 0;
    quint64 m_scanCounter = 0;

    // Every finding, and each page's list of them.
    ScanItemModel m_items;
    ItemFilter m_cleanList;
    ItemFilter m_cacheList;
    ItemFilter m_leftoverList;
    ItemFilter m_largeList;
    HistoryModel m_history;

    // The slot the scan, the map and the duplicate search share.
    SystemActivity m_activity;
    MapState m_map;
    DuplicateSearch m_duplicates;
    // Last: destroyed first, so no worker outlives the state it reports to.
    Services m_services;
};
