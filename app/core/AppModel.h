// The application's one state object. The main window creates it and hands it
// to every page; pages read its properties and call its operations.
//
// All state lives on the main thread. An operation returns at once: it starts
// engine calls on worker threads (a user-initiated pool for the scan phases and
// large-file rescans, a lower-priority utility pool for usage figures and
// processes) and assigns their results back on the main thread, in a fixed
// order, emitting one change signal per property. A full scan runs its three
// phases one after another with one CancelToken; the phases themselves run to
// completion and a cancelled phase's result is dropped.
#pragma once

#include "Records.h"
#include "Runner.h"

#include <QObject>
#include <QStringList>
#include <QThreadPool>
#include <QVariant>
#include <QtQml/qqmlregistration.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

class AppModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(QVariantMap volume READ volumeVariant NOTIFY volumeChanged)
    Q_PROPERTY(QVariantList cacheItems READ cacheItemsVariant NOTIFY cacheItemsChanged)
    Q_PROPERTY(QVariantList orphanItems READ orphanItemsVariant NOTIFY orphanItemsChanged)
    Q_PROPERTY(QVariantList largeItems READ largeItemsVariant NOTIFY largeItemsChanged)
    Q_PROPERTY(QVariantList categories READ categoriesVariant NOTIFY categoriesChanged)
    Q_PROPERTY(QVariantList typeBuckets READ typeBucketsVariant NOTIFY typeBucketsChanged)
    Q_PROPERTY(bool scanning READ scanning NOTIFY scanningChanged)
    Q_PROPERTY(QString statusText READ statusText NOTIFY statusTextChanged)
    Q_PROPERTY(double progress READ progress NOTIFY progressChanged)
    Q_PROPERTY(QString phaseKey READ phaseKey NOTIFY phaseKeyChanged)
    Q_PROPERTY(bool scannedOnce READ scannedOnce NOTIFY scannedOnceChanged)
    Q_PROPERTY(QStringList protectedPaths READ protectedPathsList NOTIFY protectedPathsChanged)
    Q_PROPERTY(QStringList selection READ selectionList NOTIFY selectionChanged)
    Q_PROPERTY(int largeMinMB READ largeMinMB WRITE setLargeMinMB NOTIFY largeMinMBChanged)
    Q_PROPERTY(QVariant mapRoot READ mapRootVariant NOTIFY mapRootChanged)
    Q_PROPERTY(QVariantList mapTrail READ mapTrailVariant NOTIFY mapTrailChanged)
    Q_PROPERTY(int mapDepth READ mapDepth NOTIFY mapDepthChanged)
    Q_PROPERTY(bool mapLoading READ mapLoading NOTIFY mapLoadingChanged)
    Q_PROPERTY(bool scanTask READ hasScanTask NOTIFY scanTaskChanged)
    Q_PROPERTY(QVariantList dupContent READ dupContentVariant NOTIFY dupContentChanged)
    Q_PROPERTY(QVariantList dupNames READ dupNamesVariant NOTIFY dupNamesChanged)
    Q_PROPERTY(bool dupLoading READ dupLoading NOTIFY dupLoadingChanged)
    Q_PROPERTY(bool dupScanned READ dupScanned NOTIFY dupScannedChanged)
    Q_PROPERTY(QVariantList procs READ procsVariant NOTIFY procsChanged)
    Q_PROPERTY(qint64 ownMem READ ownMem NOTIFY ownMemChanged)
    // Derived on every read.
    Q_PROPERTY(QVariantList cleanItems READ cleanItemsVariant NOTIFY cleanItemsChanged)
    Q_PROPERTY(qint64 reclaimable READ reclaimable NOTIFY cleanItemsChanged)
    Q_PROPERTY(qint64 largeTotal READ largeTotal NOTIFY largeItemsChanged)

