// The conversation with the movie, as the stand-in records it: the load sequence, the
// announcement and the environment report, and full screen with its notifications.
#include <gtest/gtest.h>

#include <string>

#include "client_fixture.h"

namespace e2e {
namespace {

// The text inside <string>…</string> of an invoke request, with XML entities decoded.
std::wstring InvokeArgument(const std::wstring& request) {
    const size_t open = request.find(L"<string>");
    const size_t close = request.rfind(L"</string>");
    if (open == std::wstring::npos || close == std::wstring::npos || close < open) return L"<no string element>";
    std::wstring raw = request.substr(open + 8, close - open - 8);
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
        else if (entity.size() > 2 && entity[0] == L'#' && entity[1] == L'x') out += static_cast<wchar_t>(std::stoul(entity.substr(2), nullptr, 16));
        else if (entity.size() > 1 && entity[0] == L'#') out += static_cast<wchar_t>(std::stoul(entity.substr(1)));
        else out += L"<bad entity>";
        i = semi;
    }
    return out;
}

std::wstring RequestName(const std::wstring& request) {
    const size_t start = request.find(L"name=\"");
    if (start == std::wstring::npos) return {};
    return request.substr(start + 6, request.find(L'"', start + 6) - start - 6);
}

std::wstring OsVersionOfThisSystem() {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    GetVersionExW(&info);
    return std::to_wstring(info.dwMajorVersion) + L"." + std::to_wstring(info.dwMinorVersion) + L"." +
           std::to_wstring(info.dwBuildNumber) + L"." + std::to_wstring(info.dwPlatformId) + L" " + info.szCSDVersion;
}

class BridgeTest : public ClientRun {
protected:
    void SetUp() override { deleteTree(kSettingsKey); }
    void TearDown() override { deleteTree(kSettingsKey); }

