#include "player/environment_win32.h"

#include <windows.h>

#include <cwchar>

#include "player/environment_report.h"

namespace {

class Win32VersionInfo final : public VersionInfoSeam {
 public:
  std::uint32_t InfoSize(const std::wstring& path) override {
    DWORD ignored = 0;
    return GetFileVersionInfoSizeW(path.c_str(), &ignored);
  }

  bool ReadInfo(const std::wstring& path, std::vector<std::uint8_t>& block) override {
    return GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(block.size()), block.data()) != FALSE;
  }

  std::optional<FileVersionNumbers> QueryFileVersion(const std::vector<std::uint8_t>& block) override {
    void* root = nullptr;
    UINT length = 0;
    // VerQueryValueW takes a non-const block but only reads it.
    if (!VerQueryValueW(const_cast<std::uint8_t*>(block.data()), L"\\", &root, &length)) return std::nullopt;
    if (root == nullptr || length < sizeof(VS_FIXEDFILEINFO)) return std::nullopt;
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(root);
    if (fixed->dwSignature != 0xFEEF04BD) return std::nullopt;
    return FileVersionNumbers{fixed->dwFileVersionMS, fixed->dwFileVersionLS};
  }
};

bool QueryOsVersion(OsVersionRecord& record) {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof(info);
#ifdef _MSC_VER
#pragma warning(suppress : 4996)  // deprecated, but it is the value the report has always carried
#endif
  if (!GetVersionExW(&info)) return false;
  record.majorVersion = info.dwMajorVersion;
  record.minorVersion = info.dwMinorVersion;
  record.buildNumber = info.dwBuildNumber;
  record.platformId = info.dwPlatformId;
  // szCSDVersion is NUL-terminated within its 128 units; bound the scan all the same.
  const std::size_t length = wcsnlen(info.szCSDVersion, sizeof(info.szCSDVersion) / sizeof(info.szCSDVersion[0]));
  record.servicePack.assign(info.szCSDVersion, length);
  return true;
}

}  // namespace

std::wstring GetOSVersionString() {
  return OsVersionText(QueryOsVersion, [] { return static_cast<std::uint32_t>(GetLastError()); });
}

std::wstring GetExeVersionString() {
  Win32VersionInfo versionInfo;
  return ReadFileVersionString(versionInfo, GetModulePath());
}

std::wstring GetModulePath() {
  return ReadModulePath([](wchar_t* buffer, std::uint32_t capacity) {
    return static_cast<std::uint32_t>(GetModuleFileNameW(nullptr, buffer, capacity));
  });
}
