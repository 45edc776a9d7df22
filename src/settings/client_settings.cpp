#include "settings/client_settings.h"

#include <array>
#include <cstdint>
#include <optional>

#include "settings/registry_text.h"

CClientSettings::CClientSettings(RegistrySeam& registry)
    : m_strKeyPath(kSettingsKeyPath),
      m_strSelectedServerName(kSelectedServerValueName),
      m_strRemindServerSelectName(kRemindServerSelectValueName),
      m_registry(&registry) {}

std::wstring CClientSettings::ReadStringValue(const std::wstring& valueName) const {
  std::wstring text = kUnknownSettingText;
  ReadText(valueName, text);
  return text;
}

ServerLine CClientSettings::GetSelectedServer() const {
  std::wstring text;
  if (!ReadText(m_strSelectedServerName, text)) return None;
  return ServerLineFromText(text);
}

void CClientSettings::SetSelectedServer(ServerLine line) const {
  WriteText(m_strSelectedServerName, ServerLineText(line));
}

bool CClientSettings::GetRemindServerSelect() const {
  std::wstring text;
  return ReadText(m_strRemindServerSelectName, text) && AsciiIEquals(text, L"true");
}

void CClientSettings::SetRemindServerSelect(bool remind) const {
  WriteText(m_strRemindServerSelectName, remind ? L"true" : L"false");
}

// Replaces text only when the value reads as a text; the key is closed on every path.
bool CClientSettings::ReadText(const std::wstring& valueName, std::wstring& text) const {
  const ScopedRegistryKey key =
      ScopedRegistryKey::Open(*m_registry, RegistryRoot::ClassesRoot, m_strKeyPath, kRegKeyRead);
  if (!key) return false;

  std::array<std::uint8_t, kReadBufferBytes> buffer{};
  std::uint32_t type = kRegNone;
  std::uint32_t size = static_cast<std::uint32_t>(buffer.size());
  if (m_registry->QueryValue(key.Get(), valueName, type, buffer, size) != kRegistrySuccess) return false;
  // A registry that claims more data than the buffer holds is not trusted.
  if (size > buffer.size()) return false;

  std::optional<std::wstring> accepted = AcceptRegistryText(type, std::span(buffer).first(size));
  if (!accepted) return false;
  text = std::move(*accepted);
  return true;
}

void CClientSettings::WriteText(const std::wstring& valueName, std::wstring_view text) const {
  const ScopedRegistryKey key =
      ScopedRegistryKey::Create(*m_registry, RegistryRoot::ClassesRoot, m_strKeyPath, kRegKeyReadWrite);
  if (!key) return;
  // The result is not examined: a failed write leaves the old value or the default.
  m_registry->SetValue(key.Get(), valueName, kRegSz, EncodeRegistryText(text));
}
