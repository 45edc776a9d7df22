// The settings store against whatever a registry value may hold: any type, any bytes.
// Input: one byte choosing the value type, then the value's data. The same data is
// planted under the three settings, and each read must give exactly what the acceptance
// rule allows (the text, or the setting's default), closing every key it opened.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "in_memory_registry.h"
#include "settings/client_settings.h"
#include "settings/registry_text.h"
#include "settings/server_line.h"

namespace {

void Require(bool holds) {
  if (!holds) std::abort();
}

std::uint32_t TypeFrom(std::uint8_t selector) {
  // REG_NONE .. REG_MULTI_SZ, REG_QWORD, and a type no registry defines.
  constexpr std::uint32_t kTypes[] = {0, 1, 2, 3, 4, 5, 6, 7, 11, 0xFFFFFFFF};
  return kTypes[selector % std::size(kTypes)];
}

unsigned UnitAt(std::span<const std::uint8_t> data, std::size_t i) { return data[2 * i] | (data[2 * i + 1] << 8); }

bool AsciiFoldEquals(const std::wstring& text, std::wstring_view word) {
  if (text.size() != word.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    wchar_t a = text[i], b = word[i];
    if (a >= L'A' && a <= L'Z') a = static_cast<wchar_t>(a - L'A' + L'a');
    if (b >= L'A' && b <= L'Z') b = static_cast<wchar_t>(b - L'A' + L'a');
    if (a != b) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint32_t type = TypeFrom(data[0]);
  const std::span<const std::uint8_t> value(data + 1, size - 1);

  // The rule, as the store documents it: a string type, whole UTF-16 units, ending in a
  // NUL unit unless empty; the text runs to the first NUL.
  const std::size_t units = value.size() / 2;
  const bool readable = (type == kRegSz || type == kRegExpandSz) && value.size() % 2 == 0 &&
                        (units == 0 || UnitAt(value, units - 1) == 0);
  const std::optional<std::wstring> accepted = AcceptRegistryText(type, value);
  Require(accepted.has_value() == readable);
  if (accepted) {
    std::size_t length = 0;
    while (length < units && UnitAt(value, length) != 0) ++length;
    // Written back, the text gives the same units up to that NUL, and one NUL after them.
    const std::vector<std::uint8_t> encoded = EncodeRegistryText(*accepted);
    Require(encoded.size() == 2 * (length + 1));
    Require(std::equal(encoded.begin(), encoded.end() - 2, value.begin()));
    Require(encoded[encoded.size() - 2] == 0 && encoded.back() == 0);
    Require(AcceptRegistryText(kRegSz, encoded) == accepted);
  }

  InMemoryRegistry registry;
  const std::vector<std::uint8_t> bytes(value.begin(), value.end());
  for (const wchar_t* name : {L"DownloadSource", kSelectedServerValueName, kRemindServerSelectValueName})
    registry.PlantValue(kSettingsKeyPath, name, type, bytes);
  const CClientSettings settings(registry);
  // The store reads into 128 units; a longer value is not read at all.
  const bool fits = value.size() <= CClientSettings::kReadBufferBytes;
  const std::wstring source = settings.ReadStringValue(L"DownloadSource");
  Require(source == (readable && fits ? *accepted : std::wstring(kUnknownSettingText)));

  const ServerLine line = settings.GetSelectedServer();
  if (!(readable && fits)) {
    Require(line == None);
  } else {
    const bool names = AsciiFoldEquals(*accepted, kServerTextAutoSelect) ||
                       AsciiFoldEquals(*accepted, kServerTextTelecom) || AsciiFoldEquals(*accepted, kServerTextUnicom);
    Require((line != None) == names);
    if (line != None) Require(AsciiFoldEquals(*accepted, ServerLineText(line)));
  }
  Require(settings.GetRemindServerSelect() == (readable && fits && AsciiFoldEquals(*accepted, L"true")));

  Require(registry.OpenHandles() == 0);
  Require(registry.BadHandleUses() == 0);
  Require(registry.SuccessfulOpens() == registry.Closes());
  return 0;
}
