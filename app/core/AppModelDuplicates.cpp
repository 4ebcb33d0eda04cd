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
#include "AppModel.h"

#include "RecordVariants.h"
#include "Text.h"

void AppModel::loadDuplicates()
{
    if (m_dupLoading)
        return;
    m_dupScannedBefore = m_dupScanned;
    setDupCancelled(false);
    setDupLoading(true);
    setDupScanned(false);
    auto token = std::make_shared<CancelToken>();
    m_dupToken = token;
    const quint64 run = ++m_dupRun;
    beginActivity();
    const EngineCalls calls = m_engine;
    m_workers.run(
        Workers::Queue::Utility, this,
        [calls, token] { return calls.duplicates(64, 1500, token.get()); },
        [this, calls, token, run](std::vector<DupGroup> content) {
            m_workers.run(
                Workers::Queue::Utility, this,
                [calls, token] { return calls.sameNameGroups(80, token.get()); },
                [this, run, token,
                 content = std::move(content)](std::vector<DupGroup> names) mutable {
                    if (run != m_dupRun || token->isCancelled())
                        return;
                    m_dupContent.setGroups(std::move(content));
                    m_dupNames.setGroups(std::move(names));
                    setDupScanned(true);
                    setDupLoading(false);
                    m_dupToken.reset();
                    endActivity();
                });
        });
}

void AppModel::cancelDuplicates()
{
    if (!m_dupLoading)
        return;
    if (m_dupToken)
        m_dupToken->cancel();
    m_dupToken.reset();
    setDupLoading(false);
    setDupScanned(m_dupScannedBefore);
    setDupCancelled(true);
    endActivity();
}

void AppModel::keepFirst(const QString& groupId)
{
    const std::string id = stdPath(groupId);
    auto group = m_dupContent.find(id);
    if (!group)
        group = m_dupNames.find(id);
    if (!group)
        return;
    // The same files may be listed in the other list too (three copies that
    // also share their name): that listing is just as stale once they moved.
    m_dupContent.removeGroup(id, group->files);
    m_dupNames.removeGroup(id, group->files);
    if (group->files.size() < 2)
        return;
    std::vector<std::string> rest(group->files.begin() + 1, group->files.end());
    const auto move = m_engine.moveToTrash;
    m_workers.run(
        Workers::Queue::Utility, this,
        [move, rest = std::move(rest)] { return move(rest, t("trash.toolbox")); },
        [](std::vector<MoveOutcome>) {});
}

QStringList AppModel::keepFirstMoves(const QString& groupId) const
{
    const std::string id = stdPath(groupId);
    auto group = m_dupContent.find(id);
    if (!group)
        group = m_dupNames.find(id);
    QStringList out;
    if (group)
        for (size_t i = 1; i < group->files.size(); ++i)
            out.push_back(tildeLine(group->files[i]));
    return out;
}

void AppModel::setDupCancelled(bool v)
{
    if (m_dupCancelled == v)
        return;
    m_dupCancelled = v;
    emit dupCancelledChanged();
}

void AppModel::setDupLoading(bool v)
{
    if (m_dupLoading == v)
        return;
    m_dupLoading = v;
    emit dupLoadingChanged();
}

void AppModel::setDupScanned(bool v)
{
    if (m_dupScanned == v)
        return;
    m_dupScanned = v;
    emit dupScannedChanged();
}
