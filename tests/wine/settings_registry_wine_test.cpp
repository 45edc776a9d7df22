// CClientSettings over the real registry of the Wine prefix: values planted with exact
// bytes and types through RegSetValueExW, read back through the store, written by the
// store and read back raw. Each test starts with no HKCR\Corvelle\PlaynookClient; the
// "Corvelle" key is removed only when this program created it.

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "settings/client_settings.h"
#include "settings/registry_text.h"

namespace {

const wchar_t kParentPath[] = L"Corvelle";
const wchar_t kKeyPath[] = L"Corvelle\\PlaynookClient";

class UniqueHkey {
 public:
  UniqueHkey() = default;
  explicit UniqueHkey(HKEY key) : m_key(key) {}
  UniqueHkey(const UniqueHkey&) = delete;
  UniqueHkey& operator=(const UniqueHkey&) = delete;
  ~UniqueHkey() {
    if (m_key != nullptr) RegCloseKey(m_key);
  }
  HKEY get() const { return m_key; }
  HKEY* put() { return &m_key; }

 private:
  HKEY m_key = nullptr;
};

bool KeyExists(const wchar_t* path) {
  UniqueHkey key;
  return RegOpenKeyExW(HKEY_CLASSES_ROOT, path, 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

void DeleteSettingsKey() {
  RegDeleteTreeW(HKEY_CLASSES_ROOT, kKeyPath);
  RegDeleteKeyW(HKEY_CLASSES_ROOT, kKeyPath);
}

// Whether "Corvelle" was there before this program ran: if not, it is ours to remove.
bool g_parentWasThere = false;

class RegistryCleanup : public ::testing::Environment {
 public:
  void SetUp() override { g_parentWasThere = KeyExists(kParentPath); }
  void TearDown() override {
    DeleteSettingsKey();
    if (!g_parentWasThere) RegDeleteKeyW(HKEY_CLASSES_ROOT, kParentPath);  // fails if anything else is inside
  }
};
const auto* const kCleanup = ::testing::AddGlobalTestEnvironment(new RegistryCleanup);

struct RawValue {
  DWORD type = REG_NONE;
  std::vector<std::uint8_t> data;
};

std::optional<RawValue> ReadRaw(const wchar_t* name) {
  UniqueHkey key;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, kKeyPath, 0, KEY_READ, key.put()) != ERROR_SUCCESS) return std::nullopt;
  RawValue value;
  value.data.resize(1024);
  DWORD size = static_cast<DWORD>(value.data.size());
  if (RegQueryValueExW(key.get(), name, nullptr, &value.type, value.data.data(), &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  value.data.resize(size);
  return value;
}

std::vector<std::uint8_t> Bytes(const std::u16string& units) {
  std::vector<std::uint8_t> bytes;
  for (char16_t unit : units) {
    bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
  }
  return bytes;
}
std::u16string WithNul(std::u16string text) { return text + u'\0'; }

class SettingsRegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DeleteSettingsKey();
    if (!g_parentWasThere) RegDeleteKeyW(HKEY_CLASSES_ROOT, kParentPath);
    ASSERT_FALSE(KeyExists(kKeyPath)) << "could not remove the settings key";
  }

  // Stores exactly these bytes. RegSetValueExW looks at the unit just past a string's
  // byte count and counts it too when it is a NUL (NT does so, and Wine with it), so the
  // bytes are followed by a non-NUL guard unit that is not part of the count.
  static void Plant(const wchar_t* name, DWORD type, const std::vector<std::uint8_t>& data) {
    std::vector<std::uint8_t> guarded = data;
    guarded.insert(guarded.end(), {0xFF, 0xFF, 0xFF});
    {
      UniqueHkey key;
      ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, kKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                nullptr, key.put(), nullptr),
                ERROR_SUCCESS);
      ASSERT_EQ(RegSetValueExW(key.get(), name, 0, type, guarded.data(), static_cast<DWORD>(data.size())),
                ERROR_SUCCESS);
    }
    const std::optional<RawValue> stored = ReadRaw(name);
    ASSERT_TRUE(stored.has_value());
    ASSERT_EQ(stored->data, data) << "the registry did not store the bytes as given";
  }

  CClientSettings settings;  // the system registry
};

TEST_F(SettingsRegistryTest, WithoutTheKeyReadsGiveDefaultsAndLeaveNoKey) {
  EXPECT_EQ(settings.ReadStringValue(L"DownloadSource"), L"Unknown");
  EXPECT_EQ(settings.GetSelectedServer(), None);
  EXPECT_FALSE(settings.GetRemindServerSelect());
  EXPECT_FALSE(KeyExists(kKeyPath));
  if (!g_parentWasThere) {
    EXPECT_FALSE(KeyExists(kParentPath));
  }
}

struct PlantedCase {
  const char* name;
  DWORD type;
  std::vector<std::uint8_t> data;
  std::wstring expected;
};

class PlantedDownloadSourceTest : public SettingsRegistryTest, public ::testing::WithParamInterface<PlantedCase> {};

