// SPDX-License-Identifier: GPL-3.0-or-later
// The text catalogue for the views. QML writes qsTr("nav.clean"); an installed
// translator answers every such lookup from the catalogue in the current
// language. When the language choice changes (here, or in the preferences file
// by another program), the engine re-evaluates every translated binding, so the
// whole window redraws in the new language at once.
#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QQmlEngine>
#include <QTranslator>
#include <QVariant>
#include <QtQml/qqmlregistration.h>

// Answers Qt's translation lookups with the catalogue; keys it does not know
// are left to Qt.
class CatalogueTranslator : public QTranslator
{
public:
    using QTranslator::QTranslator;
    QString translate(const char* context, const char* sourceText, const char* disambiguation,
                      int n) const override;
    bool isEmpty() const override { return false; }
};

class Lang : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

    // "zh" or "en": the language the catalogue answers in right now.
    Q_PROPERTY(QString lang READ lang NOTIFY langChanged)
    // The stored choice "tc.lang": "auto", "zh" or "en" ("auto" when unset).
    Q_PROPERTY(QString langSel READ langSel WRITE setLangSel NOTIFY langSelChanged)

public:
    explicit Lang(QQmlEngine* engine, QObject* parent = nullptr);
    static Lang* create(QQmlEngine* qmlEngine, QJSEngine* jsEngine);

    // Installs the catalogue translator into the application (once).
    static void install();

    QString lang() const { return m_lang; }
    QString langSel() const;
    void setLangSel(const QString& value);

    // The catalogue key of the text that goes with count things (L::countKey):
    // "common.items.one" for 1, "common.items" otherwise. Views translate it,
    // qsTr(Lang.countKey("common.items", n)), so a change of language redraws it.
    Q_INVOKABLE QString countKey(const QString& key, qint64 count) const;
    // Fills the "%d" and "%@" placeholders of an already translated text.
    Q_INVOKABLE QString format(const QString& text, const QVariantList& args) const;
    // Looks the language up again (after "tc.lang" or TID_LANG changed
    // elsewhere) and redraws every translated text when it differs.
    Q_INVOKABLE void refresh();

signals:
    void langChanged();
    void langSelChanged();

private:
    // Watches the preferences folder (or, until it exists, the nearest one above).
    void watch();

    QQmlEngine* m_engine;
    QString m_lang;
    QFileSystemWatcher m_watcher;
};
