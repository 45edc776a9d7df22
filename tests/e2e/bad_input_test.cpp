// The client against bad input, end to end: FSCommands with texts no movie should send,
// bursts, a movie whose every call fails, and settings values of every bad kind. After
// each the process is alive and answers, the movie got exactly the requests it should
// have, and the handle, USER and GDI counts (the stand-in's stats lines, read inside the
// client's process) have not grown.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "client_fixture.h"
#include "e2e/text.h"

namespace e2e {
namespace {

// Counts may move by this much between two stats lines without being a leak: a timer or
// a cached brush may come and go.
constexpr long kCountSlack = 2;

std::wstring RequestName(const std::wstring& request) {
    const size_t start = request.find(L"name=\"");
    if (start == std::wstring::npos) return L"<no name>";
    return request.substr(start + 6, request.find(L'"', start + 6) - start - 6);
}

// The XML-decoded text of the request's <string> element (the few entities the host writes).
std::wstring RequestArgument(const std::wstring& request) {
    const size_t open = request.find(L"<string>");
    const size_t close = request.rfind(L"</string>");
    if (open == std::wstring::npos || close == std::wstring::npos || close < open) return L"<no string>";
    const std::wstring raw = request.substr(open + 8, close - open - 8);
    std::wstring out;
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] != L'&') {
            out += raw[i];
            continue;
        }
        const size_t semi = raw.find(L';', i);
        const std::wstring entity = raw.substr(i + 1, semi - i - 1);
        if (entity == L"amp") out += L'&';
        else if (entity == L"lt") out += L'<';
        else if (entity == L"gt") out += L'>';
        else if (entity == L"quot") out += L'"';
        else if (entity == L"apos") out += L'\'';
        else if (entity == L"#13") out += L'\r';
        else out += L"<entity " + entity + L">";
        i = semi;
    }
    return out;
}

struct Counts {
    long handles = 0, user = 0, gdi = 0;
};

class BadInput : public ClientRun {
protected:
    void SetUp() override { deleteTree(kSettingsKey); }
    void TearDown() override { deleteTree(kSettingsKey); }

    // Runs the client with the script, which must fire "Done" as its last step, and
    // waits for it.
    void Play(const std::string& script, std::chrono::milliseconds timeout = 20s) {
        Start(script);
        if (HasFatalFailure()) return;
        ASSERT_TRUE(record_->waitFor(
            [](const Json& l) {
                return l.memberIs("ev", "fire") && l["args"][0].isString() && l["args"][0].text() == L"Done";
            },
            timeout))
            << "the script did not run to its end";
        settle(player_);
    }

    std::vector<std::wstring> RequestNames() const {
        std::vector<std::wstring> names;
        for (const Json& l : record_->events("call", "CallFunction")) names.push_back(RequestName(l["args"][0].text()));
        return names;
    }

    std::vector<Counts> Stats() const {
        std::vector<Counts> out;
        for (const Json& l : record_->events("stats"))
            out.push_back({static_cast<long>(l["handles"].integer()), static_cast<long>(l["user"].integer()),
                           static_cast<long>(l["gdi"].integer())});
        return out;
    }

    // Alive, answering, and no more handles, USER or GDI objects at the last stats line
    // than at the first one after start-up (the script's own "stats" steps).
    void ExpectHealthy() const {
        EXPECT_TRUE(process_->alive()) << "the client ended";
        EXPECT_TRUE(answers(player_, 3s)) << "the client does not answer a WM_NULL";
        const std::vector<Counts> stats = Stats();
        // The first line is LoadMovie's own, in the middle of start-up.
        ASSERT_GE(stats.size(), 3u) << "the script needs two stats steps";
        const Counts& before = stats[1];
        const Counts& after = stats.back();
        EXPECT_LE(after.handles, before.handles + kCountSlack) << "handles grew";
        EXPECT_LE(after.user, before.user + kCountSlack) << "USER objects grew";
        EXPECT_LE(after.gdi, before.gdi + kCountSlack) << "GDI objects grew";
        EXPECT_GT(after.handles, 0) << "no handle count: the stats cannot see a leak";
    }

    bool IsFullScreen() const {
        RECT screen{};
        GetWindowRect(GetDesktopWindow(), &screen);
        return Rect(describe(player_).clientOnScreen) == Rect(screen);
    }
};

