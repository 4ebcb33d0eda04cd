// SPDX-License-Identifier: GPL-3.0-or-later
// The storage map's state and navigation.
//
// A load measures one folder with the engine's folder-size tree on the map
// queue (never behind a scan phase) and is never cancelled. Every load takes
// the next request number; only the answer of the latest request is shown, so
// a slow measurement that ends after a quicker later one is dropped. The tree
// is kept behind a shared pointer: the painted map item holds the tree it
// draws, and a new tree never copies the old one.
//
// The tree last measured and shown is held. A folder asked for that lies in
// it (found by following the path's names down from its top, never by
// searching it) with sub-folders in it is shown as a handle on that tree,
// taking a request number like a load and answered from the event loop, so
// the order of answers and the loading flag behave as for a measurement.
#include "MapState.h"

#include "Platform.h"
#include "RecordVariants.h"
#include "SystemActivity.h"

#include <QtGlobal>

#include <algorithm>
#include <charconv>
#include <string_view>

namespace {

int clampDepth(int depth)
{
    return std::clamp(depth, MapState::kMinDepth, MapState::kMaxDepth);
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
        return s.front() == '-' ? MapState::kMinDepth
                                : MapState::kMaxDepth; // any huge value clamps the same way
    if (error != std::errc() || end != s.data() + s.size())
        return std::nullopt;
    return static_cast<int>(std::clamp<long long>(value, -1000, 1000));
}

// The names of a path's components; empty ones (doubled or trailing "/") are
// skipped.
std::vector<std::string_view> components(std::string_view path)
{
    std::vector<std::string_view> out;
    size_t at = 0;
    while (at < path.size()) {
        const size_t end = std::min(path.find('/', at), path.size());
        if (end > at)
            out.push_back(path.substr(at, end - at));
        at = end + 1;
    }
    return out;
}

// The folder at path in the tree whose top is top, found by following the
// path's names below the top's path one level at a time: none when path is
// neither the top nor below it (compared name by name, so "/r/ab" is not
// below "/r/a") or a name is not in the tree.
std::optional<DiskNode> folderAt(const DiskNode& top, std::string_view path)
{
    const std::string topPath = top.path();
    if (!top.isValid() || topPath.empty() || path.empty() ||
        (topPath.front() == '/') != (path.front() == '/'))
        return std::nullopt;
    const std::vector<std::string_view> above = components(topPath);
    const std::vector<std::string_view> wanted = components(path);
    if (wanted.size() < above.size() || !std::equal(above.begin(), above.end(), wanted.begin()))
        return std::nullopt;
    DiskNode at = top;
    for (size_t level = above.size(); level < wanted.size(); ++level) {
        std::optional<DiskNode> next;
        for (const DiskNode child : at.children()) {
            if (child.name() == wanted[level]) {
                next = child;
                break;
            }
        }
        if (!next)
            return std::nullopt;
        at = *next;
    }
    return at;
}

} // namespace

MapState::MapState(Services& services, SystemActivity& activity, QObject* parent)
    : QObject(parent), m_services(services), m_activity(activity)
{
}

void MapState::load(const std::string& root, std::optional<int> depth, bool force, bool pushTrail)
{
    const int d = clampDepth(depth.value_or(m_depth));
    setDepth(d);
    if (!force && m_held.isValid() && d == m_heldDepth) {
        const std::optional<DiskNode> folder = folderAt(m_held, root);
        if (folder && !folder->children().empty()) {
            reuse(*folder, pushTrail);
            return;
        }
    }
    const quint64 request = beginRequest();
    m_services.run(
        Workers::Queue::Map, this,
        [root, d, force, call = m_services.engine().diskTree] {
            // Not kept anywhere: a map load runs to its end.
            CancelToken token;
            return std::make_shared<const DiskNode>(call(root, d, !force, &token));
        },
        [this, request, root, d, pushTrail](std::shared_ptr<const DiskNode> tree) {
            if (request != m_request)
                return;
            m_held = *tree;
            m_heldDepth = d;
            finishRequest(request, root, std::move(tree), pushTrail);
        });
}

