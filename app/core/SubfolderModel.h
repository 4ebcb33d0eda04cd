// SPDX-License-Identifier: GPL-3.0-or-later
// The folders inside one folder, for the app's own folder chooser (used where
// the desktop offers none). The page sets `folder`; the model reads it on a
// worker thread (the main thread never waits on the disk) and, when the
// answer for the newest folder arrives, shows its subfolders sorted by name,
// the hidden ones (names starting with ".") only when `showHidden` is set.
// Paths are in the app's path form (qPath), so a name that is not UTF-8 keeps
// its bytes; names are shown through displayLine.
#pragma once

#include <QAbstractListModel>
#include <QUrl>
#include <QtQml/qqmlregistration.h>

#include <string>
#include <vector>

class SubfolderModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT

    // The folder listed, an absolute path; empty or relative text stands for
    // the home folder, and "." and ".." parts are resolved by name.
    Q_PROPERTY(QString folder READ folder WRITE setFolder NOTIFY folderChanged)
    Q_PROPERTY(QString shownPath READ shownPath NOTIFY folderChanged)
    Q_PROPERTY(QUrl folderUrl READ folderUrl NOTIFY folderChanged)
    // The folder above, empty at the root.
    Q_PROPERTY(QString parentFolder READ parentFolder NOTIFY folderChanged)
    Q_PROPERTY(QString homeFolder READ homeFolder CONSTANT)
    Q_PROPERTY(bool showHidden READ showHidden WRITE setShowHidden NOTIFY showHiddenChanged)
    // True from setting a folder until its listing has arrived.
    Q_PROPERTY(bool loading READ loading NOTIFY loadingChanged)
    // False when the folder could not be read (missing, not a folder, denied).
    Q_PROPERTY(bool readable READ readable NOTIFY loadingChanged)
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    enum class Role { Name = Qt::UserRole + 1, Path, Hidden };
    Q_ENUM(Role)

    // One subfolder (or link to a folder), by its name's bytes.
    struct Entry
    {
        std::string name;
        bool hidden = false;
    };
    struct Listing
    {
        bool readable = false;
        std::vector<Entry> entries; // sorted as shown
    };
    // Reads the subfolders of folder (any thread): links to folders count,
    // "." and ".." do not; sorted by shown name, case and accents aside,
    // numbers by value.
    static Listing read(const std::string& folder);

    explicit SubfolderModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    QString folder() const;
    void setFolder(const QString& folder);
    QString shownPath() const;
    QUrl folderUrl() const;
    QString parentFolder() const;
    QString homeFolder() const;
    bool showHidden() const { return m_showHidden; }
    void setShowHidden(bool show);
    bool loading() const { return m_loading; }
    bool readable() const { return m_listing.readable; }
    int count() const { return static_cast<int>(m_rows.size()); }

signals:
    void folderChanged();
    void showHiddenChanged();
    void loadingChanged();
    void countChanged();

private:
    void apply(Listing listing);
    void filter(); // fills m_rows from m_listing

    std::string m_folder;
    bool m_showHidden = false;
    bool m_loading = false;
    int m_reads = 0; // numbers the reads: only the newest one's answer counts
    Listing m_listing;
    std::vector<const Entry*> m_rows;
};
