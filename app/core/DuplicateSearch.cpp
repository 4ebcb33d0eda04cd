// SPDX-License-Identifier: GPL-3.0-or-later
// The duplicate search and keep-the-first for the Toolbox's duplicates pane.
//
// A search runs the content finder, then the name finder, one after the other
// on the utility queue with one token, and assigns both lists together. Cancel
// marks the token and shows the search as stopped at once, with the results
// of the search before it; the finders look at the token while they walk and
// read, so the task ends soon after, and its partial result is dropped: a
// half-finished search would show groups missing and "nothing found" where it
// simply stopped looking. Each search has a number: a search started while a
// cancelled one is still finishing supersedes it, and the older one's late
// result is dropped instead of replacing newer results or ending the newer
// search's loading state.
#include "DuplicateSearch.h"

#include "RecordVariants.h"
#include "SystemActivity.h"
#include "Text.h"

#include <filesystem>
#include <optional>

DuplicateSearch::DuplicateSearch(Services& services, SystemActivity& activity, QObject* parent)
    : QObject(parent), m_services(services), m_activity(activity)
{
}

void DuplicateSearch::load()
{
    if (m_loading)
        return;
    m_scannedBefore = m_scanned;
    setCancelled(false);
    setLoading(true);
    setScanned(false);
    auto token = std::make_shared<CancelToken>();
    m_token = token;
    const quint64 run = ++m_run;
    m_activity.begin();
    const EngineCalls calls = m_services.engine();
    m_services.run(
        Workers::Queue::Utility, this,
        [calls, token] { return calls.duplicates(64, 1500, token.get()); },
        [this, calls, token, run](std::vector<DuplicateGroup> content) {
            m_services.run(
                Workers::Queue::Utility, this,
                [calls, token] { return calls.sameNameGroups(80, token.get()); },
                [this, run, token,
                 content = std::move(content)](std::vector<DuplicateGroup> names) mutable {
                    if (run != m_run || token->isCancelled())
                        return;
                    m_content.setGroups(std::move(content));
                    m_names.setGroups(std::move(names));
                    setScanned(true);
                    setLoading(false);
                    m_token.reset();
                    m_activity.end();
                });
        });
}

void DuplicateSearch::cancel()
{
    if (!m_loading)
        return;
    if (m_token)
        m_token->cancel();
    m_token.reset();
    setLoading(false);
    setScanned(m_scannedBefore);
    setCancelled(true);
    m_activity.end();
}

void DuplicateSearch::stopFinders()
{
    if (m_token)
        m_token->cancel();
}

void DuplicateSearch::keepFirst(const QString& groupId)
{
    const std::string id = stdPath(groupId);
    auto group = m_content.find(id);
    if (!group)
        group = m_names.find(id);
    if (!group)
        return;
    // The same files may be listed in the other list too (three copies that
    // also share their name): that listing is just as stale once they moved.
    m_content.removeGroup(id, group->files);
    m_names.removeGroup(id, group->files);
    if (group->files.size() < 2)
        return;
    std::vector<std::string> rest(group->files.begin() + 1, group->files.end());
    // A content group's files all have its size; a name group's are measured
    // on the worker, for the record of the clean-up.
    const std::optional<int64_t> size =
        group->kind == DuplicateKind::Content ? std::optional<int64_t>(group->size) : std::nullopt;
    m_services.run(
        Workers::Queue::Utility, this,
        [call = m_services.engine().cleanUp, rest = std::move(rest), size] {
            const std::vector<int64_t> sizes =
                size ? std::vector<int64_t>(rest.size(), *size) : Scanner::sizesOf(rest);
            std::vector<Cleanups::Target> targets;
            for (size_t i = 0; i < rest.size(); ++i)
                targets.push_back({rest[i], i < sizes.size() ? sizes[i] : 0, ItemKind::Large,
                                   Risk::Care, std::filesystem::path(rest[i]).filename().string()});
            return call(targets, Cleanups::Source::Toolbox);
        },
        [](const Cleanups::CleanUp&) {});
}

QStringList DuplicateSearch::keepFirstMoves(const QString& groupId) const
{
    const std::string id = stdPath(groupId);
    auto group = m_content.find(id);
    if (!group)
        group = m_names.find(id);
    QStringList out;
    if (group)
        for (size_t i = 1; i < group->files.size(); ++i)
            out.push_back(tildeLine(group->files[i]));
    return out;
}

void DuplicateSearch::setCancelled(bool v)
{
    if (m_cancelled == v)
        return;
    m_cancelled = v;
    emit cancelledChanged();
}

void DuplicateSearch::setLoading(bool v)
{
    if (m_loading == v)
        return;
    m_loading = v;
    emit loadingChanged();
}

void DuplicateSearch::setScanned(bool v)
{
    if (m_scanned == v)
        return;
    m_scanned = v;
    emit scannedChanged();
}
