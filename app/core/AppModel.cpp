#include "AppModel.h"

#include "Preferences.h"
#include "RecordVariants.h"
#include "Scanner.h"
#include "Text.h"

#include <QCoreApplication>
#include <QtConcurrent/QtConcurrentRun>
#include <type_traits>

namespace {

QString catalogue(const char* key)
{
    return QString::fromStdString(t(key));
}

QStringList toList(const std::set<std::string>& set)
{
    QStringList out;
    out.reserve(qsizetype(set.size()));
    for (const auto& s : set)
        out.push_back(qs(s));
    return out;
}

} // namespace

AppModel::AppModel(QObject* parent) : QObject(parent)
{
    if (auto stored = Preferences::stringArray("protectedPaths"))
        m_protectedPaths = std::set<std::string>(stored->begin(), stored->end());
    // The scan phases run strictly one after another, so one thread serves them
    // (and the large-file rescans next to them); usage, processes and the
    // duplicate search share a lower-priority pool.
    m_userPool.setMaxThreadCount(2);
    m_utilityPool.setMaxThreadCount(2);
    m_utilityPool.setThreadPriority(QThread::LowPriority);
}

AppModel::~AppModel()
{
    // Tools started with a token stop early; the pools then wait for the rest.
    if (m_scanToken)
        m_scanToken->cancel();
    if (m_dupToken)
        m_dupToken->cancel();
}

template <class Work, class Done>
void AppModel::inBackground(QThreadPool& pool, Work work, Done done)
{
    using Result = std::invoke_result_t<Work>;
    ++m_pending;
    QtConcurrent::run(&pool, std::move(work))
        .then(this, [this, done = std::move(done)](Result result) mutable {
            --m_pending;
            done(std::move(result));
        });
}

// ---- Full scan

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
    inBackground(
        m_userPool, [token] { return Scanner::cacheItems(token.get()); },
        [this, run, token](std::vector<ScanItem> items) {
            if (token->isCancelled())
                return finishCancel(run, token);
            m_cacheItems = std::move(items);
            emit cacheItemsChanged();
            emit cleanItemsChanged();
            setProgress(0.35);
            setPhaseKey("phase.orphan");
            scanOrphans(run, token);
        });
}

void AppModel::scanOrphans(quint64 run, TokenPtr token)
{
    inBackground(
        m_userPool, [token] { return Scanner::orphanItems(token.get()); },
        [this, run, token](std::vector<ScanItem> items) {
            if (token->isCancelled())
                return finishCancel(run, token);
            m_orphanItems = std::move(items);
            emit orphanItemsChanged();
            emit cleanItemsChanged();
            setProgress(0.6);
            setPhaseKey("phase.large");
            setStatusText(catalogue("files.scanning"));
            scanLarge(run, token);
        });
}

void AppModel::scanLarge(quint64 run, TokenPtr token)
{
    const int64_t minMB = m_largeMinMB; // the value when the phase starts
    inBackground(
        m_userPool, [token, minMB] { return Scanner::largeFiles(minMB, token.get()); },
        [this, run, token](std::vector<ScanItem> items) {
            if (token->isCancelled())
                return finishCancel(run, token);
            m_largeItems = std::move(items);
            emit largeItemsChanged();
            setProgress(0.9);
            completeScan();
        });
}

