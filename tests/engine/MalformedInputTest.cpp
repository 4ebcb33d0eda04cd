// SPDX-License-Identifier: GPL-3.0-or-later
// Readers fed what a hostile user or a careless program leaves behind: tool
// output with forged records, plists with NUL bytes, dates far out of range and
// stored files far beyond their real size. Each must give a quiet, sound result.
#include "Apps.h"
#include "Files.h"
#include "History.h"
#include "Leftovers.h"
#include "Parsers.h"
#include "Plists.h"
#include "Preferences.h"
#include "Strings.h"
#include "TestHome.h"
#include "Usage.h"

#include <climits>
#include <filesystem>
#include <gtest/gtest.h>

namespace fs = std::filesystem;
using TestSupport::TestHome;

TEST(MalformedInput, NulEndedRecordsKeepLineFeedsInPaths)
{
    std::string text("4\t/h/x\n7777777777\t/h/real\0"
                     "8\t/h/real\0"
                     "x\t/h/bad\0"
                     "9\trel\0",
                     47);
    auto records = Parse::sizeRecords(text, 1024);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].path, "/h/x\n7777777777\t/h/real");
    EXPECT_EQ(records[0].size, 4096);
    EXPECT_EQ(records[1].path, "/h/real");
    EXPECT_EQ(records[1].size, 8192);
    auto sizes = Parse::duSizeMap(records);
    EXPECT_EQ(sizes.at("/h/real"), 8192);
    EXPECT_EQ(Parse::duArguments({"-sk"}, {"-rf"}, Parse::RecordEnd::Nul),
              (std::vector<std::string>{"-sk", "-0", "--", "-rf"}));
}

TEST(MalformedInput, PlistStringsWithNulBytesAreMalformedValues)
{
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\"><dict>"
                      "<key>CFBundleIdentifier</key><string>a&#0;b</string>"
                      "<key>CFBundleDisplayName</key><string>Fine</string></dict></plist>";
    auto info = Leftovers::readInfoPlist(xml);
    if (info) {
        EXPECT_FALSE(info->identifier && info->identifier->find('\0') != std::string::npos);
        EXPECT_EQ(info->displayName, std::optional<std::string>("Fine"));
    }
    auto id = Apps::bundleIdentifier(xml);
    EXPECT_FALSE(id && id->find('\0') != std::string::npos);
    // A binary plist whose identifier string holds a NUL byte (bplist00,
    // dict of one key "CFBundleIdentifier" to the 3-byte ASCII string "a\0b").
    std::string bin("bplist00\xd1\x01\x02\x5f\x10\x12"
                    "CFBundleIdentifier"
                    "\x53"
                    "a\0b"
                    "\x08\x0b\x20"
                    "\0\0\0\0\0\x01\x01\0\0\0\0\0\0\0\x03"
                    "\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\x24",
                    8 + 3 + 2 + 18 + 1 + 3 + 3 + 32);
    auto binInfo = Leftovers::readInfoPlist(bin);
    EXPECT_FALSE(binInfo && binInfo->identifier);
    EXPECT_FALSE(Apps::bundleIdentifier(bin));
}

namespace {

void appendBigEndian(std::string& out, uint64_t value, int bytes)
{
    for (int i = bytes - 1; i >= 0; --i)
        out += char((value >> (8 * i)) & 0xFF);
}

// A binary plist of depth one-member arrays, each inside the one before; with
// cycle set the innermost holds the outermost instead of being empty.
std::string nestedBinary(uint32_t depth, bool cycle = false)
{
    std::string out = "bplist00";
    std::vector<uint64_t> offsets;
    for (uint32_t i = 0; i < depth; ++i) {
        offsets.push_back(out.size());
        const bool last = i + 1 == depth;
        out += last && !cycle ? '\xA0' : '\xA1';
        if (!last || cycle)
            appendBigEndian(out, last ? 0 : i + 1, 4);
    }
    const uint64_t table = out.size();
    for (uint64_t offset : offsets)
        appendBigEndian(out, offset, 4);
    out += std::string(6, '\0') + "\x04\x04";
    appendBigEndian(out, depth, 8);
    appendBigEndian(out, 0, 8);
    appendBigEndian(out, table, 8);
    return out;
}

// An XML plist: a dictionary with an identifier and depth - 1 arrays nested
// inside it.
std::string nestedXml(uint32_t depth)
{
    std::string out = "<?xml version=\"1.0\"?><plist version=\"1.0\"><!-- <array> --><dict>"
                      "<key>CFBundleIdentifier</key><string>com.example.deep</string><key>x</key>";
    for (uint32_t i = 1; i < depth; ++i)
        out += i % 2 ? "<array>" : "<array >";
    out += "<array/>";
    for (uint32_t i = 1; i < depth; ++i)
        out += "</array>";
    return out + "</dict></plist>";
}

} // namespace

