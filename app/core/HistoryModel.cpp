// SPDX-License-Identifier: GPL-3.0-or-later
#include "HistoryModel.h"

#include "Platform.h"
#include "RecordVariants.h"
#include "Text.h"

#include <QDateTime>
#include <QFileInfo>
#include <algorithm>
#include <chrono>
#include <limits>
#include <map>
#include <utility>

namespace {

// How long the data folder must stay still before it is read: a clean-up
// writes its manifest, then rewrites the history, and one read sees both.
constexpr int kSettleMs = 300;

const char* sourceKey(Cleanups::Source source)
{
    switch (source) {
    case Cleanups::Source::Clean:
        return "nav.clean";
    case Cleanups::Source::Toolbox:
        return "trash.toolbox";
    case Cleanups::Source::Uninstall:
        return "trash.uninstall";
    case Cleanups::Source::Terminal:
        break;
    }
    return "trash.terminal";
}

Cleanups::Where whereOf(const Cleanups::Record& record, size_t item)
{
    return item < record.where.size() ? record.where[item] : Cleanups::Where::Gone;
}

int inTrash(const Cleanups::Record& record)
{
    int n = 0;
    for (size_t i = 0; i < record.items.size(); ++i)
        n += whereOf(record, i) == Cleanups::Where::InTrash;
    return n;
}

} // namespace

HistoryModel::HistoryModel(Services& services, QObject* parent)
    : QAbstractListModel(parent), m_services(services)
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(kSettleMs);
    connect(&m_settle, &QTimer::timeout, this, [this] {
        watch(); // a folder made since is watched from now on
        load();
    });
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, &m_settle,
            qOverload<>(&QTimer::start));
}

int HistoryModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_records.size());
}

QVariant HistoryModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_records.size()))
        return {};
    const Cleanups::Record& r = m_records[size_t(index.row())];
    const HistoryEntry& e = r.entry;
    switch (Role(role)) {
    case Role::DateText:
        return dateText(e.date);
    case Role::Items:
        return e.items;
    case Role::Freed:
        return qint64(e.freed);
    case Role::FreedText:
        return qs(humanSize(e.freed));
    case Role::SourceKey:
        return r.complete ? QString::fromLatin1(sourceKey(r.source)) : QString();
    case Role::Complete:
        return r.complete;
    case Role::Listed:
        return int(r.items.size());
    case Role::InTrash:
        return inTrash(r);
    case Role::Open:
        return index.row() == m_openRow;
    }
    return {};
}

QHash<int, QByteArray> HistoryModel::roleNames() const
{
    return {{int(Role::DateText), "dateText"},
            {int(Role::Items), "items"},
            {int(Role::Freed), "freed"},
            {int(Role::FreedText), "freedText"},
            {int(Role::SourceKey), "sourceKey"},
            {int(Role::Complete), "complete"},
            {int(Role::Listed), "listed"},
            {int(Role::InTrash), "inTrash"},
            {int(Role::Open), "open"}};
}

qint64 HistoryModel::totalFreed() const
{
    // Saturating: a damaged file cannot wrap the total round to a negative.
    qint64 sum = 0;
    for (const auto& r : m_records) {
        const int64_t freed = r.entry.freed;
        if (freed > 0 && sum > std::numeric_limits<qint64>::max() - freed)
            return std::numeric_limits<qint64>::max();
        sum += std::max<int64_t>(freed, 0);
    }
    return sum;
}

QString HistoryModel::totalFreedText() const
{
    return qs(humanSize(totalFreed()));
}

void HistoryModel::load()
{
    const quint64 run = ++m_loads;
    m_services.run(
        Workers::Queue::User, this, [call = m_services.engine().loadCleanups] { return call(); },
        [this, run](std::vector<Cleanups::Record> records) {
            if (run != m_loads)
                return;
            setRecords(std::move(records));
            setPuttingBack(m_puttingBack && run < m_putBackRead);
        });
}

void HistoryModel::setRecords(std::vector<Cleanups::Record> records)
{
    // The same clean-ups read again (after a put-back, say) change their rows
    // in place: the list keeps its position and the open line its items.
    const bool same =
        std::equal(m_records.begin(), m_records.end(), records.begin(), records.end(),
                   [](const auto& a, const auto& b) { return a.entry.id == b.entry.id; });
    if (same) {
        m_records = std::move(records);
        if (!m_records.empty())
            emit dataChanged(index(0), index(count() - 1));
    } else {
        beginResetModel();
        m_records = std::move(records);
        endResetModel();
    }
    emit entriesChanged();
    setOpen(m_openId); // the same clean-up stays open, wherever its row is now
}

void HistoryModel::toggleOpen(int row)
{
    if (row < 0 || row >= count())
        return;
    const std::string& id = m_records[size_t(row)].entry.id;
    setOpen(row == m_openRow ? std::string() : id);
}

