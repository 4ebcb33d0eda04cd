// SPDX-License-Identifier: GPL-3.0-or-later
#include "Text.h"
#include "Preferences.h"
#include "Records.h"
#include "TestHome.h"
#include "TextTable.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <map>
#include <regex>
#include <set>

namespace {

// Sets the locale variables for one test and restores them afterwards.
class LocaleEnv
{
public:
    LocaleEnv()
    {
        for (const char* v : kVars) {
            if (const char* s = std::getenv(v))
                m_saved[v] = s;
            unsetenv(v);
        }
    }
    ~LocaleEnv()
    {
        for (const char* v : kVars)
            unsetenv(v);
        for (const auto& [k, s] : m_saved)
            setenv(k.c_str(), s.c_str(), 1);
    }

private:
    static constexpr const char* kVars[] = {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"};
    std::map<std::string, std::string> m_saved;
};

} // namespace

TEST(Catalogue, HoldsEveryEntryOnceWithBothTexts)
{
    auto keys = L::keys();
    EXPECT_EQ(std::set<std::string>(keys.begin(), keys.end()).size(), keys.size());
    for (const auto& e : L::entries()) {
        EXPECT_NE(*e.zh, '\0') << e.key;
        EXPECT_NE(*e.en, '\0') << e.key;
    }
}

// Every key the views name literally, as qsTr("key"), is in the catalogue, so
// no page can show a bare key. Keys the views pick or build at run time (one
// of two keys by a condition, Lang.countKey(...), a model's phaseKey) are out
// of this check's reach.
TEST(Catalogue, HoldsEveryKeyTheViewsName)
{
    const auto keys = L::keys();
    const std::set<std::string> known(keys.begin(), keys.end());
    const std::regex literal(R"re(qsTr\(\s*"([^"\\]+)"\s*\))re");
    int found = 0;
    for (const auto& file : std::filesystem::directory_iterator(TIDLO_VIEWS)) {
        if (file.path().extension() != ".qml")
            continue;
        std::ifstream in(file.path());
        const std::string text{std::istreambuf_iterator<char>(in), {}};
        for (std::sregex_iterator m(text.begin(), text.end(), literal), end; m != end; ++m) {
            ++found;
            EXPECT_TRUE(known.count((*m)[1])) << file.path().filename() << ": " << (*m)[1];
        }
    }
    EXPECT_GT(found, 0) << "no qsTr(\"key\") found in " << TIDLO_VIEWS;
}

TEST(Catalogue, TextsFollowTheLanguage)
{
    TestSupport::TestHome home;
    struct Case
    {
        const char* key;
        const char* zh;
        const char* en;
    };
    const Case cases[] = {
        {"app.name", "蒂朵清理工具", "Tidlo Cleaner"},
        {"term.fail.install", "安装失败：", "Install failed: "},
        {"term.fail.run", "无法运行：", "Cannot run: "},
        {"risk.data", "谨慎", "Risky"},
        {"kind.orphan", "残留", "Leftover"},
    };
    for (const auto& c : cases) {
        setenv("TID_LANG", "zh", 1);
        EXPECT_EQ(t(c.key), c.zh);
        EXPECT_EQ(L::s(c.key), c.zh);
        setenv("TID_LANG", "en", 1);
        EXPECT_EQ(t(c.key), c.en);
    }
    setenv("TID_LANG", "zh", 1);
    EXPECT_EQ(title(Risk::Care), "注意");
    EXPECT_EQ(title(ItemKind::Large), "大文件");
    EXPECT_EQ(t("no.such.key"), "no.such.key");
    EXPECT_EQ(L::f("no.such.%d", {7}), "no.such.7");
}

TEST(Catalogue, FormatsCountsAndSizesWithoutLocale)
{
    TestSupport::TestHome home;
    setenv("TID_LANG", "zh", 1);
    EXPECT_EQ(L::f("clean.doneBody", {3, std::string("1.2 GB")}),
              "已移入回收站：3 项，共 1.2 GB。"); // the Linux word
    EXPECT_EQ(L::f("clean.confirmBody", {12345, std::string("3 GB")}),
              "将把 12345 项（3 GB）移入回收站。");
    setenv("TID_LANG", "en", 1);
    EXPECT_EQ(L::f("clean.doneBody", {3, std::string("1.2 GB")}),
              "Moved to Trash: 3 items, 1.2 GB.");
    EXPECT_EQ(L::f("ov.summary", {std::string("5 MB")}), "Found 5 MB of reclaimable space");
    // A missing argument leaves nothing behind; "%%" is a percent sign.
    EXPECT_EQ(L::format("%d of %@ (100%%)", {}), " of  (100%)");
}

TEST(Catalogue, CountsOfOneTakeTheSingularInEnglishOnly)
{
    TestSupport::TestHome home;
    struct Case
    {
        const char* key;
        long long count;
        const char* zh;
        const char* en;
    };
    const Case cases[] = {
        {"common.items", 0, "项", "items"},
        {"common.items", 1, "项", "item"},
        {"common.items", 2, "项", "items"},
        {"clean.doneBody", 0, "已移入回收站：0 项，共 1 KB。", "Moved to Trash: 0 items, 1 KB."},
        {"clean.doneBody", 1, "已移入回收站：1 项，共 1 KB。", "Moved to Trash: 1 item, 1 KB."},
        {"clean.doneBody", 2, "已移入回收站：2 项，共 1 KB。", "Moved to Trash: 2 items, 1 KB."},
        {"clean.gone", 1, "1 项已经不在原处（已被移走）。", "1 item was already gone."},
        {"tc.scan.count", 0, "   （0 项）", "   (0 items)"},
        {"tc.scan.count", 1, "   （1 项）", "   (1 item)"},
        {"tc.scan.count", 2, "   （2 项）", "   (2 items)"},
        {"tc.types.files", 1, "  1 个", "  1 file"},
        // A text without a singular of its own reads the same for every count.
        {"tc.big.title", 1, "大文件 · 大于 1 MB", "Large files · over 1 MB"},
    };
    for (const auto& c : cases) {
        setenv("TID_LANG", "zh", 1);
        EXPECT_EQ(L::fCount(c.key, c.count, {std::string("1 KB")}), c.zh) << c.key << c.count;
        setenv("TID_LANG", "en", 1);
        EXPECT_EQ(L::fCount(c.key, c.count, {std::string("1 KB")}), c.en) << c.key << c.count;
    }
    // Every singular belongs to a text and fills the same placeholders.
    auto placeholders = [](const std::string& text) {
        std::string out;
        for (size_t i = text.find('%'); i != std::string::npos && i + 1 < text.size();
             i = text.find('%', i + 2))
            out += text[i + 1];
        return out;
    };
    for (const auto& e : L::entries()) {
        const std::string key = e.key;
        if (key.size() < 4 || key.compare(key.size() - 4, 4, ".one") != 0)
            continue;
        const std::string plural = key.substr(0, key.size() - 4);
        ASSERT_NE(L::s(plural), plural) << key;
        setenv("TID_LANG", "zh", 1);
        EXPECT_EQ(L::s(key), L::s(plural)) << "Chinese has no plural: " << key;
        setenv("TID_LANG", "en", 1);
        EXPECT_NE(L::s(key), L::s(plural)) << key;
        EXPECT_EQ(placeholders(L::s(key)), placeholders(L::s(plural))) << key;
    }
}

TEST(Language, DecidedByVariableThenPreferenceThenSystem)
{
    TestSupport::TestHome home;
    LocaleEnv locale;
    struct Case
    {
        const char* tidLang; // nullptr: unset
        const char* pref;    // nullptr: not stored
        const char* language;
        const char* expected;
    };
    const Case cases[] = {
        {"zh", "en", "en_GB", "zh"},
        {"en", "zh", "zh_CN", "en"},
        {"ZH", nullptr, "zh_CN", "en"},
        {"", nullptr, "zh_CN", "en"},
        {"auto", nullptr, "zh_CN", "en"},
        {nullptr, "zh", "en_GB", "zh"},
        {nullptr, "en", "zh_CN", "en"},
        {nullptr, "fr", "zh_CN", "en"},
        {nullptr, "auto", "zh_Hant_TW", "zh"},
        {nullptr, "auto", "zh-Hant-TW:en", "zh"},
        {nullptr, "auto", "en_GB:zh_CN", "en"},
        {nullptr, nullptr, "ZH_TW", "zh"},
        {nullptr, nullptr, "", "en"},
    };
    for (const auto& c : cases) {
        if (c.tidLang)
            setenv("TID_LANG", c.tidLang, 1);
        else
            unsetenv("TID_LANG");
        if (c.pref)
            ASSERT_TRUE(Preferences::setString("tc.lang", c.pref));
        else
            Preferences::remove("tc.lang");
        setenv("LANGUAGE", c.language, 1);
        EXPECT_EQ(L::lang(), c.expected) << (c.tidLang ? c.tidLang : "-") << " / "
                                         << (c.pref ? c.pref : "-") << " / " << c.language;
    }
}

TEST(Language, FallsBackThroughTheLocaleVariables)
{
    TestSupport::TestHome home;
    LocaleEnv locale;
    EXPECT_EQ(L::lang(), "en") << "no locale at all";
    setenv("LANG", "zh_CN.UTF-8", 1);
    EXPECT_EQ(L::lang(), "zh");
    setenv("LC_MESSAGES", "C", 1);
    EXPECT_EQ(L::lang(), "en") << "LC_MESSAGES comes before LANG; C is English";
    setenv("LC_ALL", "zh_TW.UTF-8", 1);
    EXPECT_EQ(L::lang(), "zh");
}
