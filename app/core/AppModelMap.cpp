// SPDX-License-Identifier: GPL-3.0-or-later
// The storage map's state and navigation: which folder is shown, at what
// depth, and the trail of folders the user came through.
//
// A load measures one folder with the engine's folder-size tree on the map
// queue (never behind a scan phase) and is never cancelled. Every load takes
// the next request number; only the answer of the latest request is shown, so
// a slow measurement that ends after a quicker later one is dropped. The tree
// is kept behind a shared pointer: the painted map item holds the tree it
// draws, and a new tree never copies the old one.
#include "AppModel.h"

#include "ItemListModel.h"
#include "Platform.h"
#include "RecordVariants.h"

#include <QtGlobal>

#include <algorithm>
#include <charconv>
#include <limits>

namespace {

int clampDepth(int depth)
{
    return std::clamp(depth, 1, 8);
}

// A whole decimal number with an optional leading sign, nothing else.
std::optional<int> wholeNumber(const QByteArray& text)
{
    std::string_view s(text.constData(), static_cast<size_t>(text.size()));
    const bool plus = !s.empty() && s.front() == '+';
    if (plus)
        s.remove_prefix(1);
    if (s.empty() || s.front() == '+' || (plus && s.front() == '-'))
        return std::nullopt;
    long long value = 0;
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (error == std::errc::result_out_of_range && end == s.data() + s.size())
        return s.front() == '-' ? 1 : 8; // any huge value clamps the same way
    if (error != std::errc() || end != s.data() + s.size())
        return std::nullopt;
    return static_cast<int>(std::clamp<long long>(value, -1000, 1000));
}

} // namespace

void AppModel::loadMap(const std::string& root, std::optional<int> depth, bool force,
                       bool pushTrail)
{
    const int d = clampDepth(depth.value_or(m_mapDepth));
    setMapDepth(d);
    if (!m_mapLoading) {
        m_mapLoading = true;
        emit mapLoadingChanged();
    }
    const quint64 request = ++m_mapRequest;
    beginActivity();
    m_workers.run(
        Workers::Queue::Map, this,
        [root, d, force, call = m_engine.diskTree] {
            // Not kept anywhere: a map load runs to its end.
            CancelToken token;
            return std::make_shared<const DiskNode>(call(root, d, !force, &token));
        },
        [this, request, root, pushTrail](std::shared_ptr<const DiskNode> tree) {
            if (request != m_mapRequest)
                return;
            // The folder left joins the trail when the new one is shown, so
            // the trail never names the folder still shown as its own last step.
            if (pushTrail && m_mapRoot && m_mapRoot->path != root) {
                m_mapTrail.emplace_back(m_mapRoot->name, m_mapRoot->path);
                publishTrail();
            }
            m_mapRoot = std::move(tree);
            m_mapLoading = false;
            endActivity();
            emit mapRootChanged();
            emit mapLoadingChanged();
        });
}

void AppModel::loadMap(const QString& root, const QVariant& depth, bool force, bool pushTrail)
{
    std::optional<int> d;
    if (depth.isValid() && !depth.isNull())
        d = depth.toInt();
    loadMap(stdPath(root), d, force, pushTrail);
}

void AppModel::drill(const DiskNode& node)
{
    loadMap(node.path, std::nullopt, node.children.empty(), true);
}

void AppModel::mapUp()
{
    if (m_mapTrail.empty())
        return;
    const std::string path = m_mapTrail.back().second;
    m_mapTrail.pop_back();
    publishTrail();
    loadMap(path, std::nullopt, false, false);
}

void AppModel::mapHome()
{
    if (!m_mapTrail.empty()) {
        m_mapTrail.clear();
        publishTrail();
    }
    loadMap(Platform::homeDir(), std::nullopt, false, false);
}

void AppModel::mapTrailBack(int index)
{
    if (index < 0 || static_cast<size_t>(index) >= m_mapTrail.size())
        return;
    const std::string path = m_mapTrail[static_cast<size_t>(index)].second;
    m_mapTrail.resize(static_cast<size_t>(index));
    publishTrail();
    loadMap(path, std::nullopt, false, false);
}

void AppModel::setDepth(int depth)
{
    setMapDepth(depth);
    if (m_mapRoot)
        loadMap(m_mapRoot->path, m_mapDepth, false, false);
}

void AppModel::openMap()
{
    if (m_mapRoot)
        return;
    if (qEnvironmentVariableIsSet("TID_MAPDEPTH")) {
        if (const auto d = wholeNumber(qgetenv("TID_MAPDEPTH")))
            setMapDepth(*d);
    }
    const std::string root = qEnvironmentVariableIsSet("TID_MAPROOT")
                                 ? std::string(qgetenv("TID_MAPROOT").constData())
                                 : Platform::homeDir();
    loadMap(root, m_mapDepth, false, false);
}

void AppModel::refreshMap()
{
    loadMap(m_mapRoot ? m_mapRoot->path : Platform::homeDir(), m_mapDepth, true, false);
}

void AppModel::chooseMapFolder(const QUrl& folder)
{
    if (!folder.isLocalFile())
        return;
    loadMap(stdPath(folder.toLocalFile()), std::max(m_mapDepth, 2), true, true);
}

QUrl AppModel::mapHomeUrl() const
{
    return QUrl::fromLocalFile(qPath(Platform::homeDir()));
}

void AppModel::setMapDepth(int depth)
{
    const int d = clampDepth(depth);
    if (d == m_mapDepth)
        return;
    m_mapDepth = d;
    emit mapDepthChanged();
}

QString AppModel::mapName() const
{
    return m_mapRoot ? displayLine(m_mapRoot->name) : QString();
}

QString AppModel::mapPath() const
{
    return m_mapRoot ? qPath(m_mapRoot->path) : QString();
}

// The trail crosses into QML converted once, each time it changes.
void AppModel::publishTrail()
{
    QVariantList out;
    for (const auto& [name, path] : m_mapTrail)
        out.push_back(QVariantMap{{"name", displayLine(name)}, {"path", qPath(path)}});
    m_mapTrailVariant = std::move(out);
    emit mapTrailChanged();
}

qint64 AppModel::orphanTotal() const
{
    qint64 sum = 0;
    for (const ScanItem& item : m_orphanItems)
        sum = item.size > 0 && sum > std::numeric_limits<qint64>::max() - item.size
                  ? std::numeric_limits<qint64>::max()
                  : sum + std::max<qint64>(item.size, 0);
    return sum;
}