// Commands and arguments no movie should send. Each line fires after the announcement;
// none of them is "FullScreen" with "True" or "False", or the announcement itself.
TEST_F(BadInput, OddFSCommandTextsAreIgnoredWithoutHarm) {
    Play("var $version \"v\"\n"
         "at 100 fs SwfInitialzed \"\"\n"
         "at 800 stats\n"
         "at 900 fs null null\n"
         "at 900 fs null True\n"
         "at 900 fs FullScreen null\n"
         "at 900 fs \"\" \"\"\n"
         "at 900 fs FullScreen \"\"\n"
         "at 900 fs FullScreen \"x\"*1048576\n"                 // a 1 MiB argument
         "at 900 fs \"F\"*1048576 True\n"                       // a 1 MiB command
         "at 900 fs FullScreen \"True\\0\"\n"                   // embedded NULs: other words
         "at 900 fs \"FullScreen\\0\" True\n"
         "at 900 fs \"SwfInitialzed\\0x\" \"\"\n"
         "at 900 fs \"\\0\" \"\\0\\0\"\n"
         "at 900 fs \"\\u5168\\u5c4f\" \"\\u771f\"\n"            // Chinese command and argument
         "at 900 fs FullScreen \"\\uff34rue\"\n"                // fullwidth T: not ASCII
         "at 900 fs \"SwfIn\\u0131tialzed\" \"\"\n"             // dotless i: not the announcement
         "at 900 fs \"FULLSCREEN \" TRUE\n"                     // a trailing space
         "at 900 fs FullScreen \"\\ud800\"\n"                   // a lone surrogate
         "at 1800 stats\n"
         "at 1900 fs Done \"\"\n");
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(RequestNames(), std::vector<std::wstring>{L"NofityClientEnvironment"}) << "only the one report";
    EXPECT_FALSE(IsFullScreen());
    EXPECT_EQ(record_->events("fire", "FSCommand").size(), 18u) << "every line was fired";
    ExpectHealthy();
}

// 10,000 announcements in one go restart one timer: one report follows, 500 ms after the
// burst. 10,000 requests for full screen switch once and notify once.
TEST_F(BadInput, BurstsOfAnnouncementsAndRequestsGiveOneAnswerEach) {
    Play("var $version \"v\"\n"
         "at 50 stats\n"
         "burst 100 10000 fs SwfInitialzed \"\"\n"
         "at 1200 stats\n"
         "burst 1300 10000 fs FullScreen True\n"
         "at 1800 stats\n"
         "at 1900 fs Done \"\"\n");
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(RequestNames(), (std::vector<std::wstring>{L"NofityClientEnvironment", L"NofityFullScreenState"}));
    const auto reports = record_->events("call", "CallFunction");
    const auto bursts = record_->events("fire", "FSCommand");
    ASSERT_EQ(bursts.size(), 3u);
    EXPECT_EQ(bursts[0]["count"].integer(), 10000);
    ASSERT_FALSE(reports.empty());
    // The burst line is written before its first event; the last one came later still.
    EXPECT_GE(reports[0]["t"].integer(), bursts[0]["t"].integer() + 450);
    EXPECT_TRUE(IsFullScreen());
    ExpectHealthy();
}

// Every call the host makes into the movie fails: Play at the start, GetVariable for the
// report, CallFunction for the notification. The client goes on and still switches.
TEST_F(BadInput, AMovieWhoseEveryCallFailsLeavesTheClientRunning) {
    Play("fail Play\nfail GetVariable\nfail CallFunction\n"
         "at 50 stats\n"
         "at 100 fs SwfInitialzed \"\"\n"
         "at 800 fs FullScreen True\n"
         "at 1000 fs FullScreen False\n"
         "at 1200 fs SwfInitialzed \"\"\n"
         "at 1900 stats\n"
         "at 2000 fs Done \"\"\n");
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(record_->events("call", "Play").size(), 1u);
    EXPECT_EQ(record_->events("call", "GetVariable").size(), 2u) << "each announcement tries one report";
    // The reports ended at GetVariable; the two notifications were tried and failed.
    EXPECT_EQ(RequestNames(), (std::vector<std::wstring>{L"NofityFullScreenState", L"NofityFullScreenState"}));
    EXPECT_FALSE(IsFullScreen());
    EXPECT_TRUE(ControlCoversClient());
    ExpectHealthy();
}

