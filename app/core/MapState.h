// SPDX-License-Identifier: GPL-3.0-or-later
// The storage map's state and navigation: which folder is shown, at what
// depth, and the trail of folders the user came through. The model owns it
// (QML: app.map). The tree itself stays in C++: the painted map item reads
// root(); QML reads the scalars. The tree last measured is held for the
// state's whole life, and any folder of it with sub-folders is shown again
// without measuring (a drill, up, the trail, home), at the depth it was
// measured at.
#pragma once

#include "Records.h"
#include "Services.h"

#include <QObject>
#include <QString>
#include <QUrl>
#include <QVariant>
#include <QtQml/qqmlregistration.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class SystemActivity;

class MapState : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("AppModel owns the map's state")

    Q_PROPERTY(QVariantList trail READ trailVariant NOTIFY trailChanged)
    Q_PROPERTY(int depth READ depth WRITE setDepth NOTIFY depthChanged)
    Q_PROPERTY(int minDepth READ minDepth CONSTANT)
    Q_PROPERTY(int maxDepth READ maxDepth CONSTANT)
    Q_PROPERTY(bool loading READ loading NOTIFY loadingChanged)
    Q_PROPERTY(bool hasRoot READ hasRoot NOTIFY rootChanged)
    Q_PROPERTY(QString name READ name NOTIFY rootChanged)
    Q_PROPERTY(QString path READ path NOTIFY rootChanged)
    Q_PROPERTY(qint64 size READ size NOTIFY rootChanged)
    Q_PROPERTY(int childCount READ childCount NOTIFY rootChanged)
    Q_PROPERTY(QUrl homeUrl READ homeUrl CONSTANT)

public:
    // The depths a map is measured at.
    static constexpr int kMinDepth = 1;
    static constexpr int kMaxDepth = 8;

    // Loads run through services; each load holds the shared activity slot.
    MapState(Services& services, SystemActivity& activity, QObject* parent = nullptr);

    // Measures root at depth (none: keep depth; clamped to minDepth..maxDepth
    // and stored in depth) on the map queue, ignoring the tree cache when
    // force, and shows it when no later load was asked for meanwhile. With
    // pushTrail the folder shown now joins the trail (unless it is root itself).
    // Unless force, a root that is the held tree's top or a folder below it
    // with sub-folders in it, asked for at the depth the tree was measured at,
    // is shown from the held tree instead, in the same order (later, from the
    // event loop, unless a later load was asked for meanwhile).
    void load(const std::string& root, std::optional<int> depth, bool force, bool pushTrail);
    // QML's form: depth undefined or null keeps depth.
    Q_INVOKABLE void load(const QString& root, const QVariant& depth, bool force, bool pushTrail);
    // Shows a folder of the tree shown: from the held tree when the node is
    // one of its folders with sub-folders and the depth is still the one it
    // was measured at; a folder measured without children (depth limit, empty
    // folder) is measured afresh.
    void drill(const DiskNode& node);
    // Back to the last trail entry; nothing with an empty trail.
    Q_INVOKABLE void up();
    // Empties the trail and shows the home folder.
    Q_INVOKABLE void home();
    // Back to trail entry i: the trail keeps the entries before it.
    Q_INVOKABLE void trailBack(int index);
    // Stores the depth (clamped) and shows the shown folder again at it
    // (measured unless the held tree was measured at that depth).
    Q_INVOKABLE void reloadAtDepth(int depth);
    // The page's first appearance: when no map was ever loaded, takes the
    // depth from TID_MAPDEPTH (a whole decimal number, else ignored) and the
    // root from TID_MAPROOT (else the home folder) and loads it.
    Q_INVOKABLE void open();
    // Measures the folder shown (the home folder before any) afresh.
    Q_INVOKABLE void refresh();
    // A folder the user chose: measured afresh at depth 2 or more, pushing the
    // folder shown now onto the trail.
    Q_INVOKABLE void chooseFolder(const QUrl& folder);
    // Where the folder chooser starts.
    QUrl homeUrl() const;

    // The folder shown (absent before the first load). Shared with the map
    // item, which keeps the tree alive while it draws it.
    std::shared_ptr<const DiskNode> root() const { return m_root; }
    const std::vector<std::pair<std::string, std::string>>& trail() const { return m_trail; }
    int depth() const { return m_depth; }
    // Sets depth, clamped to minDepth..maxDepth, without loading.
    void setDepth(int depth);
    static int minDepth() { return kMinDepth; }
    static int maxDepth() { return kMaxDepth; }
    bool loading() const { return m_loading; }
    bool hasRoot() const { return m_root != nullptr; }
    QString name() const;
    QString path() const;
    qint64 size() const { return m_root ? m_root->size() : 0; }
    // The folders and files right in the folder shown.
    int childCount() const
    {
        if (!m_root)
            return 0;
        const int64_t n = static_cast<int64_t>(m_root->children().size()) + m_root->fileCount();
        return static_cast<int>(std::clamp<int64_t>(n, 0, INT32_MAX));
    }

signals:
    void rootChanged();
    void trailChanged();
    void depthChanged();
    void loadingChanged();

private:
    QVariantList trailVariant() const { return m_trailVariant; }
    void publishTrail();
    // Takes the next request number; loading, and the shared activity slot
    // held until the answer is shown.
    quint64 beginRequest();
    // Shows folder as the answer to request unless a later one was asked for;
    // root is the path asked for.
    void finishRequest(quint64 request, const std::string& root,
                       std::shared_ptr<const DiskNode> folder, bool pushTrail);
    // Shows folder of the held tree through the same order as a load.
    void reuse(const DiskNode& folder, bool pushTrail);

    Services& m_services;
    SystemActivity& m_activity;
    std::shared_ptr<const DiskNode> m_root;
    // The top of the tree last measured and shown, and the depth it was
    // measured at (an invalid node before the first).
    DiskNode m_held;
    int m_heldDepth = 0;
    std::vector<std::pair<std::string, std::string>> m_trail; // (name, path)
    QVariantList m_trailVariant;
    int m_depth = 3;
    bool m_loading = false;
    quint64 m_request = 0; // number of the latest load
};
