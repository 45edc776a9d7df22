#pragma once
// The network line the user chose, as stored in the "SelectedServer" value.

#include <string_view>

enum ServerLine : int { AutoSelect = 1, Telecom = 2, Unicom = 3, None = 4 };

// Texts of the three lines in "SelectedServer"; None has no text of its own.
inline constexpr std::wstring_view kServerTextAutoSelect = L"AutoSelect";
inline constexpr std::wstring_view kServerTextTelecom = L"Telecom";
inline constexpr std::wstring_view kServerTextUnicom = L"Unicom";

// The line a stored text names, letter case of ASCII letters ignored and nothing trimmed;
// None when the text names no line.
ServerLine ServerLineFromText(std::wstring_view text);

// The text stored for a line: 1 "AutoSelect", 2 "Telecom", every other code "Unicom".
std::wstring_view ServerLineText(int line);