// Settings values of every bad kind. Each run stores one value, announces, and reads the
// report; the line chooser (which a "true" RemindServerSelect would open) must stay shut.
struct StoredValueCase {
    const char* label;
    const wchar_t* name;
    DWORD type;
    std::vector<BYTE> data;
    std::wstring reportedSource;  // the DownloadSource in the report
};

std::vector<BYTE> Units(std::wstring_view text, bool terminated = true) {
    std::vector<BYTE> out;
    for (wchar_t c : text) {
        out.push_back(static_cast<BYTE>(c & 0xFF));
        out.push_back(static_cast<BYTE>((c >> 8) & 0xFF));
    }
    if (terminated) out.insert(out.end(), {0, 0});
    return out;
}

std::vector<StoredValueCase> StoredValueCases() {
    const std::wstring fits(127, L's');  // with its NUL, the 128 units the store reads
    std::vector<BYTE> odd = Units(L"web");
    odd.push_back('x');
    return {
        {"dword", L"DownloadSource", REG_DWORD, {1, 0, 0, 0}, L"Unknown"},
        {"qword", L"DownloadSource", REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0}, L"Unknown"},
        {"binary", L"DownloadSource", REG_BINARY, Units(L"web"), L"Unknown"},
        {"none", L"DownloadSource", REG_NONE, {}, L"Unknown"},
        {"multi_sz", L"DownloadSource", REG_MULTI_SZ, Units(std::wstring(L"a\0b\0", 4)), L"Unknown"},
        {"odd_byte_count", L"DownloadSource", REG_SZ, odd, L"Unknown"},
        {"unterminated", L"DownloadSource", REG_SZ, Units(L"web", false), L"Unknown"},
        {"zero_bytes", L"DownloadSource", REG_SZ, {}, L""},
        {"inner_nul", L"DownloadSource", REG_SZ, Units(std::wstring(L"ab\0cd", 5)), L"ab"},
        {"expand_sz_kept_as_stored", L"DownloadSource", REG_EXPAND_SZ, Units(L"%WINDIR%"), L"%WINDIR%"},
        {"longest_that_fits", L"DownloadSource", REG_SZ, Units(fits), fits},
        {"one_unit_too_long", L"DownloadSource", REG_SZ, Units(fits + L"s"), L"Unknown"},
        {"64_KiB", L"DownloadSource", REG_SZ, Units(std::wstring(32767, L'L')), L"Unknown"},
        {"chinese_and_a_lone_surrogate", L"DownloadSource", REG_SZ, Units(L"\u6e20\u9053\xD800<&>"),
         L"\u6e20\u9053\xFFFD<&>"},
        {"remind_as_dword", L"RemindServerSelect", REG_DWORD, {1, 0, 0, 0}, L"Unknown"},
        {"remind_unterminated", L"RemindServerSelect", REG_SZ, Units(L"true", false), L"Unknown"},
        {"remind_with_a_space", L"RemindServerSelect", REG_SZ, Units(L"true "), L"Unknown"},
    };
}

class BadStoredValue : public BadInput, public ::testing::WithParamInterface<StoredValueCase> {};

TEST_P(BadStoredValue, ReportsWhatTheStoreAcceptsAndRunsOn) {
    const StoredValueCase& c = GetParam();
    ASSERT_TRUE(writeValue(kSettingsKey, c.name, c.type, c.data.data(), c.data.size()));
    Play("var $version \"v\"\n"
         "at 50 stats\n"
         "at 100 fs SwfInitialzed \"\"\n"
         "at 900 stats\n"
         "at 1000 fs Done \"\"\n");
    ASSERT_FALSE(HasFatalFailure());
    const auto requests = record_->events("call", "CallFunction");
    ASSERT_EQ(requests.size(), 1u);
    const std::wstring report = RequestArgument(requests[0]["args"][0].text());
    const size_t at = report.find(L"&DownloadSource=");
    ASSERT_NE(at, std::wstring::npos) << narrow(report);
    EXPECT_EQ(report.substr(at + 16), c.reportedSource);
    EXPECT_EQ(topLevelWindows(process_->pid()), std::vector<HWND>{player_}) << "a window opened beside the player";
    ExpectHealthy();
}

INSTANTIATE_TEST_SUITE_P(EveryBadKind, BadStoredValue, ::testing::ValuesIn(StoredValueCases()),
                         [](const auto& info) { return std::string(info.param.label); });

}  // namespace
}  // namespace e2e