void AppModel::completeScan()
{
    std::set<std::string> chosen;
    for (const ScanItem& item : m_cacheItems)
        if (item.risk == Risk::Safe && !m_protectedPaths.count(item.path))
            chosen.insert(item.path);
    setSelection(std::move(chosen));
    setVolume(Scanner::volume());
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

// ---- Other loads

void AppModel::rescanLarge()
{
    auto token = std::make_shared<CancelToken>(); // kept by nobody: nothing cancels it
    setStatusText(catalogue("files.scanning"));
    const int64_t minMB = m_largeMinMB;
    inBackground(
        m_userPool, [token, minMB] { return Scanner::largeFiles(minMB, token.get()); },
        [this](std::vector<ScanItem> items) {
            m_largeItems = std::move(items);
            emit largeItemsChanged();
            setStatusText({});
        });
}

void AppModel::loadCategories()
{
    inBackground(
        m_utilityPool, [] { return Scanner::topLevelUsage(); },
        [this](std::vector<Category> categories) {
            m_categories = std::move(categories);
            emit categoriesChanged();
            inBackground(
                m_utilityPool, [] { return Scanner::fileTypeUsage(); },
                [this](std::vector<TypeBucket> buckets) {
                    m_typeBuckets = std::move(buckets);
                    emit typeBucketsChanged();
                });
        });
}

void AppModel::refreshVolume()
{
    setVolume(Scanner::volume());
}

void AppModel::refreshProcesses()
{
    inBackground(
        m_utilityPool, [] { return Scanner::processes(12); },
        [this](std::vector<ProcInfo> procs) {
            inBackground(
                m_utilityPool, [] { return Scanner::ownMemory(); },
                [this, procs = std::move(procs)](int64_t own) mutable {
                    m_procs = std::move(procs);
                    emit procsChanged();
                    if (m_ownMem != own) {
                        m_ownMem = own;
                        emit ownMemChanged();
                    }
                });
        });
}

void AppModel::waitForWorkers()
{
    while (m_pending > 0) {
        m_userPool.waitForDone();
        m_utilityPool.waitForDone();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
}

// ---- The shared activity slot

void AppModel::beginActivity()
{
    if (!m_activity)
        m_activity = Activity{"Tidlo Cleaner scanning"};
}

void AppModel::endActivity()
{
    m_activity.reset();
}

// ---- Setters and derived values

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

void AppModel::setSelection(std::set<std::string> v)
{
    if (m_selection == v)
        return;
    m_selection = std::move(v);
    emit selectionChanged();
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
    emit volumeChanged();
}

std::vector<ScanItem> AppModel::cleanItems() const
{
    std::vector<ScanItem> out = m_cacheItems;
    out.insert(out.end(), m_orphanItems.begin(), m_orphanItems.end());
    return out;
}

qint64 AppModel::reclaimable() const
{
    qint64 sum = 0;
    for (const auto& i : m_cacheItems)
        sum += i.size;
    for (const auto& i : m_orphanItems)
        sum += i.size;
    return sum;
}

qint64 AppModel::largeTotal() const
{
    qint64 sum = 0;
    for (const auto& i : m_largeItems)
        sum += i.size;
    return sum;
}

QVariantMap AppModel::volumeVariant() const
{
    return toVariant(m_volume);
}
QVariantList AppModel::cacheItemsVariant() const
{
    return toVariantList(m_cacheItems);
}
QVariantList AppModel::orphanItemsVariant() const
{
    return toVariantList(m_orphanItems);
}
QVariantList AppModel::largeItemsVariant() const
{
    return toVariantList(m_largeItems);
}
QVariantList AppModel::cleanItemsVariant() const
{
    return toVariantList(cleanItems());
}
QVariantList AppModel::categoriesVariant() const
{
    return toVariantList(m_categories);
}
QVariantList AppModel::typeBucketsVariant() const
{
    return toVariantList(m_typeBuckets);
}
QStringList AppModel::protectedPathsList() const
{
    return toList(m_protectedPaths);
}
QStringList AppModel::selectionList() const
{
    return toList(m_selection);
}
QVariant AppModel::mapRootVariant() const
{
    return m_mapRoot ? QVariant(toVariant(*m_mapRoot)) : QVariant();
}
QVariantList AppModel::mapTrailVariant() const
{
    QVariantList out;
    for (const auto& [name, path] : m_mapTrail)
        out.push_back(QVariantMap{{"name", qs(name)}, {"path", qs(path)}});
    return out;
}
QVariantList AppModel::dupContentVariant() const
{
    return toVariantList(m_dupContent);
}
QVariantList AppModel::dupNamesVariant() const
{
    return toVariantList(m_dupNames);
}
QVariantList AppModel::procsVariant() const
{
    return toVariantList(m_procs);
}