void HistoryModel::setOpen(const std::string& id)
{
    int row = -1;
    for (size_t i = 0; i < m_records.size() && !id.empty(); ++i)
        if (m_records[i].entry.id == id) {
            row = int(i);
            break;
        }
    m_openId = row < 0 ? std::string() : id;
    m_openItems.show(row < 0 ? nullptr : &m_records[size_t(row)]);
    if (row == m_openRow)
        return;
    const int before = m_openRow;
    m_openRow = row;
    for (int r : {before, row})
        if (r >= 0)
            emit dataChanged(index(r), index(r), {int(Role::Open)});
    emit openRowChanged();
}

int HistoryModel::putBackCount(int item) const
{
    if (m_openRow < 0)
        return 0;
    const Cleanups::Record& r = m_records[size_t(m_openRow)];
    if (item < 0)
        return inTrash(r);
    return item < int(r.items.size()) && whereOf(r, size_t(item)) == Cleanups::Where::InTrash;
}

void HistoryModel::putBack(int item, bool beside)
{
    // One at a time: until the records are read again, an item just put back
    // would still read as in the Trash, and its own place as taken.
    if (m_puttingBack || putBackCount(item) == 0)
        return;
    const Cleanups::Record& record = m_records[size_t(m_openRow)];
    std::vector<size_t> items;
    for (size_t i = 0; i < record.items.size(); ++i)
        if ((item < 0 || size_t(item) == i) && whereOf(record, i) == Cleanups::Where::InTrash)
            items.push_back(i);
    setPuttingBack(true);
    m_putBackRead = std::numeric_limits<quint64>::max(); // no reading ends it before it is done
    m_services.run(
        Workers::Queue::User, this,
        [call = m_services.engine().putBack, record, items = std::move(items), beside] {
            auto outcomes = call(record, items, beside);
            outcomes.resize(items.size(), Cleanups::PutBackOutcome::Failed);
            std::vector<Cleanups::Item> back;
            for (size_t i = 0; i < items.size(); ++i)
                if (outcomes[i] == Cleanups::PutBackOutcome::PutBack)
                    back.push_back(record.items[items[i]]);
            return std::make_pair(std::move(outcomes), std::move(back));
        },
        [this](const std::pair<std::vector<Cleanups::PutBackOutcome>, std::vector<Cleanups::Item>>&
                   result) {
            if (!result.second.empty())
                emit itemsPutBack(result.second);
            emit putBackFinished(putBackNotes(result.first));
            m_services.reportDiskChanged();
            load();
            m_putBackRead = m_loads; // the put-back ends with this reading
        });
}

void HistoryModel::setPuttingBack(bool v)
{
    if (m_puttingBack == v)
        return;
    m_puttingBack = v;
    emit puttingBackChanged();
}

QStringList HistoryModel::putBackNotes(const std::vector<Cleanups::PutBackOutcome>& outcomes)
{
    using Outcome = Cleanups::PutBackOutcome;
    std::map<Outcome, int> counts;
    for (Outcome o : outcomes)
        ++counts[o];
    const int back = counts[Outcome::PutBack] + counts[Outcome::PutBackBeside];
    QStringList out;
    if (back > 0 || outcomes.empty())
        out.push_back(QString::fromStdString(L::fCount("hist.putBackDone", back)));
    static const std::pair<Outcome, const char*> kNotes[] = {
        {Outcome::PutBackBeside, "hist.putBesideDone"},
        {Outcome::Taken, "hist.stayTaken"},
        {Outcome::Gone, "hist.goneFromTrash"},
        {Outcome::NoPermission, "hist.noPermission"},
        {Outcome::Failed, "hist.putBackFailed"},
    };
    for (const auto& [outcome, key] : kNotes)
        if (counts[outcome] > 0)
            out.push_back(QString::fromStdString(L::fCount(key, counts[outcome])));
    return out;
}

void HistoryModel::setWatching(bool on)
{
    if (on == m_watching)
        return;
    m_watching = on;
    if (on) {
        watch();
    } else {
        m_settle.stop();
        if (!m_watcher.directories().isEmpty())
            m_watcher.removePaths(m_watcher.directories());
    }
    emit watchingChanged();
}

void HistoryModel::watch()
{
    if (!m_watching)
        return;
    const QString support = QString::fromStdString(Platform::supportFolder());
    QStringList wanted;
    for (QString dir : {support, support + QStringLiteral("/cleanups")}) {
        while (!QFileInfo(dir).isDir() && dir != QFileInfo(dir).absolutePath())
            dir = QFileInfo(dir).absolutePath();
        wanted.push_back(dir);
    }
    // A folder above, watched until the data folder was made, is let go.
    for (const QString& dir : m_watcher.directories())
        if (!wanted.contains(dir))
            m_watcher.removePath(dir);
    for (const QString& dir : wanted)
        if (!m_watcher.directories().contains(dir))
            m_watcher.addPath(dir);
}

QString HistoryModel::dateText(Clock::time_point date)
{
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(date.time_since_epoch()).count();
    return QDateTime::fromMSecsSinceEpoch(qint64(ms)).toString(QStringLiteral("MM-dd HH:mm"));
}
