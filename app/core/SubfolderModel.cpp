// SPDX-License-Identifier: GPL-3.0-or-later
#include "SubfolderModel.h"

#include "Parsers.h"
#include "Platform.h"
#include "RecordVariants.h"

#include <QCollator>
#include <QFuture>
#include <QLocale>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace {

// An absolute path standardised ("." and ".." parts resolved by name, no
// trailing "/"); anything else stands for the home folder.
std::string normalised(const std::string& path)
{
    if (path.empty() || path.front() != '/')
        return Platform::homeDir();
    return Parse::standardPath(path);
}

} // namespace

SubfolderModel::Listing SubfolderModel::read(const std::string& folder)
{
    namespace fs = std::filesystem;
    Listing listing;
    std::error_code ec;
    fs::directory_iterator it(fs::path(folder), ec);
    if (ec)
        return listing;
    listing.readable = true;
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::error_code typeError;
        if (!it->is_directory(typeError)) // follows links: a link to a folder counts
            continue;
        std::string name = it->path().filename().string();
        const bool hidden = name.front() == '.';
        listing.entries.push_back({std::move(name), hidden});
    }
    // The C locale's collator compares code points; a reader's order wants
    // a language's rules.
    QLocale locale;
    if (locale.language() == QLocale::C)
        locale = QLocale(QLocale::English, QLocale::UnitedStates);
    QCollator collator(locale);
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<std::pair<QString, Entry>> keyed;
    keyed.reserve(listing.entries.size());
    for (Entry& e : listing.entries) {
        QString key = displayLine(e.name);
        keyed.emplace_back(std::move(key), std::move(e));
    }
    std::sort(keyed.begin(), keyed.end(), [&collator](const auto& a, const auto& b) {
        const int order = collator.compare(a.first, b.first);
        return order != 0 ? order < 0 : a.second.name < b.second.name;
    });
    listing.entries.clear();
    for (auto& [key, e] : keyed)
        listing.entries.push_back(std::move(e));
    return listing;
}

SubfolderModel::SubfolderModel(QObject* parent) : QAbstractListModel(parent) {}

int SubfolderModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : count();
}

QVariant SubfolderModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= count())
        return {};
    const Entry& e = *m_rows[size_t(index.row())];
    switch (Role(role)) {
    case Role::Name:
        return displayLine(e.name);
    case Role::Path:
        return qPath(m_folder == "/" ? "/" + e.name : m_folder + '/' + e.name);
    case Role::Hidden:
        return e.hidden;
    }
    return {};
}

QHash<int, QByteArray> SubfolderModel::roleNames() const
{
    return {{int(Role::Name), "name"}, {int(Role::Path), "path"}, {int(Role::Hidden), "hidden"}};
}

QString SubfolderModel::folder() const
{
    return qPath(m_folder);
}

QString SubfolderModel::shownPath() const
{
    return displayLine(m_folder);
}

QUrl SubfolderModel::folderUrl() const
{
    return m_folder.empty() ? QUrl() : QUrl::fromLocalFile(qPath(m_folder));
}

QString SubfolderModel::parentFolder() const
{
    if (m_folder.empty() || m_folder == "/")
        return {};
    const size_t slash = m_folder.rfind('/');
    return slash == 0 ? QStringLiteral("/") : qPath(m_folder.substr(0, slash));
}

QString SubfolderModel::homeFolder() const
{
    return qPath(normalised(Platform::homeDir()));
}

void SubfolderModel::setFolder(const QString& folder)
{
    const std::string path = normalised(stdPath(folder));
    const int ticket = ++m_reads;
    // Set again, the same folder is read again (it may have changed).
    if (path != m_folder) {
        m_folder = path;
        emit folderChanged();
    }
    // The old rows go at once: they are not inside the folder now shown.
    apply({true, {}});
    if (!m_loading) {
        m_loading = true;
        emit loadingChanged();
    }
    QtConcurrent::run([path] {
        return SubfolderModel::read(path);
    }).then(this, [this, ticket](Listing listing) {
        if (ticket != m_reads)
            return;
        apply(std::move(listing));
        m_loading = false;
        emit loadingChanged();
    });
}

void SubfolderModel::setShowHidden(bool show)
{
    if (show == m_showHidden)
        return;
    m_showHidden = show;
    emit showHiddenChanged();
    beginResetModel();
    filter();
    endResetModel();
    emit countChanged();
}

void SubfolderModel::apply(Listing listing)
{
    beginResetModel();
    m_listing = std::move(listing);
    filter();
    endResetModel();
    emit countChanged();
}

void SubfolderModel::filter()
{
    m_rows.clear();
    for (const Entry& e : m_listing.entries)
        if (m_showHidden || !e.hidden)
            m_rows.push_back(&e);
}