public:
    explicit AppModel(QObject* parent = nullptr);
    ~AppModel() override;

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
    // Loads the top 12 processes and the app's own memory, then assigns both.
    Q_INVOKABLE void refreshProcesses();

    const VolumeInfo& volume() const { return m_volume; }
    const std::vector<ScanItem>& cacheItems() const { return m_cacheItems; }
    const std::vector<ScanItem>& orphanItems() const { return m_orphanItems; }
    const std::vector<ScanItem>& largeItems() const { return m_largeItems; }
    const std::vector<Category>& categories() const { return m_categories; }
    const std::vector<TypeBucket>& typeBuckets() const { return m_typeBuckets; }
    bool scanning() const { return m_scanning; }
    QString statusText() const { return m_statusText; }
    double progress() const { return m_progress; }
    QString phaseKey() const { return m_phaseKey; }
    bool scannedOnce() const { return m_scannedOnce; }
    const std::set<std::string>& protectedPaths() const { return m_protectedPaths; }
    const std::set<std::string>& selection() const { return m_selection; }
    int largeMinMB() const { return m_largeMinMB; }
    void setLargeMinMB(int mb);
    const std::optional<DiskNode>& mapRoot() const { return m_mapRoot; }
    int mapDepth() const { return m_mapDepth; }
    bool mapLoading() const { return m_mapLoading; }
    bool hasScanTask() const { return m_scanTask.has_value(); }
    bool dupLoading() const { return m_dupLoading; }
    bool dupScanned() const { return m_dupScanned; }
    const std::vector<ProcInfo>& procs() const { return m_procs; }
    qint64 ownMem() const { return m_ownMem; }

    // cacheItems followed by orphanItems.
    std::vector<ScanItem> cleanItems() const;
    qint64 reclaimable() const;
    qint64 largeTotal() const;

    // Whether the shared system-activity slot is held (full scan, duplicate
    // search or map load running). Linux has no such facility; the slot keeps
    // its begin and end points all the same.
    bool holdsActivity() const { return m_activity.has_value(); }

    // Blocks until every engine call the model started (and every call those
    // started in turn) has finished and its result has been assigned. For the
    // tests and benchmarks, which must not change HOME under a running scan.
    void waitForWorkers();

signals:
    void volumeChanged();
    void cacheItemsChanged();
    void orphanItemsChanged();
    void largeItemsChanged();
    void cleanItemsChanged();
    void categoriesChanged();
    void typeBucketsChanged();
    void scanningChanged();
    void statusTextChanged();
    void progressChanged();
    void phaseKeyChanged();
    void scannedOnceChanged();
    void protectedPathsChanged();
    void selectionChanged();
    void largeMinMBChanged();
    void mapRootChanged();
    void mapTrailChanged();
    void mapDepthChanged();
    void mapLoadingChanged();
    void scanTaskChanged();
    void dupContentChanged();
    void dupNamesChanged();
    void dupLoadingChanged();
    void dupScannedChanged();
    void procsChanged();
    void ownMemChanged();

private:
    using TokenPtr = std::shared_ptr<CancelToken>;

    // Runs work on pool and hands its result to done on the main thread; done
    // is dropped when the model is gone by then.
    template <class Work, class Done> void inBackground(QThreadPool& pool, Work work, Done done);

    // The phases of the full scan numbered run; each checks run's own token.
    void scanCaches(quint64 run, TokenPtr token);
    void scanOrphans(quint64 run, TokenPtr token);
    void scanLarge(quint64 run, TokenPtr token);
    void completeScan();
    // Cancellation clean-up of scan run; it changes the model only while run is
    // still the current scan, so a late-noticing old scan never stops a new one.
    void finishCancel(quint64 run, const TokenPtr& token);

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

    QVariantMap volumeVariant() const;
    QVariantList cacheItemsVariant() const;
    QVariantList orphanItemsVariant() const;
    QVariantList largeItemsVariant() const;
    QVariantList cleanItemsVariant() const;
    QVariantList categoriesVariant() const;
    QVariantList typeBucketsVariant() const;
    QStringList protectedPathsList() const;
    QStringList selectionList() const;
    QVariant mapRootVariant() const;
    QVariantList mapTrailVariant() const;
    QVariantList dupContentVariant() const;
    QVariantList dupNamesVariant() const;
    QVariantList procsVariant() const;

    VolumeInfo m_volume;
    std::vector<ScanItem> m_cacheItems;
    std::vector<ScanItem> m_orphanItems;
    std::vector<ScanItem> m_largeItems;
    std::vector<Category> m_categories;
    std::vector<TypeBucket> m_typeBuckets;
    bool m_scanning = false;
    QString m_statusText;
    double m_progress = 0;
    QString m_phaseKey;
    bool m_scannedOnce = false;
    std::set<std::string> m_protectedPaths;
    std::set<std::string> m_selection;
    int m_largeMinMB = 200;
    std::optional<DiskNode> m_mapRoot;
    std::vector<std::pair<std::string, std::string>> m_mapTrail; // (name, path)
    int m_mapDepth = 3;
    bool m_mapLoading = false;
    int m_mapRequest = 0;
    std::optional<quint64> m_scanTask; // number of the running full scan
    TokenPtr m_scanToken;
    std::vector<DupGroup> m_dupContent;
    std::vector<DupGroup> m_dupNames;
    bool m_dupLoading = false;
    bool m_dupScanned = false;
    TokenPtr m_dupToken;
    std::vector<ProcInfo> m_procs;
    qint64 m_ownMem = 0;
    struct Activity
    {
        const char* reason;
    };
    std::optional<Activity> m_activity;

    quint64 m_scanCounter = 0;
    int m_pending = 0; // engine calls whose results are not yet assigned
    QThreadPool m_userPool;
    QThreadPool m_utilityPool;
};
