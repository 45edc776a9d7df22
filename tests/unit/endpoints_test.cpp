// The endpoint table, the line labels and the diagnostic summary's text.

#include "settings/endpoints.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "in_memory_registry.h"
#include "settings/client_settings.h"

namespace {

const std::wstring kKey = L"Corvelle\\PlaynookClient";

TEST(Endpoints, UrlsAreOnTheProductSiteWithoutQuery) {
  EXPECT_TRUE(kBooterMovieUrl.starts_with(L"http://"));
  EXPECT_TRUE(kBooterMovieUrl.ends_with(L"/client/ma/booter.swf"));
  EXPECT_TRUE(kUpdaterUrl.ends_with(L"/autoupdate/autoupdate.exe"));
  // The updater lives on the same site under its www name.
  const std::wstring_view movieHost = kBooterMovieUrl.substr(7, kBooterMovieUrl.find(L'/', 7) - 7);
  EXPECT_EQ(std::wstring(kUpdaterUrl), L"http://www." + std::wstring(movieHost) + L"/autoupdate/autoupdate.exe");
  EXPECT_TRUE(movieHost.ends_with(L".example")) << "a reserved example domain";
  EXPECT_EQ(kBooterMovieUrl.find_first_of(L"?#"), std::wstring_view::npos);
  EXPECT_EQ(kDownloadSourceValueName, L"DownloadSource");
}

TEST(Endpoints, EveryLineHasTheBooterMovieAndOtherCodesNone) {
  for (int line : {1, 2, 3, 4}) EXPECT_EQ(MovieUrlForLine(line), std::wstring(kBooterMovieUrl)) << line;
  for (int line : {0, 5, -1, INT_MIN, INT_MAX}) EXPECT_EQ(MovieUrlForLine(line), std::nullopt) << line;
}

TEST(Endpoints, LineLabels) {
  EXPECT_EQ(ServerLineLabel(AutoSelect), L"Server_AutoSelect");
  EXPECT_EQ(ServerLineLabel(Telecom), L"Server_Telecom");
  EXPECT_EQ(ServerLineLabel(Unicom), L"Server_Unicom");
  EXPECT_EQ(ServerLineLabel(None), L"Server_None");
  EXPECT_EQ(ServerLineLabel(0), L"Server_None");
}

TEST(DiagnosticSummary, FourLinesWithoutATrailingBreak) {
  EXPECT_EQ(FormatDiagnosticSummary(L"m", L"u", L"DownloadSource", L"web", L"Server_Telecom"),
            L"m\r\nu\r\nDownloadSource=web\r\nServer_Telecom");
  EXPECT_EQ(FormatDiagnosticSummary(L"", L"", L"", L"", L""), L"\r\n\r\n=\r\n");
}

class ComposeSummaryTest : public ::testing::Test {
 protected:
  std::wstring Compose() {
    return ComposeDiagnosticSummary(settings, kBooterMovieUrl, kUpdaterUrl, std::wstring(kDownloadSourceValueName));
  }
  static std::wstring Expected(const std::wstring& value, const std::wstring& label) {
    return std::wstring(kBooterMovieUrl) + L"\r\n" + std::wstring(kUpdaterUrl) + L"\r\nDownloadSource=" + value +
           L"\r\n" + label;
  }

  InMemoryRegistry registry;
  CClientSettings settings{registry};
};

TEST_F(ComposeSummaryTest, WithoutTheKeyShowsUnknownAndServerNone) {
  EXPECT_EQ(Compose(), Expected(L"Unknown", L"Server_None"));
  EXPECT_EQ(registry.KeyCount(), 0u);
}

TEST_F(ComposeSummaryTest, ShowsTheStoredLineAndAnEmptySource) {
  registry.PlantText(kKey, L"SelectedServer", L"Unicom");
  registry.PlantText(kKey, L"DownloadSource", L"");
  EXPECT_EQ(Compose(), Expected(L"", L"Server_Unicom"));
}

TEST_F(ComposeSummaryTest, ReadsTheLineFirstThenTheSourceAfreshEachTime) {
  registry.PlantText(kKey, L"DownloadSource", L"store-a");
  EXPECT_EQ(Compose(), Expected(L"store-a", L"Server_None"));
  registry.PlantText(kKey, L"SelectedServer", L"telecom");
  registry.PlantText(kKey, L"DownloadSource", L"store-b");
  EXPECT_EQ(Compose(), Expected(L"store-b", L"Server_Telecom"));

  std::vector<std::wstring> queries;
  for (const std::wstring& call : registry.Calls()) {
    if (call.starts_with(L"query ")) queries.push_back(call);
  }
  EXPECT_EQ(queries, (std::vector<std::wstring>{L"query SelectedServer 256", L"query DownloadSource 256",
                                                L"query SelectedServer 256", L"query DownloadSource 256"}));
  EXPECT_EQ(registry.OpenHandles(), 0u);
}

}  // namespace