TEST_P(PlantedDownloadSourceTest, ReadsAsTheAcceptanceRuleSays) {
  Plant(L"DownloadSource", GetParam().type, GetParam().data);
  EXPECT_EQ(settings.ReadStringValue(L"DownloadSource"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PlantedDownloadSourceTest,
    ::testing::Values(
        PlantedCase{"EmptyZeroBytes", REG_SZ, {}, L""},
        PlantedCase{"LoneNul", REG_SZ, {0, 0}, L""},
        PlantedCase{"Unchanged", REG_SZ, Bytes(WithNul(u"a&b=c <\"x\">")), L"a&b=c <\"x\">"},
        PlantedCase{"Chinese", REG_SZ, Bytes(WithNul(u"\u5b98\u7f51")), L"\u5b98\u7f51"},
        PlantedCase{"Text127WithNul", REG_SZ, Bytes(WithNul(std::u16string(127, u'd'))), std::wstring(127, L'd')},
        PlantedCase{"Text128WithNul258Bytes", REG_SZ, Bytes(WithNul(std::u16string(128, u'd'))), L"Unknown"},
        PlantedCase{"Text128WithoutNul256Bytes", REG_SZ, Bytes(std::u16string(128, u'd')), L"Unknown"},
        PlantedCase{"ThreeCharsWithoutNul", REG_SZ, Bytes(u"abc"), L"Unknown"},
        PlantedCase{"OddSevenBytes", REG_SZ, {'a', 0, 'b', 0, 'c', 0, 0}, L"Unknown"},
        PlantedCase{"EmbeddedNul", REG_SZ, Bytes(std::u16string(u"web\0x\0", 6)), L"web"},
        PlantedCase{"ExpandSzNotExpanded", REG_EXPAND_SZ, Bytes(WithNul(u"%SystemRoot%")), L"%SystemRoot%"},
        PlantedCase{"Dword", REG_DWORD, {2, 0, 0, 0}, L"Unknown"},
        PlantedCase{"MultiSz", REG_MULTI_SZ, Bytes(std::u16string(u"web\0\0", 5)), L"Unknown"},
        PlantedCase{"Binary", REG_BINARY, Bytes(WithNul(u"web")), L"Unknown"}),
    [](const ::testing::TestParamInfo<PlantedCase>& info) { return std::string(info.param.name); });

TEST_F(SettingsRegistryTest, PlantedLinesAndFlags) {
  const struct {
    DWORD type;
    std::vector<std::uint8_t> data;
    ServerLine line;
  } lines[] = {
      {REG_SZ, Bytes(WithNul(u"TELECOM")), Telecom},
      {REG_SZ, Bytes(WithNul(u"autoselect")), AutoSelect},
      {REG_EXPAND_SZ, Bytes(WithNul(u"Unicom")), Unicom},
      {REG_SZ, Bytes(std::u16string(u"Telecom\0x\0", 10)), Telecom},
      {REG_SZ, Bytes(WithNul(u"Telecom ")), None},
      {REG_DWORD, {2, 0, 0, 0}, None},
  };
  for (const auto& c : lines) {
    Plant(L"SelectedServer", c.type, c.data);
    EXPECT_EQ(settings.GetSelectedServer(), c.line);
  }
  const struct {
    std::vector<std::uint8_t> data;
    bool remind;
  } flags[] = {{Bytes(WithNul(u"TRUE")), true}, {Bytes(WithNul(u"1")), false}, {Bytes(WithNul(u"yes")), false},
               {Bytes(WithNul(u"")), false}};
  for (const auto& c : flags) {
    Plant(L"RemindServerSelect", REG_SZ, c.data);
    EXPECT_EQ(settings.GetRemindServerSelect(), c.remind);
  }
}

TEST_F(SettingsRegistryTest, TheFirstWriteCreatesBothLevelsWithExactBytes) {
  settings.SetSelectedServer(Telecom);
  if (!g_parentWasThere) {
    EXPECT_TRUE(KeyExists(kParentPath));
  }
  ASSERT_TRUE(KeyExists(kKeyPath));
  const std::optional<RawValue> stored = ReadRaw(L"SelectedServer");
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(stored->type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(stored->data, Bytes(WithNul(u"Telecom")));
  EXPECT_EQ(stored->data.size(), 16u);
  EXPECT_EQ(settings.GetSelectedServer(), Telecom);
}

TEST_F(SettingsRegistryTest, WritesRoundTrip) {
  for (ServerLine line : {AutoSelect, Telecom, Unicom}) {
    settings.SetSelectedServer(line);
    EXPECT_EQ(settings.GetSelectedServer(), line);
  }
  settings.SetSelectedServer(None);
  EXPECT_EQ(ReadRaw(L"SelectedServer")->data, Bytes(WithNul(u"Unicom")));

  settings.SetRemindServerSelect(false);
  EXPECT_EQ(ReadRaw(L"RemindServerSelect")->data, Bytes(WithNul(u"false")));
  EXPECT_FALSE(settings.GetRemindServerSelect());
  settings.SetRemindServerSelect(true);
  EXPECT_EQ(ReadRaw(L"RemindServerSelect")->data.size(), 10u);
  EXPECT_TRUE(settings.GetRemindServerSelect());
}

TEST_F(SettingsRegistryTest, AWriteReplacesAPlantedValueOfAnotherType) {
  Plant(L"SelectedServer", REG_DWORD, {2, 0, 0, 0});
  settings.SetSelectedServer(AutoSelect);
  EXPECT_EQ(ReadRaw(L"SelectedServer")->type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(ReadRaw(L"SelectedServer")->data.size(), 22u);
}

}  // namespace