    // CallFunction requests so far, with the time they arrived.
    struct Request {
        long t;
        std::wstring name;
        std::wstring argument;
        std::wstring text;
    };
    std::vector<Request> Requests() const {
        std::vector<Request> out;
        for (const Json& l : record_->events("call", "CallFunction")) {
            const std::wstring text = l["args"][0].text();
            out.push_back({static_cast<long>(l["t"].integer()), RequestName(text), InvokeArgument(text), text});
        }
        return out;
    }
    std::vector<Request> RequestsNamed(const std::wstring& name) const {
        std::vector<Request> out;
        for (auto& r : Requests())
            if (r.name == name) out.push_back(r);
        return out;
    }
    long FireTime(const std::wstring& command, int nth = 0) const {
        for (const Json& l : record_->events("fire", "FSCommand"))
            if (l["args"][0].text() == command && nth-- == 0) return static_cast<long>(l["t"].integer());
        return -1;
    }
    // Waits until the script has run to its "done" marker.
    void WaitForScriptEnd(std::chrono::milliseconds timeout = 10s) {
        ASSERT_TRUE(record_->waitFor(
            [](const Json& l) { return l.memberIs("ev", "fire") && l["args"][0].text() == L"Done"; }, timeout))
            << record_->text();
        settle(player_);
    }
};

TEST_F(BridgeTest, LoadsTheMovieThenAnnouncementsGiveOneReportEach) {
    Start(
        "var $version \"WIN 32,0,0,465\"\n"
        "at 100 fs SwfInitialzed \"\"\n"
        "at 300 fs SWFINITIALZED x\n"        // restarts the timer: still one report
        "at 1400 fs SwfInitialized \"\"\n"   // the correct spelling is not the announcement
        "at 1600 fs swfinitialzed null\n"    // a second announcement, a second report
        "at 2600 fs Done \"\"\n");
    // The load sequence, in order.
    std::vector<std::string> calls;
    for (const Json& l : record_->events("call"))
        if (l["name"].utf8().rfind("I", 0) != 0) calls.push_back(l["name"].utf8());
    ASSERT_GE(calls.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(calls.begin(), calls.begin() + 4),
              (std::vector<std::string>{"put_AllowFullScreen", "put_FlashVars", "LoadMovie", "Play"}));
    EXPECT_EQ(record_->events("call", "put_AllowFullScreen")[0]["args"][0].text(), L"true");
    EXPECT_EQ(record_->events("call", "put_FlashVars")[0]["args"][0].text(),
              L"key=&isautocheck=true&isshowcheckinfo=false");
    const Json load = record_->events("call", "LoadMovie")[0];
    EXPECT_EQ(load["args"][0].integer(), 0);
    EXPECT_EQ(load["args"][1].text(), L"http://zembaroo.example/client/ma/booter.swf?111018");

    WaitForScriptEnd();
    const auto reports = RequestsNamed(L"NofityClientEnvironment");
    ASSERT_EQ(reports.size(), 2u) << record_->text();
    const long second = FireTime(L"SWFINITIALZED");
    EXPECT_GE(reports[0].t, second + 450) << "the report waits 500 ms after the last announcement";
    EXPECT_LE(reports[0].t, second + 1000);
    EXPECT_GE(reports[1].t, FireTime(L"swfinitialzed") + 450);
    const std::wstring expected = L"OS=" + OsVersionOfThisSystem() +
                                  L"&FlashPlayer=WIN 32,0,0,465&Exe=2.0.13.130&DownloadSource=Unknown";
    EXPECT_EQ(reports[0].argument, expected);
    EXPECT_EQ(reports[0].text.rfind(L"<invoke name=\"NofityClientEnvironment\" returntype=\"xml\"><arguments><string>", 0), 0u);
}

TEST_F(BridgeTest, DownloadSourceArrivesIntactThroughTheXml) {
    const std::wstring source = L"a&b=c <x/> \"q\" 'a'";
    ASSERT_TRUE(writeText(kSettingsKey, L"DownloadSource", source));
    Start("var $version \"\"\nat 100 fs SwfInitialzed \"\"\nat 900 fs Done \"\"\n");
    WaitForScriptEnd();
    const auto reports = RequestsNamed(L"NofityClientEnvironment");
    ASSERT_EQ(reports.size(), 1u);
    const std::wstring& argument = reports[0].argument;
    EXPECT_NE(argument.find(L"&FlashPlayer=&Exe="), std::wstring::npos);
    EXPECT_EQ(argument.substr(argument.find(L"&DownloadSource=") + 16), source);
    // No element of the movie's own can be injected: one <string>, nothing inside it.
    EXPECT_EQ(reports[0].text.find(L"<x/>"), std::wstring::npos);
}

TEST_F(BridgeTest, FailingGetVariableSendsNoReportAndTheClientRunsOn) {
    Start("fail GetVariable\nat 100 fs SwfInitialzed \"\"\nat 900 fs Done \"\"\n");
    WaitForScriptEnd();
    EXPECT_EQ(record_->events("call", "GetVariable").size(), 1u);
    EXPECT_TRUE(RequestsNamed(L"NofityClientEnvironment").empty());
    EXPECT_TRUE(answers(player_));
}

TEST_F(BridgeTest, FullScreenCoversThePrimaryScreenAndComesBackExactly) {
    Start(
        "var $version \"v\"\n"
        "at 100 fs FullScreen False\n"       // windowed already: nothing
        "at 200 fs SwfInitialzed \"\"\n"
        "at 1000 fs fullscreen TRUE\n"
        "at 1100 fs FullScreen True\n"       // already full screen: nothing
        "at 1200 fs FullScreen 1\n"          // not an argument it knows
        "at 1300 fs FullScreen null\n"
        "at 1400 fs Mark \"\"\n"
        "at 2400 fs FullScreen false\n"
        "at 2600 fs Done \"\"\n");
    const WindowInfo before = describe(player_);
    ASSERT_TRUE(record_->waitFor(
        [](const Json& l) { return l.memberIs("ev", "fire") && l["args"][0].text() == L"Mark"; }, 10s));
    settle(player_);
    RECT screen{};
    GetWindowRect(GetDesktopWindow(), &screen);
    const WindowInfo full = describe(player_);
    EXPECT_EQ(Rect(full.clientOnScreen), Rect(screen));
    EXPECT_LT(full.window.top, screen.top) << "the caption lies above the screen";
    EXPECT_EQ(full.style & WS_THICKFRAME, 0u);
    EXPECT_EQ(Rect(describe(standin_).window), Rect(screen));

    WaitForScriptEnd();
    const WindowInfo after = describe(player_);
    EXPECT_EQ(Rect(after.window), Rect(before.window));
    EXPECT_EQ(Rect(after.client), Rect(before.client)) << "the client area is stale after the frame came back";
    EXPECT_EQ(after.style, before.style);
    EXPECT_TRUE(ControlCoversClient());

    const auto notes = RequestsNamed(L"NofityFullScreenState");
    ASSERT_EQ(notes.size(), 2u) << record_->text();
    EXPECT_EQ(notes[0].text,
              L"<invoke name=\"NofityFullScreenState\" returntype=\"xml\"><arguments><string>true</string></arguments></invoke>");
    EXPECT_EQ(notes[1].argument, L"false");
}

TEST_F(BridgeTest, FullScreenBeforeTheAnnouncementIsNeverNotified) {
    Start("at 100 fs FullScreen True\nat 300 fs SwfInitialzed \"\"\nat 1200 fs Done \"\"\n");
    WaitForScriptEnd();
    RECT screen{};
    GetWindowRect(GetDesktopWindow(), &screen);
    EXPECT_EQ(Rect(describe(player_).clientOnScreen), Rect(screen));
    EXPECT_TRUE(RequestsNamed(L"NofityFullScreenState").empty());
    EXPECT_EQ(RequestsNamed(L"NofityClientEnvironment").size(), 1u);
}

TEST_F(BridgeTest, MaximisedWindowComesBackMaximised) {
    Start("at 1000 fs FullScreen True\nat 1800 fs FullScreen False\nat 2300 fs Done \"\"\n");
    ShowWindow(player_, SW_MAXIMIZE);
    settle(player_);
    const WindowInfo maximised = describe(player_);
    WaitForScriptEnd();
    EXPECT_TRUE(IsZoomed(player_));
    EXPECT_EQ(Rect(describe(player_).window), Rect(maximised.window));
    EXPECT_TRUE(ControlCoversClient());
}

TEST_F(BridgeTest, FailingNotificationLeavesTheNewModeAndTheClientRunning) {
    Start("fail CallFunction\nat 100 fs SwfInitialzed \"\"\nat 900 fs FullScreen True\nat 1400 fs Done \"\"\n");
    WaitForScriptEnd();
    RECT screen{};
    GetWindowRect(GetDesktopWindow(), &screen);
    EXPECT_EQ(Rect(describe(player_).clientOnScreen), Rect(screen));
    EXPECT_EQ(Requests().size(), 2u) << "the report and the notification were both tried";
    EXPECT_TRUE(answers(player_));
    EXPECT_TRUE(process_->alive());
}

}  // namespace
}  // namespace e2e
