#pragma once
// Registry values as raw bytes with their type, so that a test sees exactly what the
// program wrote (or gives it exactly what it must cope with). Keys are under
// HKEY_CLASSES_ROOT unless another root is named.

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace e2e {

struct RegistryValue {
  DWORD type = REG_NONE;
  std::vector<BYTE> data;

  // A string value's text: up to the first NUL, or all of it when unterminated.
  std::wstring text() const;
};

// The value, or nothing when the key or the value is missing.
std::optional<RegistryValue> readValue(std::wstring_view key, std::wstring_view name, HKEY root = HKEY_CLASSES_ROOT);
bool keyExists(std::wstring_view key, HKEY root = HKEY_CLASSES_ROOT);

// Creates the key when needed and writes the bytes as they are, with the given type.
bool writeValue(std::wstring_view key, std::wstring_view name, DWORD type, const void* data, size_t size,
                HKEY root = HKEY_CLASSES_ROOT);
// A REG_SZ (or the given string type) with its terminating NUL, as programs write them.
bool writeText(std::wstring_view key, std::wstring_view name, std::wstring_view text, DWORD type = REG_SZ,
               HKEY root = HKEY_CLASSES_ROOT);

// Deletes the key and everything under it; true when it is gone (or was never there).
bool deleteTree(std::wstring_view key, HKEY root = HKEY_CLASSES_ROOT);

}  // namespace e2e
