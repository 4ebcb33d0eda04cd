// SPDX-License-Identifier: GPL-3.0-or-later
// The full scan (caches, then leftovers, then large files), its cancellation
// and the large-file rescans.
#include "AppModel.h"

#include "Text.h"

namespace {

QString catalogue(const char* key)
{
    return QString::fromStdString(t(key));
}

} // namespace

void AppModel::fullScan()
{
    if (m_scanning)
        return;
    setScanning(true);
    setSelection({});
    setProgress(0.02);
    setPhaseKey("phase.cache");
    auto token = std::make_shared<CancelToken>();
    m_scanToken = token;
    beginActivity();
    const quint64 run = ++m_scanCounter;
    setScanTask(run);
    setStatusText(catalogue("common.loading"));
    scanCaches(run, token);
}

void AppModel::scanCaches(quint64 run, TokenPtr token)
{
    m_services.run(
        Workers::Queue::User, this,
        [token, call = m_services.engine().cacheItems] { return call(token.get()); },
        [this, run, token](std::vector<ScanItem> items) {
            if (token->isCancelled())
                return finishCancel(run, token);
            assignCache(std::move(items));
            setProgress(0.35);
            setPhaseKey("phase.orphan");
            scanLeftovers(run, token);
        });
}

void AppModel::scanLeftovers(quint64 run, TokenPtr token)
{
    m_services.run(
        Workers::Queue::User, this,
        [token, call = m_services.engine().leftoverItems] { return call(token.get()); },
        [this, run, token](std::vector<ScanItem> items) {
            if (token->isCancelled())
                return finishCancel(run, token);
            assignLeftovers(std::move(items));
            setProgress(0.6);
            setPhaseKey("phase.large");
            setStatusText(catalogue("files.scanning"));
            scanLarge(run, token);
        });
}

void AppModel::scanLarge(quint64 run, TokenPtr token)
{
    const int64_t minMB = m_largeMinMB; // the value when the phase starts
    m_services.run(
        Workers::Queue::User, this,
        [token, minMB, call = m_services.engine().largeFiles] { return call(minMB, token.get()); },
        [this, run, token](std::vector<ScanItem> items) {
            if (token->isCancelled())
                return finishCancel(run, token);
            assignLarge(std::move(items));
            setProgress(0.9);
            completeScan();
        });
}

void AppModel::completeScan()
{
    std::set<std::string> chosen;
    for (const ScanItem& item : cacheItems())
        if (item.risk == Risk::Safe && !m_protectedPaths.count(item.path))
            chosen.insert(item.path);
    setSelection(std::move(chosen));
    refreshVolume();
    loadCategories();
    setProgress(1.0);
    setPhaseKey("phase.done");
    setScanning(false);
    setScannedOnce(true);
    setStatusText({});
    setScanTask(std::nullopt);
    endActivity();
}

void AppModel::finishCancel(quint64 run, const TokenPtr& token)
{
    token->cancel();
    if (m_scanTask != run)
        return; // an older scan noticing late: the model has moved on
    endActivity();
    setScanning(false);
    setStatusText({});
    setPhaseKey("phase.cancelled");
    setScanTask(std::nullopt);
}

void AppModel::cancelScan()
{
    if (m_scanToken)
        m_scanToken->cancel();
    if (m_scanTask)
        finishCancel(*m_scanTask, m_scanToken);
}

void AppModel::rescanLarge()
{
    auto token = std::make_shared<CancelToken>(); // kept by nobody: nothing cancels it
    setStatusText(catalogue("files.scanning"));
    if (m_largeSearches++ == 0)
        emit largeSearchingChanged();
    const int64_t minMB = m_largeMinMB;
    m_services.run(
        Workers::Queue::User, this,
        [token, minMB, call = m_services.engine().largeFiles] { return call(minMB, token.get()); },
        [this](std::vector<ScanItem> items) {
            assignLarge(std::move(items));
            setStatusText({});
            if (--m_largeSearches == 0)
                emit largeSearchingChanged();
        });
}

// ---- Whole-list assignments

void AppModel::assignCache(std::vector<ScanItem> items)
{
    m_items.replaceGroup(ItemKind::Cache, std::move(items));
    updateTotals();
    emit cacheItemsChanged();
}

void AppModel::assignLeftovers(std::vector<ScanItem> items)
{
    m_items.replaceGroup(ItemKind::Leftover, std::move(items));
    updateTotals();
    emit leftoverItemsChanged();
}

void AppModel::assignLarge(std::vector<ScanItem> items)
{
    m_largeSearched = true;
    m_items.replaceGroup(ItemKind::Large, std::move(items));
    updateTotals();
    emit largeItemsChanged();
}
