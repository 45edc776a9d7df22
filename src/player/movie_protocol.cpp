#include "player/movie_protocol.h"

#include "settings/registry_text.h"
#include "settings/wide_text.h"

namespace {

constexpr std::wstring_view kAnnounceCommand = L"SwfInitialzed";
constexpr std::wstring_view kFullScreenCommand = L"FullScreen";

// XML 1.0's Char production: what may appear in a document at all.
bool IsXmlChar(char32_t c) {
  if (c < 0x20) return c == 0x09 || c == 0x0A || c == 0x0D;
  if (c <= 0xD7FF) return true;
  if (c < 0xE000) return false;
  if (c <= 0xFFFD) return true;
  return c >= 0x10000 && c <= 0x10FFFF;
}

}  // namespace

MovieCommand ClassifyFSCommand(std::optional<std::wstring_view> command, std::optional<std::wstring_view> argument) {
  if (!command) return MovieCommand::Ignored;
  if (AsciiIEquals(*command, kAnnounceCommand)) return MovieCommand::Announce;
  if (!AsciiIEquals(*command, kFullScreenCommand)) return MovieCommand::Ignored;
  const std::wstring_view state = argument.value_or(std::wstring_view());
  if (AsciiIEquals(state, L"True")) return MovieCommand::EnterFullScreen;
  if (AsciiIEquals(state, L"False")) return MovieCommand::LeaveFullScreen;
  return MovieCommand::Ignored;
}

std::wstring FormatMovieUrl(std::wstring_view baseUrl) {
  std::wstring url(baseUrl);
  url.append(kMovieQuery);
  return url;
}

std::wstring XmlEscape(std::wstring_view text) {
  std::wstring out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const wide_text::CodePointStep step = wide_text::CodePointAt(text, i);
    switch (step.codePoint) {
      case U'&': out.append(L"&amp;"); break;
      case U'<': out.append(L"&lt;"); break;
      case U'>': out.append(L"&gt;"); break;
      case U'"': out.append(L"&quot;"); break;
      case U'\'': out.append(L"&apos;"); break;
      case U'\r': out.append(L"&#13;"); break;
      default:
        if (step.valid && IsXmlChar(step.codePoint)) {
          out.append(text.substr(i, step.units));
        } else {
          out.push_back(L'\xFFFD');
        }
        break;
    }
    i += step.units;
  }
  return out;
}

std::wstring FormatInvokeRequest(std::wstring_view name, std::wstring_view argument) {
  std::wstring request(L"<invoke name=\"");
  // In an attribute a parser turns a raw tab or line feed into a space: they go as
  // character references, so the name too decodes exactly.
  for (const wchar_t c : XmlEscape(name)) {
    if (c == L'\t') request.append(L"&#9;");
    else if (c == L'\n') request.append(L"&#10;");
    else request.push_back(c);
  }
  request.append(L"\" returntype=\"xml\"><arguments><string>");
  request.append(XmlEscape(argument));
  request.append(L"</string></arguments></invoke>");
  return request;
}

std::wstring_view FullScreenStateText(bool fullScreen) { return fullScreen ? L"true" : L"false"; }
