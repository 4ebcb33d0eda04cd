// SPDX-License-Identifier: GPL-3.0-or-later
// Guide memory and the start-up decisions: GuideStore's time rules with an
// injected clock, the guide the window shows for each state and override, the
// start page, and the symbol mapping behind every page, feature and guide page.
#include "GuideStore.h"
#include "GuideScript.h"
#include "Navigation.h"
#include "Preferences.h"
#include "Symbols.h"
#include "TestHome.h"

#include <QTest>
#include <memory>

using namespace std::chrono_literals;

namespace {

// A clock the test moves by hand.
struct FakeClock
{
    Clock::time_point t = Clock::time_point(std::chrono::seconds(1'800'000'000));
    GuideStore::Now now()
    {
        return [this] { return t; };
    }
};

} // namespace

Q_DECLARE_METATYPE(GuideKind)

class GuideStoreTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestSupport::TestHome> m_home;
    FakeClock m_clock;

private slots:
    void init()
    {
        m_home = std::make_unique<TestSupport::TestHome>();
        m_clock = {};
        for (const char* v : {"TID_GUIDE", "TID_NOGUIDE", "TID_PAGE"})
            qunsetenv(v);
    }
    void cleanup() { m_home.reset(); }

    void recordsFirstUseOnlyOnce()
    {
        const auto start = m_clock.t;
        GuideStore first(m_clock.now());
        QVERIFY(first.firstUse() == start);
        m_clock.t += 5 * GuideStore::kDay;
        GuideStore second(m_clock.now());
        QVERIFY(second.firstUse() == start);
        // Never touched: last use is first use.
        QVERIFY(second.lastUsed(Feature::Map) == start);
        second.touch(Feature::Map);
        QVERIFY(second.lastUsed(Feature::Map) == m_clock.t);
    }

    void readsNonDatesAsAbsent()
    {
        Preferences::setString("tc.firstUse", "yesterday");
        Preferences::setString("tc.use.map", "often");
        GuideStore store(m_clock.now());
        QVERIFY(store.firstUse() == m_clock.t); // rewritten as a date at creation
        QVERIFY(store.lastUsed(Feature::Map) == m_clock.t);
    }

    void showsAdvancedFromADayAfterFirstUse()
    {
        GuideStore store(m_clock.now());
        const auto first = store.firstUse();
        QVERIFY(!store.shouldShowAdvanced(first + GuideStore::kDay - 1s));
        QVERIFY(store.shouldShowAdvanced(first + GuideStore::kDay));
        store.markAdvancedDone();
        QVERIFY(!store.shouldShowAdvanced(first + 30 * GuideStore::kDay));
        store.resetGuide();
        QVERIFY(!store.basicDone() && !store.advancedDone());
        QVERIFY(store.shouldShowAdvanced(first + GuideStore::kDay));
    }

    void listsDormantFeaturesOnlyAfterAdvancedGuide()
    {
        GuideStore store(m_clock.now());
        m_clock.t += 20 * GuideStore::kDay;
        QVERIFY(store.dormantFeatures().empty());
        store.markAdvancedDone();
        m_clock.t -= 3 * GuideStore::kDay;
        store.touch(Feature::Map);
        m_clock.t += 3 * GuideStore::kDay;
        const std::vector<Feature> want{Feature::Overview,   Feature::Clean, Feature::Files,
                                        Feature::Duplicates, Feature::Procs, Feature::Cli,
                                        Feature::History};
        QVERIFY(store.dormantFeatures() == want);
    }

    void remindsEachFeatureAtMostEveryTwoWeeks()
    {
        GuideStore store(m_clock.now());
        store.markAdvancedDone();
        m_clock.t += 100 * GuideStore::kDay;
        store.markNudged({Feature::Files});
        m_clock.t += 13 * GuideStore::kDay;
        auto dormant = store.dormantFeatures();
        QVERIFY(std::find(dormant.begin(), dormant.end(), Feature::Files) == dormant.end());
        QCOMPARE(dormant.size(), size_t(7));
        m_clock.t += 1 * GuideStore::kDay;
        dormant = store.dormantFeatures();
        QVERIFY(std::find(dormant.begin(), dormant.end(), Feature::Files) != dormant.end());
    }

