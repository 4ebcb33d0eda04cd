// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppModel.h"

#include "Preferences.h"
#include "RecordVariants.h"
#include "Strings.h"
#include "Text.h"

#include <algorithm>

AppModel::AppModel(QObject* parent)
    : QObject(parent),
      m_items([this](const std::string& p) { return m_selection.count(p) > 0; },
              [this](const std::string& p) { return m_protectedPaths.count(p) > 0; }),
      m_cleanList(&m_items, {ItemKind::Cache, ItemKind::Leftover}),
      m_cacheList(&m_items, {ItemKind::Cache}), m_leftoverList(&m_items, {ItemKind::Leftover}),
      m_largeList(&m_items, {ItemKind::Large}), m_history(m_services, nullptr),
      m_map(m_services, m_activity), m_duplicates(m_services, m_activity)
{
    connect(&m_services, &Services::diskChanged, this, &AppModel::refreshVolume);
    connect(&m_history, &HistoryModel::itemsPutBack, this, &AppModel::returnFindings);
    if (auto stored = Preferences::stringArray("protectedPaths"))
        m_protectedPaths = std::set<std::string>(stored->begin(), stored->end());
    m_volumeVariant = toVariant(m_volume);
}

AppModel::~AppModel()
{
    // Tools started with a token stop early; the queues then wait for the rest.
    if (m_scanToken)
        m_scanToken->cancel();
    m_duplicates.stopFinders();
}

// ---- Usage, volume and processes

void AppModel::loadCategories()
{
    const EngineCalls calls = m_services.engine();
    m_services.run(
        Workers::Queue::Utility, this, [calls] { return calls.topLevelUsage(); },
        [this, calls](std::vector<Category> categories) {
            setCategories(std::move(categories));
            m_services.run(
                Workers::Queue::Utility, this, [calls] { return calls.fileTypeUsage(); },
                [this](std::vector<TypeBucket> buckets) { setTypeBuckets(std::move(buckets)); });
        });
}

void AppModel::refreshVolume()
{
    setVolume(m_services.engine().volume());
}

void AppModel::refreshProcesses()
{
    // Both readings run on one worker, one after the other; the main thread
    // only assigns them.
    auto processes = m_services.engine().processes;
    auto ownMemory = m_services.engine().ownMemory;
    m_services.run(
        Workers::Queue::Utility, this,
        [processes, ownMemory] { return std::make_pair(processes(12), ownMemory()); },
        [this](std::pair<std::vector<ProcInfo>, int64_t> read) {
            m_procList.setProcs(std::move(read.first));
            if (m_ownMem != read.second) {
                m_ownMem = read.second;
                emit ownMemChanged();
            }
            emit procsRead();
        });
}

// ---- The shared activity slot

void AppModel::beginActivity()
{
    m_activity.begin();
}

void AppModel::endActivity()
{
    m_activity.end();
}

// ---- Setters

void AppModel::setLargeMinMB(int mb)
{
    if (m_largeMinMB == mb)
        return;
    m_largeMinMB = mb;
    emit largeMinMBChanged();
}

void AppModel::setScanning(bool v)
{
    if (m_scanning == v)
        return;
    m_scanning = v;
    emit scanningChanged();
}

void AppModel::setStatusText(const QString& v)
{
    if (m_statusText == v)
        return;
    m_statusText = v;
    emit statusTextChanged();
}

void AppModel::setProgress(double v)
{
    if (m_progress == v)
        return;
    m_progress = v;
    emit progressChanged();
}

void AppModel::setPhaseKey(const QString& v)
{
    if (m_phaseKey == v)
        return;
    m_phaseKey = v;
    emit phaseKeyChanged();
}

void AppModel::setScannedOnce(bool v)
{
    if (m_scannedOnce == v)
        return;
    m_scannedOnce = v;
    emit scannedOnceChanged();
}

void AppModel::setScanTask(std::optional<quint64> v)
{
    if (m_scanTask == v)
        return;
    m_scanTask = v;
    emit scanTaskChanged();
}

void AppModel::setVolume(const VolumeInfo& v)
{
    if (m_volume.total == v.total && m_volume.free == v.free)
        return;
    m_volume = v;
    m_volumeVariant = toVariant(m_volume);
    emit volumeChanged();
}

void AppModel::setCategories(std::vector<Category> v)
{
    m_categories = std::move(v);
    m_categoriesVariant = toVariantList(m_categories);
    emit categoriesChanged();
}

void AppModel::setTypeBuckets(std::vector<TypeBucket> v)
{
    m_typeBuckets = std::move(v);
    m_typeBucketsVariant = toVariantList(m_typeBuckets);
    emit typeBucketsChanged();
}

qint64 AppModel::leftoverTotal() const
{
    qint64 sum = 0;
    for (const ScanItem& item : leftoverItems())
        sum = Strings::addSaturated(sum, std::max<int64_t>(item.size, 0));
    return sum;
}

QString AppModel::sizeText(qint64 bytes) const
{
    return qs(humanSize(bytes));
}
