#pragma once
// The five registry operations the settings store needs, behind one small interface so
// that the store's logic builds and is tested without Windows. The program plugs in the
// real registry (win32_registry.cpp); the unit tests plug in an in-memory one.
//
// Status codes are the Win32 error numbers, so the real registry passes its results
// through unchanged. Value data is raw bytes; registry texts are UTF-16LE (registry_text.h).

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <utility>

using RegistryStatus = std::int32_t;
inline constexpr RegistryStatus kRegistrySuccess = 0;         // ERROR_SUCCESS
inline constexpr RegistryStatus kRegistryFileNotFound = 2;    // ERROR_FILE_NOT_FOUND
inline constexpr RegistryStatus kRegistryAccessDenied = 5;    // ERROR_ACCESS_DENIED
inline constexpr RegistryStatus kRegistryInvalidHandle = 6;   // ERROR_INVALID_HANDLE
inline constexpr RegistryStatus kRegistryInvalidData = 13;    // ERROR_INVALID_DATA
inline constexpr RegistryStatus kRegistryMoreData = 234;      // ERROR_MORE_DATA

// Value types (REG_*).
inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegMultiSz = 7;

// Access masks: KEY_READ, and KEY_READ | KEY_WRITE.
inline constexpr std::uint32_t kRegKeyRead = 0x20019;
inline constexpr std::uint32_t kRegKeyReadWrite = 0x2001F;

// The one root the program uses.
enum class RegistryRoot { ClassesRoot };  // HKEY_CLASSES_ROOT

// An open key as the seam hands it out; only meaningful to the seam that made it.
using RegistryKeyHandle = std::uintptr_t;

class RegistrySeam {
 public:
  // RegOpenKeyExW(root, path, 0, access): sets key only on success.
  virtual RegistryStatus OpenKey(RegistryRoot root, const std::wstring& path, std::uint32_t access,
                                 RegistryKeyHandle& key) = 0;
  // RegQueryValueExW with buffer.size() bytes offered: on success type and size describe
  // the data now at the start of buffer; on kRegistryMoreData size is the size needed.
  virtual RegistryStatus QueryValue(RegistryKeyHandle key, const std::wstring& name, std::uint32_t& type,
                                    std::span<std::uint8_t> buffer, std::uint32_t& size) = 0;
  // RegCreateKeyExW(root, path, 0, no class, REG_OPTION_NON_VOLATILE, access, no security):
  // creates every missing key along the path; sets key only on success.
  virtual RegistryStatus CreateKey(RegistryRoot root, const std::wstring& path, std::uint32_t access,
                                   RegistryKeyHandle& key) = 0;
  // RegSetValueExW(key, name, 0, type, data, data.size()).
  virtual RegistryStatus SetValue(RegistryKeyHandle key, const std::wstring& name, std::uint32_t type,
                                  std::span<const std::uint8_t> data) = 0;
  // RegCloseKey.
  virtual void CloseKey(RegistryKeyHandle key) = 0;

 protected:
  ~RegistrySeam() = default;
};

// Owns one key obtained from a seam and closes it when it goes out of scope. A failed open
// or create leaves it empty, so there is nothing to close.
class ScopedRegistryKey {
 public:
  ScopedRegistryKey() = default;
  ScopedRegistryKey(const ScopedRegistryKey&) = delete;
  ScopedRegistryKey& operator=(const ScopedRegistryKey&) = delete;
  ScopedRegistryKey(ScopedRegistryKey&& other) noexcept
      : m_seam(std::exchange(other.m_seam, nullptr)), m_key(other.m_key) {}
  ScopedRegistryKey& operator=(ScopedRegistryKey&& other) noexcept {
    if (this != &other) {
      Close();
      m_seam = std::exchange(other.m_seam, nullptr);
      m_key = other.m_key;
    }
    return *this;
  }
  ~ScopedRegistryKey() { Close(); }

  static ScopedRegistryKey Open(RegistrySeam& seam, RegistryRoot root, const std::wstring& path,
                                std::uint32_t access) {
    ScopedRegistryKey result;
    RegistryKeyHandle key{};
    if (seam.OpenKey(root, path, access, key) == kRegistrySuccess) result.Adopt(seam, key);
    return result;
  }
  static ScopedRegistryKey Create(RegistrySeam& seam, RegistryRoot root, const std::wstring& path,
                                  std::uint32_t access) {
    ScopedRegistryKey result;
    RegistryKeyHandle key{};
    if (seam.CreateKey(root, path, access, key) == kRegistrySuccess) result.Adopt(seam, key);
    return result;
  }

  explicit operator bool() const { return m_seam != nullptr; }
  RegistryKeyHandle Get() const { return m_key; }

 private:
  void Adopt(RegistrySeam& seam, RegistryKeyHandle key) {
    m_seam = &seam;
    m_key = key;
  }
  void Close() {
    if (m_seam != nullptr) std::exchange(m_seam, nullptr)->CloseKey(m_key);
  }

  RegistrySeam* m_seam = nullptr;
  RegistryKeyHandle m_key{};
};
