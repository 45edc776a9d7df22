#pragma once
// The conversation between the host and the movie: how the movie is started, what its
// FSCommand events mean, and the invoke requests the host passes into it.

#include <optional>
#include <string>
#include <string_view>

// Movie start.
inline constexpr std::wstring_view kMovieQuery = L"?111018";
inline constexpr std::wstring_view kMovieFlashVars = L"key=&isautocheck=true&isshowcheckinfo=false";
inline constexpr std::wstring_view kAllowFullScreenValue = L"true";
inline constexpr int kMovieLoadLayer = 0;

// After the movie's announcement the environment report follows on this timer.
inline constexpr unsigned kEnvironmentTimerId = 123;
inline constexpr unsigned kEnvironmentReportDelayMs = 500;

// The two requests (both names are spelt "Nofity" on the movie's side).
inline constexpr std::wstring_view kNotifyClientEnvironment = L"NofityClientEnvironment";
inline constexpr std::wstring_view kNotifyFullScreenState = L"NofityFullScreenState";

// What the host does for one FSCommand event.
enum class MovieCommand { Announce, EnterFullScreen, LeaveFullScreen, Ignored };

// "SwfInitialzed" (spelt so, in any ASCII letter case) is the announcement; "FullScreen"
// with "True" or "False" (any case) switches; everything else, a missing command or a
// missing argument included, is ignored.
MovieCommand ClassifyFSCommand(std::optional<std::wstring_view> command, std::optional<std::wstring_view> argument);

// The URL the movie is loaded from: the base as it is, then "?111018".
std::wstring FormatMovieUrl(std::wstring_view baseUrl);

// Text made safe for XML character data: & < > " ' become entities and CR a character
// reference (a parser would turn a raw CR into LF). Units that XML 1.0 cannot carry at
// all (controls other than tab, LF and CR; lone surrogates; U+FFFE, U+FFFF) become
// U+FFFD, so the request always stays well-formed.
std::wstring XmlEscape(std::wstring_view text);

// <invoke name="NAME" returntype="xml"><arguments><string>ARGUMENT</string></arguments></invoke>
// with name and argument escaped, so the movie decodes exactly the texts given.
std::wstring FormatInvokeRequest(std::wstring_view name, std::wstring_view argument);

// The argument of "NofityFullScreenState".
std::wstring_view FullScreenStateText(bool fullScreen);