TEST(MalformedInput, DeeplyNestedPlistsAreMalformedNotACrash)
{
    // libplist recurses once per level: these overflowed the stack of
    // tclean scan (a 3 MB XML file, a 900 KB binary one).
    for (const std::string& bytes : {nestedXml(200000), nestedBinary(100000), nestedBinary(3, true),
                                     nestedXml(Plists::kMaxDepth + 1)}) {
        EXPECT_FALSE(Leftovers::readInfoPlist(bytes)) << bytes.size();
        EXPECT_FALSE(Apps::bundleIdentifier(bytes)) << bytes.size();
    }
    const std::string deepest = nestedXml(Plists::kMaxDepth);
    EXPECT_EQ(Leftovers::readInfoPlist(deepest).value_or(Leftovers::BundleInfo{}).identifier,
              "com.example.deep");
    EXPECT_EQ(Apps::bundleIdentifier(deepest), "com.example.deep");
    EXPECT_TRUE(Plists::nestingWithin(nestedBinary(Plists::kMaxDepth), Plists::kMaxDepth));
    EXPECT_FALSE(Plists::nestingWithin(nestedBinary(Plists::kMaxDepth + 1), Plists::kMaxDepth));
    EXPECT_TRUE(Plists::nestingWithin(nestedXml(Plists::kMaxDepth), Plists::kMaxDepth));
}

TEST(MalformedInput, NamesAndSumsStayExact)
{
    EXPECT_NE(Strings::nameKey("x\xff.txt"), Strings::nameKey("x\xfe.txt"));
    EXPECT_EQ(Strings::nameKey("ReadMe.TXT"), "readme.txt");
    // Three huge (sparse) videos: the bucket holds at the largest size rather
    // than wrapping round and vanishing.
    std::vector<Parse::SizeLine> videos(3, {INT64_MAX / 2, "/h/a.mp4"});
    auto buckets = Usage::typeBucketsFrom(videos);
    ASSERT_EQ(buckets.size(), 1u);
    EXPECT_EQ(buckets[0].size, INT64_MAX);
}

TEST(MalformedInput, OutOfRangeDatesAndOversizedStoresReadAsAbsent)
{
    TestHome home;
    for (const char* value : {"1e12", "-1e12", "1e308"}) {
        ASSERT_TRUE(Files::makeDirs(fs::path(Preferences::filePath()).parent_path()));
        ASSERT_TRUE(Files::writeAtomically(Preferences::filePath(),
                                           std::string(R"({"k":{"date":)") + value + "}}"));
        EXPECT_FALSE(Preferences::date("k")) << value;
    }
    // Nested 200,000 levels: written back with its indentation it would take
    // terabytes. It reads as corrupt, and a write replaces it.
    const int levels = 200000;
    std::string deep = R"({"tc.lang":"zh","x":)";
    for (int i = 0; i < levels; ++i)
        deep += R"({"a":)";
    deep += std::string(levels, '}') + "}";
    ASSERT_TRUE(Files::writeAtomically(Preferences::filePath(), deep));
    EXPECT_FALSE(Preferences::string("tc.lang"));
    EXPECT_TRUE(Preferences::setBoolean("b", true));
    EXPECT_EQ(Preferences::boolean("b"), true);
    EXPECT_LT(fs::file_size(Preferences::filePath()), 100u);

    // A history of far more entries than it keeps reads as empty, without
    // loading it; one just over its count keeps its newest entries.
    Scanner::loadHistory(); // creates the folder
    std::string entry = R"({"id":"0F0F0F0F-0000-4000-8000-000000000000","date":700000000,)"
                        R"("items":1,"freed":1})";
    std::string many = "[" + entry;
    for (int i = 0; i < 120; ++i)
        many += "," + entry;
    many += "]";
    EXPECT_EQ(History::decode(many).size(), 100u);
    std::string path = home.at(".local/share/TidloCleaner/history.json");
    ASSERT_TRUE(fs::exists(fs::path(path).parent_path()));
    std::string huge = "[" + entry;
    while (huge.size() < 2 * 1024 * 1024)
        huge += "," + entry;
    huge += "]";
    ASSERT_TRUE(Files::writeAtomically(path, huge));
    EXPECT_TRUE(Scanner::loadHistory().empty());
}
