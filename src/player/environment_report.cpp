#include "player/environment_report.h"

#include <algorithm>

std::wstring FormatClientEnvironment(std::wstring_view os, std::wstring_view flashPlayer, std::wstring_view exe,
                                     std::wstring_view downloadSource) {
  std::wstring report(L"OS=");
  report.append(os);
  report.append(L"&FlashPlayer=").append(flashPlayer);
  report.append(L"&Exe=").append(exe);
  report.append(L"&DownloadSource=").append(downloadSource);
  return report;
}

std::wstring ComposeClientEnvironment(const std::function<std::wstring()>& downloadSource,
                                      const std::function<std::wstring()>& exeVersion,
                                      const std::function<std::wstring()>& flashVersion,
                                      const std::function<std::wstring()>& osVersion) {
  // Separate statements fix the order of the calls.
  const std::wstring source = downloadSource();
  const std::wstring exe = exeVersion();
  const std::wstring flash = flashVersion();
  const std::wstring os = osVersion();
  return FormatClientEnvironment(os, flash, exe, source);
}

std::wstring FormatOsVersion(const OsVersionRecord& record) {
  std::wstring text = std::to_wstring(record.majorVersion);
  text.append(L".").append(std::to_wstring(record.minorVersion));
  text.append(L".").append(std::to_wstring(record.buildNumber));
  text.append(L".").append(std::to_wstring(record.platformId));
  text.append(L" ").append(record.servicePack);
  return text;
}

std::wstring FormatOsVersionError(std::uint32_t errorCode) {
  return L"OS Version Error(" + std::to_wstring(errorCode) + L")";
}

std::wstring OsVersionText(const std::function<bool(OsVersionRecord&)>& getVersion,
                           const std::function<std::uint32_t()>& lastError) {
  OsVersionRecord record;
  if (!getVersion(record)) return FormatOsVersionError(lastError());
  return FormatOsVersion(record);
}

std::wstring FormatFileVersion(std::uint32_t fileVersionMs, std::uint32_t fileVersionLs) {
  std::wstring text = std::to_wstring(fileVersionMs >> 16);
  text.append(L".").append(std::to_wstring(fileVersionMs & 0xFFFF));
  text.append(L".").append(std::to_wstring(fileVersionLs >> 16));
  text.append(L".").append(std::to_wstring(fileVersionLs & 0xFFFF));
  return text;
}

std::wstring ReadModulePath(const ModuleFileNameCall& getModuleFileName) {
  std::uint32_t capacity = kFirstModulePathCapacity;
  for (;;) {
    std::vector<wchar_t> buffer(capacity);
    const std::uint32_t length = getModuleFileName(buffer.data(), capacity);
    // 0 is a failure and the capacity itself a cut path; anything above it is not trusted.
    if (length != 0 && length < capacity) return std::wstring(buffer.data(), length);
    if (capacity == kLastModulePathCapacity) return std::wstring();
    capacity = std::min(capacity + kModulePathCapacityStep, kLastModulePathCapacity);
  }
}

std::wstring ReadFileVersionString(VersionInfoSeam& versionInfo, const std::wstring& path) {
  const std::uint32_t size = versionInfo.InfoSize(path);
  if (size == 0) return std::wstring(kUnknownExeVersion);
  std::vector<std::uint8_t> block(size);
  if (!versionInfo.ReadInfo(path, block)) return std::wstring(kUnknownExeVersion);
  const std::optional<FileVersionNumbers> version = versionInfo.QueryFileVersion(block);
  if (!version) return std::wstring(kUnknownExeVersion);
  return FormatFileVersion(version->fileVersionMs, version->fileVersionLs);
}
