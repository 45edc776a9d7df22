#pragma once
// Where the client's movie and updater live, per network line, and the text of the hidden
// diagnostic summary.

#include <optional>
#include <string>
#include <string_view>

class CClientSettings;

// The product's web site. Both endpoints are on it; this is the one place that names it.
#define ZB_PRODUCT_WEB_HOST L"zembaroo.example"
inline constexpr std::wstring_view kBooterMovieUrl = L"http://" ZB_PRODUCT_WEB_HOST L"/client/ma/booter.swf";
inline constexpr std::wstring_view kUpdaterUrl = L"http://www." ZB_PRODUCT_WEB_HOST L"/autoupdate/autoupdate.exe";
#undef ZB_PRODUCT_WEB_HOST

// Name of the settings value that holds where this installation was downloaded from.
inline constexpr std::wstring_view kDownloadSourceValueName = L"DownloadSource";

// The booter movie's URL for a line code 1-4 (every line plays the same movie); nullopt
// for any other code, which leaves the window's movie URL as it was.
std::optional<std::wstring> MovieUrlForLine(int line);

// "Server_AutoSelect", "Server_Telecom", "Server_Unicom" or "Server_None" for codes 1-4;
// "Server_None" for any other code, as no recognised line is stored then.
std::wstring_view ServerLineLabel(int line);

// The summary's four lines, "\r\n" between them and none after the last:
// movie URL, updater URL, "name=value", line label.
std::wstring FormatDiagnosticSummary(std::wstring_view movieUrl, std::wstring_view updateUrl,
                                     std::wstring_view valueName, std::wstring_view value,
                                     std::wstring_view label);

// The summary from the window's endpoint strings and the settings as stored right now:
// reads the stored line first, then the download source value.
std::wstring ComposeDiagnosticSummary(const CClientSettings& settings, std::wstring_view movieUrl,
                                      std::wstring_view updateUrl, const std::wstring& downloadSourceName);
