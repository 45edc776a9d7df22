// CClientSettings over the in-memory registry: defaults, the 128-unit read buffer, line and
// flag texts, writes with their exact bytes, and that every path closes what it opened.

#include "settings/client_settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "in_memory_registry.h"
#include "settings/registry_seam.h"

namespace {

const std::wstring kKey = L"Corvelle\\PlaynookClient";

std::u16string WithNul(std::u16string text) { return text + u'\0'; }

// Every test ends with each successful open or create matched by exactly one close.
class SettingsTest : public ::testing::Test {
 protected:
  void TearDown() override {
    EXPECT_EQ(registry.OpenHandles(), 0u) << "a key was left open";
    EXPECT_EQ(registry.BadHandleUses(), 0) << "a handle was used that was not open";
    EXPECT_EQ(registry.Closes(), registry.SuccessfulOpens());
  }

  void Plant(const std::wstring& name, std::uint32_t type, std::vector<std::uint8_t> data) {
    registry.PlantValue(kKey, name, type, std::move(data));
  }

  std::size_t CallsStartingWith(const std::wstring& prefix) const {
    return static_cast<std::size_t>(std::count_if(registry.Calls().begin(), registry.Calls().end(),
                                                  [&](const std::wstring& call) { return call.starts_with(prefix); }));
  }

