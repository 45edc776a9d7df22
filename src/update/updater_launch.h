#pragma once
#include <string>

// The updater's whole command line.
inline constexpr wchar_t kUpdaterLaunchToken[] = L"5D3B7C19-6A2E-4B71-9F04-2E6A1D8B3C70";

// Starts the program at `path` with the launch token as its whole command line, in this
// process's environment and current directory, and keeps no handle of it. Returns whether
// it started; a failure is not reported to anyone.
bool LaunchUpdater(const std::wstring& path);
