#pragma once
// The environment report's values from the running system (Windows build only,
// player_env_win).

#include <string>

// GetVersionExW with the basic OSVERSIONINFOW: "6.1.7601.2 Service Pack 1", or
// "OS Version Error(N)" when the call fails.
std::wstring GetOSVersionString();
// The file version of this executable's own version block ("2.0.13.130"), or "Unknown".
std::wstring GetExeVersionString();
// The running executable's path; empty if it cannot be read.
std::wstring GetModulePath();
