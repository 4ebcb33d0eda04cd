// SPDX-License-Identifier: GPL-3.0-or-later
#include "Records.h"

#include <gtest/gtest.h>
#include <unordered_set>

TEST(HumanSize, FollowsTheUnitAndDecimalRules)
{
    struct Case
    {
        int64_t bytes;
        const char* text;
    };
    const Case cases[] = {
        {-5, "-5 B"},
        {0, "0 B"},
        {512, "512 B"},
        {1023, "1023 B"},
        {1024, "1.0 KB"},
        {1536, "1.5 KB"},
        {102400, "100 KB"},
        {150 * 1024, "150 KB"},
        {1048575, "1024 KB"},
        {1048576, "1.0 MB"},
        {int64_t(1) << 40, "1.0 TB"},
        {int64_t(1) << 50, "1024 TB"},
        {INT64_MAX, "8388608 TB"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(humanSize(c.bytes), c.text) << c.bytes;
}

TEST(ScanItem, EqualityAndHashUseOnlyPathAndKind)
{
    ScanItem a{.path = "/h/x", .name = "x", .size = 1, .kind = ItemKind::Cache};
    ScanItem b{
        .path = "/h/x", .name = "other", .size = 99, .kind = ItemKind::Cache, .risk = Risk::Data};
    ScanItem c{.path = "/h/x", .kind = ItemKind::Leftover};
    EXPECT_NE(a.id, b.id);
    EXPECT_EQ(a, b);
    EXPECT_EQ(std::hash<ScanItem>{}(a), std::hash<ScanItem>{}(b));
    EXPECT_NE(a, c);
    std::unordered_set<ScanItem> set{a, b, c};
    EXPECT_EQ(set.size(), 2u);
}

TEST(Records, ComputedValues)
{
    EXPECT_EQ((VolumeInfo{.total = 10, .free = 30}).used(), 0);
    EXPECT_EQ((VolumeInfo{.total = 30, .free = 10}).used(), 20);

    DuplicateGroup content{.kind = DuplicateKind::Content, .size = 10, .files = {"/a", "/b", "/c"}};
    EXPECT_EQ(content.wasted(), 20);
    EXPECT_EQ(content.id(), "content-/a");
    DuplicateGroup empty{.kind = DuplicateKind::Content, .size = 10};
    EXPECT_EQ(empty.wasted(), 0);
    EXPECT_NE(empty.id(), empty.id()) << "an empty group gets a new id on every read";
    DuplicateGroup name{
        .kind = DuplicateKind::Name, .size = 500, .files = {"/x/Foo.txt", "/y/foo.TXT"}};
    EXPECT_EQ(name.wasted(), 0);
    EXPECT_TRUE(name.sameName());
    DuplicateGroup accents{.kind = DuplicateKind::Name, .files = {"/x/ÉTÉ", "/y/été"}};
    EXPECT_TRUE(accents.sameName());
    DuplicateGroup differ{.kind = DuplicateKind::Name, .files = {"/x/a", "/y/b"}};
    EXPECT_FALSE(differ.sameName());
}

TEST(Records, RawValuesRoundTripAndRejectUnknown)
{
    for (Risk r : {Risk::Safe, Risk::Care, Risk::Data})
        EXPECT_EQ(riskFromRaw(rawValue(r)), r);
    for (ItemKind k : {ItemKind::Cache, ItemKind::Leftover, ItemKind::Large})
        EXPECT_EQ(itemKindFromRaw(rawValue(k)), k);
    EXPECT_EQ(duplicateKindFromRaw("name"), DuplicateKind::Name);
    EXPECT_FALSE(riskFromRaw("Safe"));
    EXPECT_FALSE(itemKindFromRaw(""));
}

TEST(Uuid, IsUpperCaseVersionFour)
{
    std::string id = newUuid();
    ASSERT_EQ(id.size(), 36u);
    for (size_t i : {8u, 13u, 18u, 23u})
        EXPECT_EQ(id[i], '-');
    EXPECT_EQ(id[14], '4');
    for (char c : id)
        EXPECT_TRUE(c == '-' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F')) << id;
}
