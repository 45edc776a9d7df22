// The environment report's values from the running system under Wine. This program carries
// the client's version block (2.0.13.130), as the client does.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "player/environment_win32.h"

namespace {

TEST(EnvironmentWin32, ModulePathIsThisProgram) {
  const std::wstring path = GetModulePath();
  ASSERT_FALSE(path.empty());
  EXPECT_NE(path.find(L"environment_wine_test.exe"), std::wstring::npos) << path;
  EXPECT_EQ(GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
}

TEST(EnvironmentWin32, ExeVersionIsTheFileVersionOfTheOwnBlock) {
  EXPECT_EQ(GetExeVersionString(), L"2.0.13.130");  // the product version there is 9.9.9.9
}

TEST(EnvironmentWin32, OsVersionMatchesGetVersionEx) {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof(info);
#ifdef _MSC_VER
#pragma warning(suppress : 4996)
#endif
  ASSERT_TRUE(GetVersionExW(&info));
  const std::wstring expected = std::to_wstring(info.dwMajorVersion) + L"." + std::to_wstring(info.dwMinorVersion) +
                                L"." + std::to_wstring(info.dwBuildNumber) + L"." +
                                std::to_wstring(info.dwPlatformId) + L" " + info.szCSDVersion;
  EXPECT_EQ(GetOSVersionString(), expected);
}

}  // namespace
