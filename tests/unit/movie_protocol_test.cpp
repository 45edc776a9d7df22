// The FSCommand classifier, the movie URL and the invoke request's exact text.

#include "player/movie_protocol.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "settings/wide_text.h"

namespace {

struct CommandCase {
  std::optional<std::wstring_view> command;
  std::optional<std::wstring_view> argument;
  MovieCommand expected;
};

TEST(ClassifyFSCommand, Table) {
  const std::optional<std::wstring_view> null;
  const CommandCase cases[] = {
      {L"SwfInitialzed", null, MovieCommand::Announce},
      {L"swfinitialzed", L"", MovieCommand::Announce},
      {L"SWFINITIALZED", L"anything", MovieCommand::Announce},
      {L"SwfInitialized", null, MovieCommand::Ignored},  // the correct spelling is not the announcement
      {L"SwfInitialzed ", null, MovieCommand::Ignored},
      {L"FullScreen", L"True", MovieCommand::EnterFullScreen},
      {L"fullscreen", L"true", MovieCommand::EnterFullScreen},
      {L"FULLSCREEN", L"TRUE", MovieCommand::EnterFullScreen},
      {L"FullScreen", L"tRuE", MovieCommand::EnterFullScreen},
      {L"FullScreen", L"False", MovieCommand::LeaveFullScreen},
      {L"fULLsCREEN", L"FALSE", MovieCommand::LeaveFullScreen},
      {L"FullScreen", L"1", MovieCommand::Ignored},
      {L"FullScreen", L"0", MovieCommand::Ignored},
      {L"FullScreen", L"", MovieCommand::Ignored},
      {L"FullScreen", null, MovieCommand::Ignored},
      {L"FullScreen", L"True ", MovieCommand::Ignored},
      {L"FullScreen", L"yes", MovieCommand::Ignored},
      {L"Full Screen", L"True", MovieCommand::Ignored},
      {L"", L"True", MovieCommand::Ignored},
      {null, L"True", MovieCommand::Ignored},
      {null, null, MovieCommand::Ignored},
      {L"quit", L"", MovieCommand::Ignored},
  };
  for (const CommandCase& c : cases) {
    EXPECT_EQ(ClassifyFSCommand(c.command, c.argument), c.expected)
        << (c.command ? std::wstring(*c.command) : L"(null)") << " / "
        << (c.argument ? std::wstring(*c.argument) : L"(null)");
  }
}

TEST(MovieStart, Constants) {
  EXPECT_EQ(kMovieFlashVars, L"key=&isautocheck=true&isshowcheckinfo=false");
  EXPECT_EQ(kEnvironmentTimerId, 123u);
  EXPECT_EQ(kEnvironmentReportDelayMs, 500u);
}

TEST(MovieStart, QueryIsAppendedToTheBaseAsItIs) {
  EXPECT_EQ(FormatMovieUrl(L"http://h/client/ma/booter.swf"), L"http://h/client/ma/booter.swf?111018");
  EXPECT_EQ(FormatMovieUrl(L""), L"?111018");
  EXPECT_EQ(FormatMovieUrl(L"http://h/a.swf?x=1"), L"http://h/a.swf?x=1?111018");
}

TEST(XmlEscape, ExactTexts) {
  std::wstring supplementary;
  wide_text::AppendCodePoint(supplementary, 0x1F600);
  std::wstring loneHigh(1, static_cast<wchar_t>(0xD800));
  const struct {
    std::wstring in, out;
  } cases[] = {
      {L"", L""},
      {L"plain text 6.1", L"plain text 6.1"},
      {L"a&b=c", L"a&amp;b=c"},
      {L"<x/>", L"&lt;x/&gt;"},
      {L"\"'", L"&quot;&apos;"},
      {L"&amp;", L"&amp;amp;"},
      {L"]]>", L"]]&gt;"},
      {L"a\r\nb\tc", L"a&#13;\nb\tc"},
      {L"\u4e0b\u8f7d", L"\u4e0b\u8f7d"},
      {supplementary, supplementary},
      {std::wstring(L"a\x01" L"b"), L"a\uFFFDb"},
      {std::wstring(1, L'\0'), L"\uFFFD"},
      {L"\uFFFE\uFFFF", L"\uFFFD\uFFFD"},
      {loneHigh + L"x", L"\uFFFDx"},
  };
  for (const auto& c : cases) EXPECT_EQ(XmlEscape(c.in), c.out) << c.in;
}

TEST(InvokeRequest, ExactTextWithTheReportEscaped) {
  EXPECT_EQ(FormatInvokeRequest(kNotifyClientEnvironment,
                                L"OS=6.1.7601.2 Service Pack 1&FlashPlayer=&Exe=2.0.13.130&DownloadSource=Unknown"),
            L"<invoke name=\"NofityClientEnvironment\" returntype=\"xml\"><arguments><string>"
            L"OS=6.1.7601.2 Service Pack 1&amp;FlashPlayer=&amp;Exe=2.0.13.130&amp;DownloadSource=Unknown"
            L"</string></arguments></invoke>");
  EXPECT_EQ(FormatInvokeRequest(kNotifyFullScreenState, FullScreenStateText(true)),
            L"<invoke name=\"NofityFullScreenState\" returntype=\"xml\"><arguments><string>true</string>"
            L"</arguments></invoke>");
  EXPECT_EQ(FullScreenStateText(false), L"false");
}

TEST(InvokeRequest, AnArgumentCannotInjectElements) {
  const std::wstring request =
      FormatInvokeRequest(kNotifyClientEnvironment, L"x</string><string>evil</string></arguments></invoke>");
  EXPECT_EQ(request.find(L"<string>", 1), request.rfind(L"<string>"));
  EXPECT_EQ(request.find(L"</string>"), request.rfind(L"</string>"));
}

}  // namespace