    // The start-up guide for each stored state and environment override.
    void decidesTheStartupGuide_data()
    {
        QTest::addColumn<bool>("basicDone");
        QTest::addColumn<bool>("advancedDone");
        QTest::addColumn<int>("daysSinceFirstUse");
        QTest::addColumn<QByteArray>("noGuide");
        QTest::addColumn<QByteArray>("forced");
        QTest::addColumn<GuideKind>("want");
        const GuideKind none{}, basic{GuideKind::Basic, {}}, advanced{GuideKind::Advanced, {}};
        const GuideKind forcedReturn{GuideKind::Returning,
                                     {Feature::Map, Feature::Duplicates, Feature::Cli}};
        QTest::newRow("fresh account")
            << false << false << 0 << QByteArray() << QByteArray() << basic;
        QTest::newRow("basic done, first day")
            << true << false << 0 << QByteArray() << QByteArray() << none;
        QTest::newRow("basic done, next day")
            << true << false << 1 << QByteArray() << QByteArray() << advanced;
        QTest::newRow("both done, all recent")
            << true << true << 10 << QByteArray() << QByteArray() << none;
        QTest::newRow("both done, all dormant")
            << true << true << 15 << QByteArray() << QByteArray()
            << GuideKind{GuideKind::Returning,
                         std::vector<Feature>(allFeatures().begin(), allFeatures().end())};
        QTest::newRow("no guide wins over forced")
            << false << false << 0 << QByteArray("1") << QByteArray("basic") << none;
        QTest::newRow("no guide other value")
            << false << false << 0 << QByteArray("yes") << QByteArray() << basic;
        QTest::newRow("forced return, fresh")
            << false << false << 0 << QByteArray() << QByteArray("return") << forcedReturn;
        QTest::newRow("forced advanced")
            << false << false << 0 << QByteArray() << QByteArray("advanced") << advanced;
        QTest::newRow("forced basic")
            << true << true << 0 << QByteArray() << QByteArray("basic") << basic;
        QTest::newRow("unknown forced falls through")
            << true << false << 2 << QByteArray() << QByteArray("loud") << advanced;
    }

    void decidesTheStartupGuide()
    {
        QFETCH(bool, basicDone);
        QFETCH(bool, advancedDone);
        QFETCH(int, daysSinceFirstUse);
        QFETCH(QByteArray, noGuide);
        QFETCH(QByteArray, forced);
        QFETCH(GuideKind, want);
        GuideStore store(m_clock.now());
        if (basicDone)
            store.markBasicDone();
        if (advancedDone)
            store.markAdvancedDone();
        if (!noGuide.isNull())
            qputenv("TID_NOGUIDE", noGuide);
        if (!forced.isNull())
            qputenv("TID_GUIDE", forced);
        const auto now = m_clock.t + daysSinceFirstUse * GuideStore::kDay;
        QVERIFY(decideGuide(store, now) == want);
    }

    void startsOnThePageNamedByTidPage_data()
    {
        QTest::addColumn<QByteArray>("env");
        QTest::addColumn<QString>("want");
        QTest::newRow("unset") << QByteArray() << "overview";
        QTest::newRow("files") << QByteArray("files") << "files";
        QTest::newRow("about") << QByteArray("about") << "about";
        QTest::newRow("no such page") << QByteArray("settings") << "overview";
        QTest::newRow("letter case") << QByteArray("Files") << "overview";
    }

    void startsOnThePageNamedByTidPage()
    {
        QFETCH(QByteArray, env);
        QFETCH(QString, want);
        if (!env.isNull())
            qputenv("TID_PAGE", env);
        QCOMPARE(QString::fromUtf8(rawValue(initialPage()).data()), want);
    }

    // About counts as Overview, Toolbox as Duplicates; no page records procs.
    void pagesRecordTheirFeatures()
    {
        QCOMPARE(featureOf(Page::About), Feature::Overview);
        QCOMPARE(featureOf(Page::Tools), Feature::Duplicates);
        QCOMPARE(featureOf(Page::Terminal), Feature::Cli);
        for (Page p : allPages())
            QVERIFY(featureOf(p) != Feature::Procs);
        QCOMPARE(pageOf(Feature::Procs), std::string_view("tools"));
    }

    // Every symbol a page, feature or guide page names has a glyph.
    void mapsEverySymbolInUse()
    {
        std::vector<std::string_view> used;
        for (Page p : allPages())
            used.push_back(iconOf(p));
        for (Feature f : allFeatures())
            used.push_back(iconOf(f));
        for (const auto* script : {&GuideScript::basic(), &GuideScript::advanced()})
            for (const GuidePage& g : *script)
                used.push_back(g.icon);
        for (std::string_view name : used)
            QVERIFY2(!Symbols::materialName(name).empty(), std::string(name).c_str());
        QCOMPARE(Symbols::codepoint("no.such.symbol"), char32_t(0xe8fd));
    }
};

QTEST_GUILESS_MAIN(GuideStoreTest)
#include "GuideStoreTest.moc"
