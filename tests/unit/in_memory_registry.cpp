#include "in_memory_registry.h"

#include <algorithm>
#include <sstream>

#include "settings/registry_text.h"

namespace {

// Registry names compare without regard to case; ASCII folding is enough for the tests.
std::wstring Fold(const std::wstring& name) {
  std::wstring folded = name;
  for (wchar_t& c : folded) {
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
  }
  return folded;
}

std::wstring Hex(std::uint32_t value) {
  std::wostringstream out;
  out << L"0x" << std::hex << value;
  return out.str();
}

}  // namespace

void InMemoryRegistry::PlantValue(const std::wstring& keyPath, const std::wstring& name, std::uint32_t type,
                                  std::vector<std::uint8_t> data) {
  m_keys[Fold(keyPath)][Fold(name)] = StoredValue{type, std::move(data)};
}

void InMemoryRegistry::PlantText(const std::wstring& keyPath, const std::wstring& name, const std::wstring& text) {
  PlantValue(keyPath, name, kRegSz, EncodeRegistryText(text));
}

bool InMemoryRegistry::HasKey(const std::wstring& keyPath) const { return m_keys.count(Fold(keyPath)) != 0; }

std::optional<StoredValue> InMemoryRegistry::Value(const std::wstring& keyPath, const std::wstring& name) const {
  const auto key = m_keys.find(Fold(keyPath));
  if (key == m_keys.end()) return std::nullopt;
  const auto value = key->second.find(Fold(name));
  if (value == key->second.end()) return std::nullopt;
  return value->second;
}

RegistryKeyHandle InMemoryRegistry::Issue(const std::wstring& foldedPath, std::uint32_t access) {
  const RegistryKeyHandle handle = m_nextHandle++;
  m_open[handle] = OpenKeyRecord{foldedPath, access};
  ++m_successfulOpens;
  return handle;
}

const InMemoryRegistry::OpenKeyRecord* InMemoryRegistry::Lookup(RegistryKeyHandle key) {
  const auto found = m_open.find(key);
  if (found == m_open.end()) {
    ++m_badHandleUses;
    return nullptr;
  }
  return &found->second;
}

RegistryStatus InMemoryRegistry::OpenKey(RegistryRoot root, const std::wstring& path, std::uint32_t access,
                                         RegistryKeyHandle& key) {
  (void)root;
  m_calls.push_back(L"open " + path + L" " + Hex(access));
  if (m_openFailure != kRegistrySuccess) return m_openFailure;
  const std::wstring folded = Fold(path);
  if (m_keys.count(folded) == 0) return kRegistryFileNotFound;
  key = Issue(folded, access);
  return kRegistrySuccess;
}

RegistryStatus InMemoryRegistry::QueryValue(RegistryKeyHandle key, const std::wstring& name, std::uint32_t& type,
                                            std::span<std::uint8_t> buffer, std::uint32_t& size) {
  m_calls.push_back(L"query " + name + L" " + std::to_wstring(buffer.size()));
  const OpenKeyRecord* record = Lookup(key);
  if (record == nullptr) return kRegistryInvalidHandle;
  if ((record->access & kRegKeyRead) != kRegKeyRead) return kRegistryAccessDenied;
  const ValueMap& values = m_keys[record->path];
  const auto value = values.find(Fold(name));
  if (value == values.end()) return kRegistryFileNotFound;
  const StoredValue& stored = value->second;
  type = stored.type;
  size = static_cast<std::uint32_t>(stored.data.size());
  if (stored.data.size() > buffer.size()) return kRegistryMoreData;  // the buffer is left as it was
  std::copy(stored.data.begin(), stored.data.end(), buffer.begin());
  return kRegistrySuccess;
}

RegistryStatus InMemoryRegistry::CreateKey(RegistryRoot root, const std::wstring& path, std::uint32_t access,
                                           RegistryKeyHandle& key) {
  (void)root;
  m_calls.push_back(L"create " + path + L" " + Hex(access));
  if (m_createFailure != kRegistrySuccess) return m_createFailure;
  const std::wstring folded = Fold(path);
  // Every level along the path comes into being, as RegCreateKeyExW does it.
  for (std::size_t slash = folded.find(L'\\'); slash != std::wstring::npos; slash = folded.find(L'\\', slash + 1)) {
    m_keys[folded.substr(0, slash)];
  }
  m_keys[folded];
  key = Issue(folded, access);
  return kRegistrySuccess;
}

RegistryStatus InMemoryRegistry::SetValue(RegistryKeyHandle key, const std::wstring& name, std::uint32_t type,
                                          std::span<const std::uint8_t> data) {
  m_calls.push_back(L"set " + name);
  const OpenKeyRecord* record = Lookup(key);
  if (record == nullptr) return kRegistryInvalidHandle;
  if ((record->access & 0x20006) != 0x20006) return kRegistryAccessDenied;  // KEY_WRITE
  if (m_setFailure != kRegistrySuccess) return m_setFailure;
  m_keys[record->path][Fold(name)] = StoredValue{type, std::vector<std::uint8_t>(data.begin(), data.end())};
  return kRegistrySuccess;
}

void InMemoryRegistry::CloseKey(RegistryKeyHandle key) {
  m_calls.push_back(L"close");
  if (m_open.erase(key) == 0) {
    ++m_badHandleUses;
    return;
  }
  ++m_closes;
}

std::vector<std::uint8_t> Utf16Bytes(const std::u16string& units) {
  std::vector<std::uint8_t> bytes;
  for (char16_t unit : units) {
    bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
  }
  return bytes;
}
