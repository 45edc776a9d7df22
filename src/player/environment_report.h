#pragma once
// The client environment report the host sends into the movie once it has announced
// itself: "OS=%s&FlashPlayer=%s&Exe=%s&DownloadSource=%s", values inserted unchanged.
// The platform calls reach this logic through small callables, so that the Windows part
// (environment_win32.cpp) is a thin adapter and the rules are tested natively.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

std::wstring FormatClientEnvironment(std::wstring_view os, std::wstring_view flashPlayer, std::wstring_view exe,
                                     std::wstring_view downloadSource);

// Builds the report from four sources, called in this order: download source, exe
// version, Flash Player version, OS version (not the order of the text). An exception
// from one of them ends the build: the later ones are not called and it propagates.
std::wstring ComposeClientEnvironment(const std::function<std::wstring()>& downloadSource,
                                      const std::function<std::wstring()>& exeVersion,
                                      const std::function<std::wstring()>& flashVersion,
                                      const std::function<std::wstring()>& osVersion);

// The fields of the basic OSVERSIONINFOW that the report shows.
struct OsVersionRecord {
  std::uint32_t majorVersion = 0;
  std::uint32_t minorVersion = 0;
  std::uint32_t buildNumber = 0;
  std::uint32_t platformId = 0;
  std::wstring servicePack;  // szCSDVersion up to its NUL
};

// "major.minor.build.platform", one space, then the service-pack text; the space is
// there also when that text is empty.
std::wstring FormatOsVersion(const OsVersionRecord& record);
// "OS Version Error(N)" with the error number in decimal.
std::wstring FormatOsVersionError(std::uint32_t errorCode);

// The OS value: getVersion fills the record and returns false when GetVersionExW fails;
// only then is lastError asked for the error number.
std::wstring OsVersionText(const std::function<bool(OsVersionRecord&)>& getVersion,
                           const std::function<std::uint32_t()>& lastError);

// "a.b.c.d" from the high and low halves of dwFileVersionMS, then of dwFileVersionLS.
std::wstring FormatFileVersion(std::uint32_t fileVersionMs, std::uint32_t fileVersionLs);

// GetModuleFileNameW(nullptr, buffer, capacity): characters copied, 0 on failure,
// capacity when the path was cut short.
using ModuleFileNameCall = std::function<std::uint32_t(wchar_t* buffer, std::uint32_t capacity)>;

// Capacities tried for the module path: 260, then 128 more each time, up to the room for
// the longest path Windows allows (32767 characters and the final NUL), which is tried last.
inline constexpr std::uint32_t kFirstModulePathCapacity = 260;
inline constexpr std::uint32_t kModulePathCapacityStep = 128;
inline constexpr std::uint32_t kLongestWindowsPath = 32767;
inline constexpr std::uint32_t kLastModulePathCapacity = kLongestWindowsPath + 1;

// The module path, retried with a larger buffer while the call fails or cuts the path
// short. When even the last capacity does not do, the result is the empty text.
std::wstring ReadModulePath(const ModuleFileNameCall& getModuleFileName);

// The version-information calls the Exe value needs.
struct FileVersionNumbers {
  std::uint32_t fileVersionMs = 0;
  std::uint32_t fileVersionLs = 0;
};
class VersionInfoSeam {
 public:
  // GetFileVersionInfoSizeW: 0 when the file has no version block.
  virtual std::uint32_t InfoSize(const std::wstring& path) = 0;
  // GetFileVersionInfoW into block, which has the size InfoSize gave.
  virtual bool ReadInfo(const std::wstring& path, std::vector<std::uint8_t>& block) = 0;
  // VerQueryValueW(block, "\\"): the file version of the fixed record, if there is one.
  virtual std::optional<FileVersionNumbers> QueryFileVersion(const std::vector<std::uint8_t>& block) = 0;

 protected:
  ~VersionInfoSeam() = default;
};

// The text for a file version block that cannot be read.
inline constexpr std::wstring_view kUnknownExeVersion = L"Unknown";

// The file version of the file at path, "Unknown" when it has no readable version block.
std::wstring ReadFileVersionString(VersionInfoSeam& versionInfo, const std::wstring& path);
