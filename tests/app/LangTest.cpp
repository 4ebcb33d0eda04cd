// SPDX-License-Identifier: GPL-3.0-or-later
// The views' text catalogue: qsTr-style lookups answered from the catalogue,
// unknown keys left to Qt, and a language change made in the preferences file
// by another program noticed without a restart.
#include "Lang.h"
#include "Preferences.h"
#include "TestHome.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>
#include <memory>

class LangTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestSupport::TestHome> m_home;

private slots:
    void init() { m_home = std::make_unique<TestSupport::TestHome>(); }
    void cleanup() { m_home.reset(); }

    void translatesCatalogueKeysOnly()
    {
        Lang::install();
        Lang lang(nullptr);
        lang.setLangSel("zh");
        QCOMPARE(QCoreApplication::translate("RootView", "nav.clean"), QString("清理"));
        lang.setLangSel("en");
        QCOMPARE(QCoreApplication::translate("RootView", "nav.clean"), QString("Clean"));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "&Yes"), QString("&Yes"));
        QCOMPARE(lang.format("%d items, %@", {3, QString("1.5 KB")}), QString("3 items, 1.5 KB"));
    }

    void followsAChangeMadeByAnotherProgram()
    {
        Preferences::setString("tc.lang", "en");
        Lang lang(nullptr);
        QCOMPARE(lang.lang(), QString("en"));
        QSignalSpy changed(&lang, &Lang::langChanged);
        Preferences::setString("tc.lang", "zh"); // as tclean or an editor would
        QTRY_COMPARE(lang.lang(), QString("zh"));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(lang.langSel(), QString("zh"));
    }

    void noticesTheFolderWhenItAppearsLater()
    {
        Lang lang(nullptr); // no preferences folder yet
        const QString before = lang.lang();
        const QString other = before == "zh" ? "en" : "zh";
        Preferences::setString("tc.lang", other.toStdString());
        QTRY_COMPARE(lang.lang(), other);
    }
};

QTEST_GUILESS_MAIN(LangTest)
#include "LangTest.moc"
