#pragma once
// A registry in memory for the settings tests. It behaves like the Win32 calls the store
// relies on (ERROR_MORE_DATA when the buffer is too small, keys created along the path,
// case-insensitive key and value names) and keeps count of what was opened and closed,
// so that a test can see a leaked or doubly closed handle.

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "settings/registry_seam.h"

struct StoredValue {
  std::uint32_t type = kRegNone;
  std::vector<std::uint8_t> data;
};

class InMemoryRegistry final : public RegistrySeam {
 public:
  // Planting and inspecting the store directly (no handles involved).
  void PlantValue(const std::wstring& keyPath, const std::wstring& name, std::uint32_t type,
                  std::vector<std::uint8_t> data);
  void PlantText(const std::wstring& keyPath, const std::wstring& name, const std::wstring& text);
  bool HasKey(const std::wstring& keyPath) const;
  std::optional<StoredValue> Value(const std::wstring& keyPath, const std::wstring& name) const;
  std::size_t KeyCount() const { return m_keys.size(); }

  // Make the next opens or creates fail with this status (kRegistrySuccess: succeed).
  void FailOpensWith(RegistryStatus status) { m_openFailure = status; }
  void FailCreatesWith(RegistryStatus status) { m_createFailure = status; }
  void FailSetsWith(RegistryStatus status) { m_setFailure = status; }

  // Handle bookkeeping.
  int SuccessfulOpens() const { return m_successfulOpens; }
  int Closes() const { return m_closes; }
  std::size_t OpenHandles() const { return m_open.size(); }
  int BadHandleUses() const { return m_badHandleUses; }

  // Every call in order, e.g. L"open Corvelle\\PlaynookClient 0x20019", L"query SelectedServer".
  const std::vector<std::wstring>& Calls() const { return m_calls; }

  RegistryStatus OpenKey(RegistryRoot root, const std::wstring& path, std::uint32_t access,
                         RegistryKeyHandle& key) override;
  RegistryStatus QueryValue(RegistryKeyHandle key, const std::wstring& name, std::uint32_t& type,
                            std::span<std::uint8_t> buffer, std::uint32_t& size) override;
  RegistryStatus CreateKey(RegistryRoot root, const std::wstring& path, std::uint32_t access,
                           RegistryKeyHandle& key) override;
  RegistryStatus SetValue(RegistryKeyHandle key, const std::wstring& name, std::uint32_t type,
                          std::span<const std::uint8_t> data) override;
  void CloseKey(RegistryKeyHandle key) override;

 private:
  struct OpenKeyRecord {
    std::wstring path;  // folded
    std::uint32_t access;
  };
  using ValueMap = std::map<std::wstring, StoredValue>;  // by folded name

  RegistryKeyHandle Issue(const std::wstring& foldedPath, std::uint32_t access);
  const OpenKeyRecord* Lookup(RegistryKeyHandle key);

  std::map<std::wstring, ValueMap> m_keys;  // by folded full path
  std::map<RegistryKeyHandle, OpenKeyRecord> m_open;
  RegistryKeyHandle m_nextHandle = 0x1000;
  RegistryStatus m_openFailure = kRegistrySuccess;
  RegistryStatus m_createFailure = kRegistrySuccess;
  RegistryStatus m_setFailure = kRegistrySuccess;
  int m_successfulOpens = 0;
  int m_closes = 0;
  int m_badHandleUses = 0;
  std::vector<std::wstring> m_calls;
};

// UTF-16LE bytes of the given units, exactly as listed (no NUL added).
std::vector<std::uint8_t> Utf16Bytes(const std::u16string& units);
