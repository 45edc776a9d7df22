#include "settings/endpoints.h"

#include <array>

#include "settings/client_settings.h"
#include "settings/server_line.h"

namespace {

struct EndpointRow {
  int line;
  std::wstring_view movieUrl;
};

// One row per line so that a line can get a movie of its own; today all share one.
constexpr std::array<EndpointRow, 4> kEndpointTable{{
    {AutoSelect, kBooterMovieUrl},
    {Telecom, kBooterMovieUrl},
    {Unicom, kBooterMovieUrl},
    {None, kBooterMovieUrl},
}};

}  // namespace

std::optional<std::wstring> MovieUrlForLine(int line) {
  for (const EndpointRow& row : kEndpointTable) {
    if (row.line == line) return std::wstring(row.movieUrl);
  }
  return std::nullopt;
}

std::wstring_view ServerLineLabel(int line) {
  switch (line) {
    case AutoSelect: return L"Server_AutoSelect";
    case Telecom: return L"Server_Telecom";
    case Unicom: return L"Server_Unicom";
    default: return L"Server_None";
  }
}

std::wstring FormatDiagnosticSummary(std::wstring_view movieUrl, std::wstring_view updateUrl,
                                     std::wstring_view valueName, std::wstring_view value,
                                     std::wstring_view label) {
  std::wstring text;
  text.reserve(movieUrl.size() + updateUrl.size() + valueName.size() + value.size() + label.size() + 7);
  text.append(movieUrl).append(L"\r\n");
  text.append(updateUrl).append(L"\r\n");
  text.append(valueName).append(L"=").append(value).append(L"\r\n");
  text.append(label);
  return text;
}

std::wstring ComposeDiagnosticSummary(const CClientSettings& settings, std::wstring_view movieUrl,
                                      std::wstring_view updateUrl, const std::wstring& downloadSourceName) {
  // Two statements, so the stored line is read before the download source.
  const std::wstring_view label = ServerLineLabel(settings.GetSelectedServer());
  const std::wstring value = settings.ReadStringValue(downloadSourceName);
  return FormatDiagnosticSummary(movieUrl, updateUrl, downloadSourceName, value, label);
}
