// SPDX-License-Identifier: GPL-3.0-or-later
#include "Lang.h"

#include "Preferences.h"
#include "Text.h"

#include <QCoreApplication>
#include <QFileInfo>

QString CatalogueTranslator::translate(const char*, const char* sourceText, const char*, int) const
{
    if (!sourceText)
        return {};
    const std::string text = L::s(sourceText);
    if (text == sourceText)
        return {};
    return QString::fromStdString(text);
}

Lang::Lang(QQmlEngine* engine, QObject* parent)
    : QObject(parent), m_engine(engine), m_lang(QString::fromStdString(L::lang()))
{
    watch();
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, [this] {
        watch();
        refresh();
    });
    // A file rewritten in place (truncated and written again, as editors do)
    // changes no folder entry: the file itself is watched for that.
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, [this] {
        watch();
        refresh();
    });
}

void Lang::watch()
{
    // The folder of the file once it exists; until then the nearest folder
    // above it that does, to see the folders being made. And the file itself
    // once it is there (a file replaced by a rename leaves the watch list, so
    // it is added again each time).
    QString dir = QFileInfo(QString::fromStdString(Preferences::filePath())).absolutePath();
    while (!QFileInfo(dir).isDir() && dir != QFileInfo(dir).absolutePath())
        dir = QFileInfo(dir).absolutePath();
    if (!m_watcher.directories().contains(dir))
        m_watcher.addPath(dir);
    const QString file = QString::fromStdString(Preferences::filePath());
    if (QFileInfo(file).isFile() && !m_watcher.files().contains(file))
        m_watcher.addPath(file);
}

Lang* Lang::create(QQmlEngine* qmlEngine, QJSEngine*)
{
    install();
    return new Lang(qmlEngine);
}

void Lang::install()
{
    static CatalogueTranslator* translator = [] {
        auto* t = new CatalogueTranslator(QCoreApplication::instance());
        QCoreApplication::installTranslator(t);
        return t;
    }();
    (void)translator;
}

QString Lang::langSel() const
{
    auto stored = Preferences::string("tc.lang");
    return stored ? QString::fromStdString(*stored) : QStringLiteral("auto");
}

void Lang::setLangSel(const QString& value)
{
    if (value == langSel())
        return;
    Preferences::setString("tc.lang", value.toStdString());
    emit langSelChanged();
    refresh();
    watch();
}

QString Lang::countKey(const QString& key, qint64 count) const
{
    return QString::fromStdString(L::countKey(key.toStdString(), count));
}

QString Lang::format(const QString& text, const QVariantList& args) const
{
    std::vector<L::Arg> filled;
    for (const QVariant& a : args) {
        if (a.typeId() == QMetaType::QString)
            filled.emplace_back(a.toString().toStdString());
        else
            filled.emplace_back(static_cast<long long>(a.toLongLong()));
    }
    return QString::fromStdString(L::format(text.toStdString(), filled));
}

void Lang::refresh()
{
    const QString now = QString::fromStdString(L::lang());
    if (now == m_lang)
        return;
    m_lang = now;
    if (m_engine)
        m_engine->retranslate();
    emit langChanged();
}
