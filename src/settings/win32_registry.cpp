#include "settings/win32_registry.h"

#include <windows.h>

#include "settings/client_settings.h"

// The portable constants are the Win32 ones.
static_assert(kRegistrySuccess == ERROR_SUCCESS);
static_assert(kRegistryFileNotFound == ERROR_FILE_NOT_FOUND);
static_assert(kRegistryAccessDenied == ERROR_ACCESS_DENIED);
static_assert(kRegistryInvalidHandle == ERROR_INVALID_HANDLE);
static_assert(kRegistryInvalidData == ERROR_INVALID_DATA);
static_assert(kRegistryMoreData == ERROR_MORE_DATA);
static_assert(kRegNone == REG_NONE && kRegSz == REG_SZ && kRegExpandSz == REG_EXPAND_SZ);
static_assert(kRegBinary == REG_BINARY && kRegDword == REG_DWORD && kRegMultiSz == REG_MULTI_SZ);
static_assert(kRegKeyRead == KEY_READ);
static_assert(kRegKeyReadWrite == (KEY_READ | KEY_WRITE));
static_assert(sizeof(RegistryKeyHandle) >= sizeof(HKEY));

namespace {

HKEY ToHkey(RegistryKeyHandle key) { return reinterpret_cast<HKEY>(key); }
RegistryKeyHandle FromHkey(HKEY key) { return reinterpret_cast<RegistryKeyHandle>(key); }

HKEY RootHkey(RegistryRoot root) {
  switch (root) {
    case RegistryRoot::ClassesRoot: break;
  }
  return HKEY_CLASSES_ROOT;
}

// Plain calls: no registry transaction, no 32/64-bit view flag.
class Win32Registry final : public RegistrySeam {
 public:
  RegistryStatus OpenKey(RegistryRoot root, const std::wstring& path, std::uint32_t access,
                         RegistryKeyHandle& key) override {
    HKEY opened = nullptr;
    const LSTATUS status = RegOpenKeyExW(RootHkey(root), path.c_str(), 0, access, &opened);
    if (status == ERROR_SUCCESS) key = FromHkey(opened);
    return status;
  }

  RegistryStatus QueryValue(RegistryKeyHandle key, const std::wstring& name, std::uint32_t& type,
                            std::span<std::uint8_t> buffer, std::uint32_t& size) override {
    DWORD valueType = REG_NONE;
    DWORD dataSize = static_cast<DWORD>(buffer.size());
    const LSTATUS status = RegQueryValueExW(ToHkey(key), name.c_str(), nullptr, &valueType, buffer.data(), &dataSize);
    type = valueType;
    size = dataSize;
    return status;
  }

  RegistryStatus CreateKey(RegistryRoot root, const std::wstring& path, std::uint32_t access,
                           RegistryKeyHandle& key) override {
    HKEY created = nullptr;
    const LSTATUS status = RegCreateKeyExW(RootHkey(root), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                           access, nullptr, &created, nullptr);
    if (status == ERROR_SUCCESS) key = FromHkey(created);
    return status;
  }

  RegistryStatus SetValue(RegistryKeyHandle key, const std::wstring& name, std::uint32_t type,
                          std::span<const std::uint8_t> data) override {
    return RegSetValueExW(ToHkey(key), name.c_str(), 0, type, data.data(), static_cast<DWORD>(data.size()));
  }

  void CloseKey(RegistryKeyHandle key) override { RegCloseKey(ToHkey(key)); }
};

}  // namespace

RegistrySeam& SystemRegistry() {
  static Win32Registry registry;
  return registry;
}

CClientSettings::CClientSettings() : CClientSettings(SystemRegistry()) {}
