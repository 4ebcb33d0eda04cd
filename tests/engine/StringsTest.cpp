// SPDX-License-Identifier: GPL-3.0-or-later
#include "Strings.h"

#include <gtest/gtest.h>

TEST(Strings, ParseIntIsStrict)
{
    struct Case
    {
        const char* text;
        std::optional<int64_t> value;
    };
    const Case cases[] = {
        {"0", 0},
        {"42", 42},
        {"+7", 7},
        {"-3", -3},
        {"9223372036854775807", INT64_MAX},
        {"-9223372036854775808", INT64_MIN},
        {"9223372036854775808", std::nullopt},
        {"", std::nullopt},
        {"-", std::nullopt},
        {" 1", std::nullopt},
        {"1 ", std::nullopt},
        {"10MB", std::nullopt},
        {"1.5", std::nullopt},
        {"0x10", std::nullopt},
        {"--json", std::nullopt},
        {"١٢", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Strings::parseInt(c.text), c.value) << '"' << c.text << '"';
}

TEST(Strings, Utf8ValidationRejectsMalformedSequences)
{
    EXPECT_TRUE(Strings::isValidUtf8("plain ascii\n"));
    EXPECT_TRUE(Strings::isValidUtf8("米团 · 🧹"));
    for (const char* edge : {"\xc2\x80", "\xef\xbf\xbf", "\xf4\x8f\xbf\xbf", "\xed\x9f\xbf"})
        EXPECT_TRUE(Strings::isValidUtf8(edge)) << edge;
    for (const char* bad :
         {"\xff", "\xc0\xaf", "\xe0\x80\xaf", "\xed\xa0\x80", "\xf4\x90\x80\x80", "abc\xe7\xb1",
          "\x80", "\xf0\x8f\xbf\xbf", "\xf5\x80\x80\x80", "\xc1\xbf"})
        EXPECT_FALSE(Strings::isValidUtf8(bad)) << bad;
}

TEST(Strings, DropsOnlyTheLinesThatAreNotUtf8)
{
    EXPECT_EQ(Strings::dropInvalidUtf8Lines("4\t/a\n8\t/b\xff\n12\t/c\n"), "4\t/a\n12\t/c\n");
    EXPECT_EQ(Strings::dropInvalidUtf8Lines("4\t/a\n8\t/b\xff"), "4\t/a\n");
    EXPECT_EQ(Strings::dropInvalidUtf8Lines("kept\n"), "kept\n");
}

TEST(Strings, CountsUserPerceivedCharacters)
{
    EXPECT_EQ(Strings::characterCount(""), 0u);
    EXPECT_EQ(Strings::characterCount("abc"), 3u);
    EXPECT_EQ(Strings::characterCount("清理"), 2u);
    EXPECT_EQ(Strings::characterCount("e\xcc\x81"), 1u) << "e + combining acute";
    EXPECT_EQ(Strings::characterCount("👍🏽🇨🇳"), 2u);
    EXPECT_EQ(Strings::characterPrefix("👍🏽🇨🇳abc", 2), "👍🏽🇨🇳");
    EXPECT_EQ(Strings::characterPrefix("abc", 0), "");
    EXPECT_EQ(Strings::characterPrefix("abc", 10), "abc");
}

TEST(Strings, SmallHelpers)
{
    EXPECT_EQ(Strings::trimBlanks(" \t x y \t"), "x y");
    EXPECT_EQ(Strings::trimBlanks("\n x\n"), "\n x\n");
    EXPECT_EQ(Strings::split("a\t\tb\t", '\t'), (std::vector<std::string_view>{"a", "b"}));
    EXPECT_EQ(Strings::lastComponent("/a/b/"), "b");
    EXPECT_EQ(Strings::lastComponent("/"), "");
    EXPECT_EQ(Strings::lowercased("ÄBC.TXT"), "äbc.txt");
    EXPECT_EQ(Strings::replaceAll("/h/x/h", "/h", "~"), "~/x~");
}

TEST(Strings, AddsSaturatingAtEitherEnd)
{
    struct Case
    {
        int64_t a, b, sum;
    };
    const Case cases[] = {
        {2, 3, 5},
        {INT64_MAX - 1, 5, INT64_MAX},
        {INT64_MAX, INT64_MAX, INT64_MAX},
        {INT64_MAX, 0, INT64_MAX},
        {INT64_MIN + 1, -5, INT64_MIN},
        {INT64_MIN, INT64_MIN, INT64_MIN},
        {INT64_MAX, INT64_MIN, -1},
        {INT64_MAX, -1, INT64_MAX - 1},
        {-3, 5, 2},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Strings::addSaturated(c.a, c.b), c.sum) << c.a << " + " << c.b;
        EXPECT_EQ(Strings::addSaturated(c.b, c.a), c.sum) << c.b << " + " << c.a;
    }
}
