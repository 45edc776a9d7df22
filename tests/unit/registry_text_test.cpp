// The acceptance rule for string-value data, the UTF-16LE encoding of texts written, and
// the ASCII-only comparison, as tables of byte-level cases.

#include "settings/registry_text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "in_memory_registry.h"
#include "settings/registry_seam.h"
#include "settings/wide_text.h"

namespace {

std::wstring Repeat(wchar_t c, std::size_t count) { return std::wstring(count, c); }

std::u16string Repeat16(char16_t c, std::size_t count) { return std::u16string(count, c); }

// U+1F600 as a wide string: one wchar_t on Linux, a surrogate pair on Windows.
std::wstring Grinning() {
  std::wstring text;
  wide_text::AppendCodePoint(text, 0x1F600);
  return text;
}

struct AcceptCase {
  const char* name;
  std::uint32_t type;
  std::vector<std::uint8_t> data;
  std::optional<std::wstring> expected;
};

class AcceptRegistryTextTest : public ::testing::TestWithParam<AcceptCase> {};

TEST_P(AcceptRegistryTextTest, YieldsTextOrRejects) {
  const AcceptCase& c = GetParam();
  EXPECT_EQ(AcceptRegistryText(c.type, c.data), c.expected);
}

const std::vector<std::uint8_t> kTelecomWithNul = Utf16Bytes(u"Telecom" + std::u16string(1, u'\0'));

INSTANTIATE_TEST_SUITE_P(
    Table, AcceptRegistryTextTest,
    ::testing::Values(
        AcceptCase{"EmptyZeroBytes", kRegSz, {}, L""},
        AcceptCase{"LoneNul", kRegSz, {0, 0}, L""},
        AcceptCase{"TextWithNul", kRegSz, kTelecomWithNul, L"Telecom"},
        AcceptCase{"Text127WithNul", kRegSz, Utf16Bytes(Repeat16(u'a', 127) + u'\0'), Repeat(L'a', 127)},
        AcceptCase{"Text128WithoutNul", kRegSz, Utf16Bytes(Repeat16(u'a', 128)), std::nullopt},
        AcceptCase{"ThreeCharsWithoutNul", kRegSz, Utf16Bytes(u"abc"), std::nullopt},
        AcceptCase{"OneCharWithoutNul", kRegSz, Utf16Bytes(u"a"), std::nullopt},
        AcceptCase{"OddSevenBytes", kRegSz, {'a', 0, 'b', 0, 'c', 0, 0}, std::nullopt},
        // The unit before the stray byte is a NUL; the odd count alone must reject it.
        AcceptCase{"OddAfterNul", kRegSz, {'a', 0, 'b', 0, 0, 0, 0}, std::nullopt},
        AcceptCase{"OddOneByte", kRegSz, {0}, std::nullopt},
        AcceptCase{"EmbeddedNul", kRegSz, Utf16Bytes(std::u16string(u"Telecom\0x\0", 10)), L"Telecom"},
        AcceptCase{"LeadingNul", kRegSz, Utf16Bytes(std::u16string(u"\0abc\0", 5)), L""},
        AcceptCase{"TwoFinalNuls", kRegSz, Utf16Bytes(std::u16string(u"a\0\0", 3)), L"a"},
        AcceptCase{"ExpandSzNotExpanded", kRegExpandSz, Utf16Bytes(std::u16string(u"%TEMP%\\x\0", 9)),
                   L"%TEMP%\\x"},
        AcceptCase{"ExpandSzUnicom", kRegExpandSz, Utf16Bytes(std::u16string(u"Unicom\0", 7)), L"Unicom"},
        // REG_DWORD 2 would read as the text "\x02" if the type were not checked.
        AcceptCase{"Dword", kRegDword, {2, 0, 0, 0}, std::nullopt},
        AcceptCase{"MultiSz", kRegMultiSz, Utf16Bytes(std::u16string(u"Telecom\0\0", 9)), std::nullopt},
        AcceptCase{"Binary", kRegBinary, kTelecomWithNul, std::nullopt},
        AcceptCase{"RegNone", kRegNone, kTelecomWithNul, std::nullopt},
        AcceptCase{"RegLink", 6, kTelecomWithNul, std::nullopt},
        AcceptCase{"HugeType", 0xFFFFFFFFu, kTelecomWithNul, std::nullopt},
        // Byte order: 0x00 0x41 is U+4100, not "A".
        AcceptCase{"LittleEndian", kRegSz, {0x00, 0x41, 0, 0}, std::wstring(1, L'\x4100')},
        AcceptCase{"Chinese", kRegSz, Utf16Bytes(std::u16string(u"\u7535\u4fe1\0", 3)), L"\u7535\u4fe1"},
        AcceptCase{"SurrogatePair", kRegSz, Utf16Bytes(std::u16string(u"\xD83D\xDE00\0", 3)), Grinning()}),
    [](const ::testing::TestParamInfo<AcceptCase>& info) { return std::string(info.param.name); });

TEST(EncodeRegistryText, WritesUnitsAndOneNul) {
  EXPECT_EQ(EncodeRegistryText(L""), (std::vector<std::uint8_t>{0, 0}));
  EXPECT_EQ(EncodeRegistryText(L"Telecom"), kTelecomWithNul);
  // The sizes the settings are written with: (characters + 1) x 2.
  EXPECT_EQ(EncodeRegistryText(L"AutoSelect").size(), 22u);
  EXPECT_EQ(EncodeRegistryText(L"Unicom").size(), 14u);
  EXPECT_EQ(EncodeRegistryText(L"true").size(), 10u);
  EXPECT_EQ(EncodeRegistryText(L"false").size(), 12u);
  EXPECT_EQ(EncodeRegistryText(L"\u7535"), (std::vector<std::uint8_t>{0x35, 0x75, 0, 0}));
  EXPECT_EQ(EncodeRegistryText(Grinning()), (std::vector<std::uint8_t>{0x3D, 0xD8, 0x00, 0xDE, 0, 0}));
}

TEST(EncodeRegistryText, RoundTripsThroughTheAcceptanceRule) {
  for (const std::wstring& text : {std::wstring(L"a&b=c"), std::wstring(L" Telecom "), Repeat(L'z', 127),
                                   std::wstring(L"\u4e0b\u8f7d") + Grinning()}) {
    EXPECT_EQ(AcceptRegistryText(kRegSz, EncodeRegistryText(text)), text);
  }
}

TEST(AsciiIEquals, FoldsOnlyAsciiLetters) {
  const std::wstring supplementaryA = [] {
    std::wstring text;
    wide_text::AppendCodePoint(text, 0x10041);  // truncated to 16 bits it would be "A"
    return text;
  }();
  const struct {
    std::wstring_view a, b;
    bool equal;
  } cases[] = {
      {L"AutoSelect", L"autoselect", true},
      {L"TELECOM", L"Telecom", true},
      {L"uNiCoM", L"Unicom", true},
      {L"SWFINITIALZED", L"SwfInitialzed", true},
      {L"", L"", true},
      {L"Telecom ", L"Telecom", false},
      {L" Telecom", L"Telecom", false},
      {L"Telecomx", L"Telecom", false},
      {L"Teleco", L"Telecom", false},
      {L"", L"a", false},
      // Neighbours of the letters that a "| 0x20" fold would wrongly join.
      {L"@", L"`", false},
      {L"[", L"{", false},
      {L"\\", L"|", false},
      {L"]", L"}", false},
      {L"^", L"~", false},
      {L"1", L"\x11", false},
      // No folding outside ASCII.
      {L"\u00C9", L"\u00E9", false},
      {L"\u212A", L"k", false},
      {L"\u0130", L"i", false},
      {L"\uFF34", L"T", false},
      {supplementaryA, L"A", false},
      // Embedded NULs are part of the text.
      {std::wstring_view(L"A\0B", 3), std::wstring_view(L"a\0b", 3), true},
      {std::wstring_view(L"A\0", 2), L"A", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(AsciiIEquals(c.a, c.b), c.equal) << "\"" << std::wstring(c.a) << "\" vs \"" << std::wstring(c.b) << "\"";
    EXPECT_EQ(AsciiIEquals(c.b, c.a), c.equal) << "symmetric";
  }
}

}  // namespace
