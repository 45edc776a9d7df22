#include "e2e/registry.h"

#include <cstring>

#include "e2e/handle.h"

namespace e2e {

std::wstring RegistryValue::text() const {
  std::wstring text(data.size() / sizeof(wchar_t), L'\0');
  if (!text.empty()) memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
  size_t end = text.find(L'\0');
  if (end != std::wstring::npos) text.resize(end);
  return text;
}

std::optional<RegistryValue> readValue(std::wstring_view key, std::wstring_view name, HKEY root) {
  UniqueKey opened;
  if (RegOpenKeyExW(root, std::wstring(key).c_str(), 0, KEY_QUERY_VALUE, opened.receive()) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  std::wstring valueName(name);
  RegistryValue value;
  DWORD size = 0;
  LSTATUS status = RegQueryValueExW(opened.get(), valueName.c_str(), nullptr, &value.type, nullptr, &size);
  // The value may grow between asking its size and reading it: then ask again.
  while (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) {
    value.data.resize(size);
    DWORD got = size;
    status = RegQueryValueExW(opened.get(), valueName.c_str(), nullptr, &value.type,
                              value.data.empty() ? nullptr : value.data.data(), &got);
    if (status == ERROR_SUCCESS) {
      value.data.resize(got);
      return value;
    }
    size = got;
  }
  return std::nullopt;
}

bool keyExists(std::wstring_view key, HKEY root) {
  UniqueKey opened;
  return RegOpenKeyExW(root, std::wstring(key).c_str(), 0, KEY_READ, opened.receive()) == ERROR_SUCCESS;
}

bool writeValue(std::wstring_view key, std::wstring_view name, DWORD type, const void* data, size_t size, HKEY root) {
  UniqueKey created;
  if (RegCreateKeyExW(root, std::wstring(key).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, created.receive(),
                      nullptr) != ERROR_SUCCESS) {
    return false;
  }
  // RegSetValueEx counts a string's NUL in when the caller "forgot" it and a NUL follows
  // the data in memory (Windows does so, and Wine too). A non-NUL after the bytes keeps
  // an unterminated string unterminated, as the test asked.
  std::vector<BYTE> bytes(static_cast<const BYTE*>(data), static_cast<const BYTE*>(data) + size);
  bytes.push_back(0xFF);
  bytes.push_back(0xFF);
  return RegSetValueExW(created.get(), std::wstring(name).c_str(), 0, type, bytes.data(), static_cast<DWORD>(size)) ==
         ERROR_SUCCESS;
}

bool writeText(std::wstring_view key, std::wstring_view name, std::wstring_view text, DWORD type, HKEY root) {
  std::wstring terminated(text);
  return writeValue(key, name, type, terminated.c_str(), (terminated.size() + 1) * sizeof(wchar_t), root);
}

bool deleteTree(std::wstring_view key, HKEY root) {
  RegDeleteTreeW(root, std::wstring(key).c_str());
  return !keyExists(key, root);
}

}  // namespace e2e
