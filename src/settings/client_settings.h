#pragma once
// The client's persistent settings: string values under HKEY_CLASSES_ROOT
// "Corvelle\PlaynookClient". Every operation opens the key, makes one read or one write
// and closes it again; nothing is cached and no failure is reported. A read that fails
// yields its default ("Unknown", None, false); a write that fails leaves no trace.

#include <string>

#include "settings/registry_seam.h"
#include "settings/server_line.h"

class CClientSettings {
 public:
  // Uses the system registry (defined in win32_registry.cpp, Windows build only).
  CClientSettings();
  // Uses the given registry; it must outlive this object.
  explicit CClientSettings(RegistrySeam& registry);

  // The text of the named value, possibly empty, or "Unknown" when it cannot be read.
  std::wstring ReadStringValue(const std::wstring& valueName) const;

  // The line stored in "SelectedServer"; None when unreadable or not a line's text.
  ServerLine GetSelectedServer() const;
  // Stores the line's text (any code other than AutoSelect and Telecom stores "Unicom").
  void SetSelectedServer(ServerLine line) const;

  // True only when "RemindServerSelect" reads as "true" in any ASCII letter case.
  bool GetRemindServerSelect() const;
  void SetRemindServerSelect(bool remind) const;

  // A value is read into a buffer of 128 UTF-16 units that must also hold the final NUL.
  static constexpr std::size_t kReadBufferUnits = 128;
  static constexpr std::size_t kReadBufferBytes = kReadBufferUnits * 2;

 private:
  bool ReadText(const std::wstring& valueName, std::wstring& text) const;
  void WriteText(const std::wstring& valueName, std::wstring_view text) const;

  std::wstring m_strKeyPath;
  std::wstring m_strSelectedServerName;
  std::wstring m_strRemindServerSelectName;
  RegistrySeam* m_registry;
};

// The texts the store uses, for callers and tests that name them.
inline constexpr wchar_t kSettingsKeyPath[] = L"Corvelle\\PlaynookClient";
inline constexpr wchar_t kSelectedServerValueName[] = L"SelectedServer";
inline constexpr wchar_t kRemindServerSelectValueName[] = L"RemindServerSelect";
inline constexpr wchar_t kUnknownSettingText[] = L"Unknown";