quint64 MapState::beginRequest()
{
    if (!m_loading) {
        m_loading = true;
        emit loadingChanged();
    }
    m_activity.begin();
    return ++m_request;
}

void MapState::finishRequest(quint64 request, const std::string& root,
                             std::shared_ptr<const DiskNode> folder, bool pushTrail)
{
    if (request != m_request)
        return;
    // The folder left joins the trail when the new one is shown, so the trail
    // never names the folder still shown as its own last step.
    if (pushTrail && m_root && m_root->path() != root) {
        m_trail.emplace_back(std::string(m_root->name()), m_root->path());
        publishTrail();
    }
    m_root = std::move(folder);
    m_loading = false;
    m_activity.end();
    emit rootChanged();
    emit loadingChanged();
}

void MapState::reuse(const DiskNode& folder, bool pushTrail)
{
    const quint64 request = beginRequest();
    // The folder's path is built here, once; the handle shares the held tree.
    m_services.post(this, [this, request, folder, pushTrail, root = folder.path()] {
        finishRequest(request, root, std::make_shared<const DiskNode>(folder), pushTrail);
    });
}

void MapState::load(const QString& root, const QVariant& depth, bool force, bool pushTrail)
{
    std::optional<int> d;
    if (depth.isValid() && !depth.isNull())
        d = depth.toInt();
    load(stdPath(root), d, force, pushTrail);
}

void MapState::drill(const DiskNode& node)
{
    if (m_held.isValid() && node.tree() == m_held.tree() && m_depth == m_heldDepth &&
        !node.children().empty()) {
        reuse(node, true);
        return;
    }
    load(node.path(), std::nullopt, node.children().empty(), true);
}

void MapState::up()
{
    if (m_trail.empty())
        return;
    const std::string path = m_trail.back().second;
    m_trail.pop_back();
    publishTrail();
    load(path, std::nullopt, false, false);
}

void MapState::home()
{
    if (!m_trail.empty()) {
        m_trail.clear();
        publishTrail();
    }
    load(Platform::homeDir(), std::nullopt, false, false);
}

void MapState::trailBack(int index)
{
    if (index < 0 || static_cast<size_t>(index) >= m_trail.size())
        return;
    const std::string path = m_trail[static_cast<size_t>(index)].second;
    m_trail.resize(static_cast<size_t>(index));
    publishTrail();
    load(path, std::nullopt, false, false);
}

void MapState::reloadAtDepth(int depth)
{
    setDepth(depth);
    if (m_root)
        load(m_root->path(), m_depth, false, false);
}

void MapState::open()
{
    if (m_root)
        return;
    if (qEnvironmentVariableIsSet("TID_MAPDEPTH")) {
        if (const auto d = wholeNumber(qgetenv("TID_MAPDEPTH")))
            setDepth(*d);
    }
    const std::string root = qEnvironmentVariableIsSet("TID_MAPROOT")
                                 ? std::string(qgetenv("TID_MAPROOT").constData())
                                 : Platform::homeDir();
    load(root, m_depth, false, false);
}

void MapState::refresh()
{
    load(m_root ? m_root->path() : Platform::homeDir(), m_depth, true, false);
}

void MapState::chooseFolder(const QUrl& folder)
{
    if (!folder.isLocalFile())
        return;
    load(stdPath(folder.toLocalFile()), std::max(m_depth, 2), true, true);
}

QUrl MapState::homeUrl() const
{
    return QUrl::fromLocalFile(qPath(Platform::homeDir()));
}

void MapState::setDepth(int depth)
{
    const int d = clampDepth(depth);
    if (d == m_depth)
        return;
    m_depth = d;
    emit depthChanged();
}

QString MapState::name() const
{
    return m_root ? displayLine(std::string(m_root->name())) : QString();
}

QString MapState::path() const
{
    return m_root ? qPath(m_root->path()) : QString();
}

// The trail crosses into QML converted once, each time it changes.
void MapState::publishTrail()
{
    QVariantList out;
    for (const auto& [name, path] : m_trail)
        out.push_back(QVariantMap{{"name", displayLine(name)}, {"path", qPath(path)}});
    m_trailVariant = std::move(out);
    emit trailChanged();
}
