// The resource format of the controls' initial property sets.
#include <gtest/gtest.h>

#include "winkit/control_properties.h"

namespace {

TEST(ControlProperties, PlayerPropertySet) {
    const auto parsed = winkit::parse_control_properties(
        "# comment\r\n[1000]\r\nextent = 12356, 7567\r\nWMode = Window\r\nQuality=High\n  Scale = ShowAll  \n"
        "AllowNetworking = all\n");
    ASSERT_EQ(parsed.count(1000), 1u);
    const auto& p = parsed.at(1000);
    ASSERT_TRUE(p.extent);
    EXPECT_EQ(*p.extent, std::make_pair(12356, 7567));
    const std::vector<std::pair<std::wstring, std::wstring>> expected = {
        {L"WMode", L"Window"}, {L"Quality", L"High"}, {L"Scale", L"ShowAll"}, {L"AllowNetworking", L"all"}};
    EXPECT_EQ(p.values, expected);
}

TEST(ControlProperties, SectionsBadLinesAndTexts) {
    const auto parsed = winkit::parse_control_properties(
        "orphan = before any section\n"
        "[7]\nName = \xE8\x87\xAA\xE5\x8A\xA8\nEmpty =\nno equals sign\n= no name\nextent = 1\n"
        "[bad]\nlost = yes\n"
        "[8]\nextent = -5, 10\n");
    ASSERT_EQ(parsed.size(), 2u);
    const auto& seven = parsed.at(7);
    EXPECT_FALSE(seven.extent);  // "1" is not a pair
    const std::vector<std::pair<std::wstring, std::wstring>> expected = {{L"Name", L"\u81EA\u52A8"}, {L"Empty", L""}};
    EXPECT_EQ(seven.values, expected);
    ASSERT_TRUE(parsed.at(8).extent);
    EXPECT_EQ(*parsed.at(8).extent, std::make_pair(-5, 10));
    EXPECT_TRUE(parsed.at(8).values.empty());
}

TEST(ControlProperties, Utf8DecodingReplacesBrokenSequences) {
    EXPECT_EQ(winkit::widen_utf8("a\xC3\xA9z"), L"a\u00E9z");
    EXPECT_EQ(winkit::widen_utf8("\xE2\x82"), L"\uFFFD\uFFFD");  // cut short
    EXPECT_EQ(winkit::widen_utf8("\xFF" "b"), L"\uFFFDb");
    const std::wstring astral = winkit::widen_utf8("\xF0\x9F\x98\x80");
    EXPECT_EQ(astral.size(), sizeof(wchar_t) == 2 ? 2u : 1u);
}

}  // namespace