  InMemoryRegistry registry;
  CClientSettings settings{registry};
};

TEST_F(SettingsTest, WithoutTheKeyReadsGiveDefaultsAndCreateNothing) {
  EXPECT_EQ(settings.ReadStringValue(L"DownloadSource"), L"Unknown");
  EXPECT_EQ(settings.GetSelectedServer(), None);
  EXPECT_FALSE(settings.GetRemindServerSelect());

  EXPECT_EQ(registry.KeyCount(), 0u);
  EXPECT_EQ(registry.SuccessfulOpens(), 0);
  EXPECT_EQ(CallsStartingWith(L"create"), 0u);
  EXPECT_EQ(CallsStartingWith(L"close"), 0u) << "a failed open leaves nothing to close";
  EXPECT_EQ(registry.Calls().front(), L"open Corvelle\\PlaynookClient 0x20019");
}

TEST_F(SettingsTest, ReadsAreOneOpenOneQueryOfTheWholeBufferOneClose) {
  registry.PlantText(kKey, L"DownloadSource", L"web");
  EXPECT_EQ(settings.ReadStringValue(L"DownloadSource"), L"web");
  EXPECT_EQ(registry.Calls(), (std::vector<std::wstring>{L"open Corvelle\\PlaynookClient 0x20019",
                                                         L"query DownloadSource 256", L"close"}));
}

TEST_F(SettingsTest, AFailedOpenYieldsDefaultsAndClosesNothing) {
  registry.PlantText(kKey, L"SelectedServer", L"Telecom");
  registry.PlantText(kKey, L"RemindServerSelect", L"true");
  registry.FailOpensWith(kRegistryAccessDenied);
  EXPECT_EQ(settings.ReadStringValue(L"SelectedServer"), L"Unknown");
  EXPECT_EQ(settings.GetSelectedServer(), None);
  EXPECT_FALSE(settings.GetRemindServerSelect());
  EXPECT_EQ(CallsStartingWith(L"close"), 0u);
}

TEST_F(SettingsTest, EachReadSeesTheCurrentContent) {
  registry.PlantText(kKey, L"SelectedServer", L"Telecom");
  EXPECT_EQ(settings.GetSelectedServer(), Telecom);
  registry.PlantText(kKey, L"SelectedServer", L"unicom");
  EXPECT_EQ(settings.GetSelectedServer(), Unicom);
}

struct ReadCase {
  const char* name;
  std::uint32_t type;
  std::vector<std::uint8_t> data;
  std::wstring expected;
};

class ReadStringValueTest : public SettingsTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(ReadStringValueTest, ReadsThroughTheBuffer) {
  Plant(L"DownloadSource", GetParam().type, GetParam().data);
  EXPECT_EQ(settings.ReadStringValue(L"DownloadSource"), GetParam().expected);
  EXPECT_EQ(registry.SuccessfulOpens(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ReadStringValueTest,
    ::testing::Values(
        ReadCase{"EmptyZeroBytes", kRegSz, {}, L""},
        ReadCase{"LoneNul", kRegSz, {0, 0}, L""},
        ReadCase{"Unchanged", kRegSz, Utf16Bytes(WithNul(u"a&b=c <x> \"q\"")), L"a&b=c <x> \"q\""},
        ReadCase{"Text127WithNulIsReadWhole", kRegSz, Utf16Bytes(WithNul(std::u16string(127, u'd'))),
                 std::wstring(127, L'd')},
        ReadCase{"Text128WithNul258BytesIsTooLong", kRegSz, Utf16Bytes(WithNul(std::u16string(128, u'd'))),
                 L"Unknown"},
        ReadCase{"Text128WithoutNul256Bytes", kRegSz, Utf16Bytes(std::u16string(128, u'd')), L"Unknown"},
        ReadCase{"ThreeCharsWithoutNul", kRegSz, Utf16Bytes(u"abc"), L"Unknown"},
        ReadCase{"OddSevenBytes", kRegSz, {'a', 0, 'b', 0, 'c', 0, 0}, L"Unknown"},
        ReadCase{"ExpandSzTakenAsStored", kRegExpandSz, Utf16Bytes(WithNul(u"%APPDATA%")), L"%APPDATA%"},
        ReadCase{"Dword", kRegDword, {1, 0, 0, 0}, L"Unknown"},
        ReadCase{"MultiSz", kRegMultiSz, Utf16Bytes(std::u16string(u"web\0\0", 5)), L"Unknown"},
        ReadCase{"Binary", kRegBinary, Utf16Bytes(WithNul(u"web")), L"Unknown"}),
    [](const ::testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

TEST_F(SettingsTest, AMissingValueInAnExistingKeyIsUnknown) {
  registry.PlantText(kKey, L"SelectedServer", L"Telecom");
  EXPECT_EQ(settings.ReadStringValue(L"DownloadSource"), L"Unknown");
  EXPECT_EQ(registry.SuccessfulOpens(), 1);
}

struct LineCase {
  const char* name;
  std::uint32_t type;
  std::vector<std::uint8_t> data;
  ServerLine expected;
};

class GetSelectedServerTest : public SettingsTest, public ::testing::WithParamInterface<LineCase> {};

TEST_P(GetSelectedServerTest, MapsTheStoredText) {
  Plant(L"SelectedServer", GetParam().type, GetParam().data);
  EXPECT_EQ(settings.GetSelectedServer(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, GetSelectedServerTest,
    ::testing::Values(LineCase{"AutoSelect", kRegSz, Utf16Bytes(WithNul(u"AutoSelect")), AutoSelect},
                      LineCase{"AllSmall", kRegSz, Utf16Bytes(WithNul(u"autoselect")), AutoSelect},
                      LineCase{"AllCapitals", kRegSz, Utf16Bytes(WithNul(u"TELECOM")), Telecom},
                      LineCase{"Mixed", kRegSz, Utf16Bytes(WithNul(u"uNiCoM")), Unicom},
                      LineCase{"LeadingBlank", kRegSz, Utf16Bytes(WithNul(u" Telecom")), None},
                      LineCase{"TrailingBlank", kRegSz, Utf16Bytes(WithNul(u"Telecom ")), None},
                      LineCase{"LongerText", kRegSz, Utf16Bytes(WithNul(u"ChinaTelecom")), None},
                      LineCase{"EndsAtFirstNul", kRegSz, Utf16Bytes(std::u16string(u"Telecom\0x\0", 10)), Telecom},
                      LineCase{"ExpandSz", kRegExpandSz, Utf16Bytes(WithNul(u"Unicom")), Unicom},
                      LineCase{"Dword2", kRegDword, {2, 0, 0, 0}, None},
                      LineCase{"Empty", kRegSz, {}, None},
                      LineCase{"WordNone", kRegSz, Utf16Bytes(WithNul(u"None")), None},
                      LineCase{"Digit", kRegSz, Utf16Bytes(WithNul(u"2")), None}),
    [](const ::testing::TestParamInfo<LineCase>& info) { return std::string(info.param.name); });

struct RemindCase {
  const char* name;
  std::uint32_t type;
  std::vector<std::uint8_t> data;
  bool expected;
};

class GetRemindServerSelectTest : public SettingsTest, public ::testing::WithParamInterface<RemindCase> {};

TEST_P(GetRemindServerSelectTest, IsTrueOnlyForTrue) {
  Plant(L"RemindServerSelect", GetParam().type, GetParam().data);
  EXPECT_EQ(settings.GetRemindServerSelect(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, GetRemindServerSelectTest,
    ::testing::Values(RemindCase{"True", kRegSz, Utf16Bytes(WithNul(u"true")), true},
                      RemindCase{"Capitals", kRegSz, Utf16Bytes(WithNul(u"TRUE")), true},
                      RemindCase{"ExpandSz", kRegExpandSz, Utf16Bytes(WithNul(u"True")), true},
                      RemindCase{"False", kRegSz, Utf16Bytes(WithNul(u"false")), false},
                      RemindCase{"DigitOne", kRegSz, Utf16Bytes(WithNul(u"1")), false},
                      RemindCase{"Yes", kRegSz, Utf16Bytes(WithNul(u"yes")), false},
                      RemindCase{"Empty", kRegSz, Utf16Bytes(WithNul(u"")), false},
                      RemindCase{"TrailingBlank", kRegSz, Utf16Bytes(WithNul(u"true ")), false},
                      RemindCase{"TrueWithoutNul", kRegSz, Utf16Bytes(u"true"), false},
                      RemindCase{"Dword1", kRegDword, {1, 0, 0, 0}, false}),
    [](const ::testing::TestParamInfo<RemindCase>& info) { return std::string(info.param.name); });

TEST_F(SettingsTest, AMissingRemindValueIsFalse) {
  registry.PlantText(kKey, L"SelectedServer", L"Telecom");
  EXPECT_FALSE(settings.GetRemindServerSelect());
}

TEST_F(SettingsTest, TheFirstWriteCreatesBothLevelsAndStoresExactBytes) {
  settings.SetSelectedServer(Telecom);

  EXPECT_TRUE(registry.HasKey(L"Corvelle"));
  EXPECT_TRUE(registry.HasKey(kKey));
  const std::optional<StoredValue> stored = registry.Value(kKey, L"SelectedServer");
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(stored->type, kRegSz);
  EXPECT_EQ(stored->data, Utf16Bytes(WithNul(u"Telecom")));
  EXPECT_EQ(stored->data.size(), 16u);
  EXPECT_EQ(registry.Calls().front(), L"create Corvelle\\PlaynookClient 0x2001f");

  EXPECT_EQ(settings.GetSelectedServer(), Telecom);
}

TEST_F(SettingsTest, SetSelectedServerStoresTheLineText) {
  const struct {
    int line;
    std::u16string text;
  } cases[] = {{1, u"AutoSelect"}, {2, u"Telecom"}, {3, u"Unicom"}, {4, u"Unicom"},
               {0, u"Unicom"},     {5, u"Unicom"},  {-1, u"Unicom"}};
  for (const auto& c : cases) {
    settings.SetSelectedServer(static_cast<ServerLine>(c.line));
    const std::optional<StoredValue> stored = registry.Value(kKey, L"SelectedServer");
    ASSERT_TRUE(stored.has_value());
    EXPECT_EQ(stored->type, kRegSz) << c.line;
    EXPECT_EQ(stored->data, Utf16Bytes(WithNul(c.text))) << c.line;
  }
}

TEST_F(SettingsTest, LinesRoundTrip) {
  for (ServerLine line : {AutoSelect, Telecom, Unicom}) {
    settings.SetSelectedServer(line);
    EXPECT_EQ(settings.GetSelectedServer(), line);
  }
}

TEST_F(SettingsTest, RemindFlagIsStoredAsTrueOrFalse) {
  settings.SetRemindServerSelect(false);
  EXPECT_EQ(registry.Value(kKey, L"RemindServerSelect")->data, Utf16Bytes(WithNul(u"false")));
  EXPECT_EQ(registry.Value(kKey, L"RemindServerSelect")->data.size(), 12u);
  EXPECT_FALSE(settings.GetRemindServerSelect());

  settings.SetRemindServerSelect(true);
  EXPECT_EQ(registry.Value(kKey, L"RemindServerSelect")->type, kRegSz);
  EXPECT_EQ(registry.Value(kKey, L"RemindServerSelect")->data, Utf16Bytes(WithNul(u"true")));
  EXPECT_TRUE(settings.GetRemindServerSelect());
}

TEST_F(SettingsTest, AWriteReplacesAValueOfAnotherType) {
  Plant(L"SelectedServer", kRegDword, {2, 0, 0, 0});
  settings.SetSelectedServer(AutoSelect);
  EXPECT_EQ(registry.Value(kKey, L"SelectedServer")->type, kRegSz);
  EXPECT_EQ(settings.GetSelectedServer(), AutoSelect);
}

TEST_F(SettingsTest, AFailedCreateDropsTheWriteAndClosesNothing) {
  registry.FailCreatesWith(kRegistryAccessDenied);
  settings.SetSelectedServer(Telecom);
  settings.SetRemindServerSelect(true);
  EXPECT_EQ(registry.KeyCount(), 0u);
  EXPECT_EQ(CallsStartingWith(L"set"), 0u);
  EXPECT_EQ(CallsStartingWith(L"close"), 0u);
  EXPECT_EQ(settings.GetSelectedServer(), None);
}

TEST_F(SettingsTest, AFailedSetStillClosesTheKey) {
  registry.PlantText(kKey, L"SelectedServer", L"Unicom");
  registry.FailSetsWith(kRegistryAccessDenied);
  settings.SetSelectedServer(Telecom);
  EXPECT_EQ(CallsStartingWith(L"close"), 1u);
  EXPECT_EQ(settings.GetSelectedServer(), Unicom) << "the old value stays";
}

}  // namespace
