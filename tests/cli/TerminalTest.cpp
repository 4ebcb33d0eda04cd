// SPDX-License-Identifier: GPL-3.0-or-later
#include "Terminal.h"
#include "TestHome.h"

#include <gtest/gtest.h>

// The test binary's standard output is not a terminal under ctest, so every
// helper here returns plain text; the escapes are checked through tclean on a
// pseudo-terminal in UsageTest.

TEST(Terminal, HumanAlwaysHasOneDecimal)
{
    struct Case
    {
        int64_t bytes;
        const char* text;
    };
    const Case cases[] = {
        {-1, "-1 B"},           {0, "0 B"},          {512, "512 B"},
        {1023, "1023 B"},       {1024, "1.0 KB"},    {102400, "100.0 KB"},
        {1048575, "1024.0 KB"}, {1572864, "1.5 MB"}, {int64_t(1) << 50, "1024.0 TB"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(human(c.bytes), c.text) << c.bytes;
}

TEST(Terminal, BarHasExactlyWidthCells)
{
    auto cells = [](const std::string& s, const char* cell) {
        size_t n = 0;
        for (size_t at = s.find(cell); at != std::string::npos; at = s.find(cell, at + 1))
            ++n;
        return n;
    };
    struct Case
    {
        double fraction;
        int width;
        size_t full;
    };
    const Case cases[] = {
        {0.5, 14, 7},  {0.04, 14, 1}, {0.03, 14, 0}, {1.0 / 28, 14, 1},
        {1.0, 22, 22}, {3.5, 14, 14}, {-0.2, 14, 0}, {0.0, 22, 0},
    };
    for (const auto& c : cases) {
        std::string b = bar(c.fraction, c.width);
        EXPECT_EQ(cells(b, "█"), c.full) << c.fraction;
        EXPECT_EQ(cells(b, "░"), size_t(c.width) - c.full) << c.fraction;
    }
    EXPECT_EQ(bar(0.5, 4), "██░░");
    EXPECT_EQ(cells(bar(0.5), "█") + cells(bar(0.5), "░"), 22u);
}

TEST(Terminal, PadAndCutCountUserPerceivedCharacters)
{
    EXPECT_EQ(pad("ab", 4), "ab  ");
    EXPECT_EQ(pad("清理", 4), "清理  ");
    EXPECT_EQ(pad("e\xcc\x81", 2), "e\xcc\x81 ");
    EXPECT_EQ(pad("abcdef", 4), "abcdef");

    std::string n24(24, 'n');
    EXPECT_EQ(cutName(n24), n24);
    EXPECT_EQ(cutName(n24 + "x"), std::string(23, 'n') + "…");
    std::string flags;
    for (int i = 0; i < 25; ++i)
        flags += "🇨🇳";
    std::string cut;
    for (int i = 0; i < 23; ++i)
        cut += "🇨🇳";
    EXPECT_EQ(cutName(flags), cut + "…") << "a flag is one character, not two code points";
}

TEST(Terminal, PrintableShowsEveryControlAsAQuestionMark)
{
    const std::pair<std::string, std::string> cases[] = {
        {"tab\tline\nesc\x1b[31m\x7f", "tab?line?esc?[31m?"},
        // C1 controls written in UTF-8 (U+0085, U+009B: a one-character CSI).
        {"a\xc2\x85"
         "b\xc2\x9b"
         "2J\xc2\x80",
         "a?b?2J?"},
        {"\xc2\xa0nbsp \xc2\xa9", "\xc2\xa0nbsp \xc2\xa9"},
        // Bidirectional controls: "a\u202egnp.exe" must not read "aexe.png".
        {"a\u202egnp.exe", "a?gnp.exe"},
        {"\u202a\u202b\u202c\u202d\u2066\u2067\u2068\u2069", "????????"},
        {"\u2029\u202f\u2065\u206a 名字", "\u2029\u202f\u2065\u206a 名字"},
        // Bytes that are not UTF-8 stay as they are, and hide nothing.
        {"bad \xff\xc2 \xe2\x80", "bad \xff\xc2 \xe2\x80"},
        {"\xc2\u202e", "\xc2?"},
    };
    for (const auto& [text, shown] : cases)
        EXPECT_EQ(printable(text), shown) << text;
}

TEST(Terminal, AColumnAlwaysEndsInABlank)
{
    EXPECT_EQ(column("80.0 MB", 10), "80.0 MB   ");
    EXPECT_EQ(column("1000.0 TB", 10), "1000.0 TB ");
    EXPECT_EQ(column(human(INT64_MAX), 10), "8388608.0 TB ");
    EXPECT_EQ(column("1000.", 5), "1000. ");
    EXPECT_EQ(column("清理", 4), "清理  ");
    EXPECT_EQ(column("清理清理", 4), "清理清理 ");
}

TEST(Terminal, RiskTagsSpeakTheLanguageInOneWidth)
{
    TestSupport::TestHome home("zh");
    EXPECT_EQ(riskTag(Risk::Safe), "安全");
    EXPECT_EQ(riskTag(Risk::Care), "注意");
    EXPECT_EQ(riskTag(Risk::Data), "谨慎");
    setenv("TID_LANG", "en", 1);
    EXPECT_EQ(riskTag(Risk::Safe), "Safe   ");
    EXPECT_EQ(riskTag(Risk::Care), "Careful");
    EXPECT_EQ(riskTag(Risk::Data), "Risky  ");
}

TEST(Terminal, TreeLineColumns)
{
    FolderDraft node{.name = "Library", .path = "/h/Library", .size = 1024};
    EXPECT_EQ(treeLine(DiskNode(node), "", false, 1024),
              "├── Library                   1.0 KB   ██████████████ 100.0%");
    node.name = std::string(30, 'x');
    node.size = 123;
    EXPECT_EQ(treeLine(DiskNode(node), "│   ", true, 0),
              "│   └── " + std::string(23, 'x') + "…  123 B    ░░░░░░░░░░░░░░  0.0%");
    node.name = "big";
    node.size = int64_t(1000) * 1024 * 1024 * 1024 * 1024; // 1000.0 TB: nine characters
    EXPECT_EQ(treeLine(DiskNode(node), "", true, node.size * 8),
              "└── big                       1000.0 TB██░░░░░░░░░░░░ 12.5%");
}
