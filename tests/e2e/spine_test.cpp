// The client's spine, driven from outside as a user would: start-up without the player,
// the player window's size, place and caption, the control over the client area through
// every resize, the system menu and About box, Enter and Escape, and the ways to close.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "client_fixture.h"
#include "e2e/message_box.h"

namespace e2e {
namespace {

constexpr wchar_t kMissingPlayer[] =
    L"\u6CA1\u6709\u5728\u60A8\u7684\u7CFB\u7EDF\u68C0\u6D4B\u5230 Flash \u64AD\u653E\u5668\uFF0C"
    L"\u8BF7\u4E0B\u8F7D\u540E\u5B89\u88C5\uFF01";

// The pages the prefix's browser was asked to open (the session's recorder).
std::filesystem::path BrowserLog() {
    const char* session = std::getenv("ZB_SESSION_DIR");
    if (!session) return {};
    return toWindowsPath(std::string(session) + "/browser.log");
}

std::string ReadAll(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

using SpineTest = ClientRun;

TEST_F(SpineTest, WithoutThePlayerTheUserIsToldAndSentToTheDownloadPage) {
    StandinUnregistered unregistered;
    ASSERT_EQ(unregistered.result(), S_OK);
    const auto browser = BrowserLog();
    ASSERT_FALSE(browser.empty()) << "run inside the Wine session (ZB_SESSION_DIR)";
    std::filesystem::remove(browser);

    Process client = Process::start({});
    HWND box = waitForMessageBox(client.pid(), L"PlaynookApp");
    ASSERT_TRUE(box) << "no message box captioned with the executable's name";
    const MessageBoxView view = readMessageBox(box);
    EXPECT_EQ(view.text, kMissingPlayer);
    ASSERT_EQ(view.buttons.size(), 1u);
    EXPECT_EQ(view.buttons[0].id, IDOK);
    EXPECT_EQ(recogniseIcon(view), MessageIcon::warning);
    EXPECT_EQ(topLevelWindows(client.pid()).size(), 1u) << "only the message box shows";

    // The page opens only once the box is dismissed.
    Sleep(500);
    EXPECT_FALSE(std::filesystem::exists(browser));
    pressButton(view.button(IDOK));
    ASSERT_TRUE(client.waitForExit(15s));
    for (int i = 0; i < 50 && ReadAll(browser).empty(); ++i) Sleep(100);
    EXPECT_EQ(ReadAll(browser), "http://get.player-vendor.example/download/\n");
}

TEST_F(SpineTest, PlayerServerThatCannotBeLoadedEndsTheRunSilently) {
    // The class is registered, but its server file is missing.
    StandinUnregistered unregistered;
    ASSERT_EQ(unregistered.result(), S_OK);
    const std::wstring clsidKey = std::wstring(L"Software\\Classes\\CLSID\\") + kStandinClsid;
    ASSERT_TRUE(writeText(clsidKey + L"\\InprocServer32", L"", L"Z:\\nowhere\\missing-player.dll", REG_SZ,
                          HKEY_LOCAL_MACHINE));
    Process client = Process::start({});
    const auto code = client.waitForExit(15s);
    const size_t windows = topLevelWindows(client.pid()).size();
    deleteTree(clsidKey, HKEY_LOCAL_MACHINE);
    EXPECT_EQ(windows, 0u);
    ASSERT_TRUE(code) << "the client kept running";
}

TEST_F(SpineTest, WindowOpensCentredAtItsSizeWithTheControlFillingIt) {
    Start();
    const WindowInfo info = describe(player_);
    EXPECT_EQ(info.text, kPlayerCaption);
    const int width = 960 + 2 * GetSystemMetrics(SM_CXFRAME);
    const int height = 600 + 2 * GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION);
    EXPECT_EQ(info.window.right - info.window.left, width);
    EXPECT_EQ(info.window.bottom - info.window.top, height);
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(info.window.left, (work.left + work.right) / 2 - width / 2);
    EXPECT_EQ(info.window.top, (work.top + work.bottom) / 2 - height / 2);
    // The template's style; the system adds WS_CLIPSIBLINGS to every top-level window and
    // the dialog manager DS_3DLOOK to every dialog.
    EXPECT_EQ(info.style, 0x90CF0048u | WS_CLIPSIBLINGS | DS_3DLOOK);
    EXPECT_TRUE(info.exStyle & WS_EX_APPWINDOW);

    EXPECT_TRUE(ControlCoversClient());
    EXPECT_EQ(Rect(describe(standin_).window), Rect(info.clientOnScreen));

    // The initial property set reached the control before it was activated.
    const auto bag = record_->events("call", "IPersistPropertyBag::Load");
    ASSERT_EQ(bag.size(), 1u);
    EXPECT_TRUE(bag[0]["props"].memberIs("WMode", "Window"));
    EXPECT_TRUE(bag[0]["props"].memberIs("Quality", "High"));
    EXPECT_TRUE(bag[0]["props"].memberIs("Scale", "ShowAll"));
    EXPECT_TRUE(bag[0]["props"].memberIs("AllowNetworking", "all"));
    const auto extent = record_->events("call", "IOleObject::SetExtent");
    ASSERT_EQ(extent.size(), 1u);
    EXPECT_EQ(Ints(extent[0]["args"]), (std::vector<long>{12356, 7567}));
}

TEST_F(SpineTest, ControlFollowsTheClientAreaThroughResizeMaximiseMinimiseRestore) {
    Start();
    ASSERT_TRUE(ControlCoversClient());

    SetWindowPos(player_, nullptr, 10, 10, 700, 500, SWP_NOZORDER);
    EXPECT_TRUE(ControlCoversClient()) << "after a resize";

    ShowWindow(player_, SW_MAXIMIZE);
    EXPECT_TRUE(ControlCoversClient()) << "maximised";
    EXPECT_EQ(Rect(describe(standin_).window), Rect(ClientOnScreen()));

    ShowWindow(player_, SW_MINIMIZE);
    settle(player_);
    EXPECT_TRUE(ControlCoversClient()) << "minimised: the control gets the (empty) client area";

    ShowWindow(player_, SW_RESTORE);
    EXPECT_TRUE(ControlCoversClient()) << "restored";
    ShowWindow(player_, SW_RESTORE);
    EXPECT_TRUE(ControlCoversClient()) << "back to normal";
    EXPECT_EQ(LastObjectRects(), Rect(RECT{0, 0, 700 - 2 * GetSystemMetrics(SM_CXFRAME),
                                           500 - 2 * GetSystemMetrics(SM_CYFRAME) - GetSystemMetrics(SM_CYCAPTION)}));
}

TEST_F(SpineTest, SystemMenuEndsWithTheAboutItemWhichOpensTheAboutBox) {
    Start();
    const auto windows = probe(standin_, *record_);
    ASSERT_TRUE(windows);
    const ProbedWindow* player = nullptr;
    for (const auto& w : *windows)
        if (w.hwnd == player_) player = &w;
    ASSERT_TRUE(player);
    ASSERT_GE(player->sysmenu.size(), 2u);
    const MenuItem& separator = player->sysmenu[player->sysmenu.size() - 2];
    const MenuItem& about = player->sysmenu.back();
    EXPECT_TRUE(separator.flags & MF_SEPARATOR);
    EXPECT_EQ(about.id, 0x0010u);
    EXPECT_EQ(about.text, L"&About PlaynookApp...");
    EXPECT_NE(player->iconBig, 0u);
    EXPECT_EQ(player->iconBig, player->iconSmall);

    // The menu's command, and any command 0x0011-0x001F, open the About box over the window.
    for (WPARAM command : {WPARAM{0x0010}, WPARAM{0x0011}, WPARAM{0x001F}}) {
        PostMessageW(player_, WM_SYSCOMMAND, command, 0);
        HWND box = waitForWindow(process_->pid(), kDialogClass, L"About PlaynookApp", 10s);
        ASSERT_TRUE(box) << "command " << command;
        EXPECT_EQ(GetWindow(box, GW_OWNER), player_);
        EXPECT_FALSE(IsWindowEnabled(player_)) << "the About box is modal";
        bool version = false;
        HWND ok = nullptr;
        for (const WindowInfo& child : childWindows(box)) {
            if (child.text == L"Version 3.3.130") version = true;
            if (child.id == IDOK) ok = child.hwnd;
        }
        EXPECT_TRUE(version);
        ASSERT_TRUE(ok);
        pressButton(ok);
        for (int i = 0; i < 50 && IsWindow(box); ++i) Sleep(100);
        EXPECT_FALSE(IsWindow(box));
        EXPECT_TRUE(answers(player_));
        EXPECT_TRUE(IsWindowEnabled(player_));
    }
}

TEST_F(SpineTest, EnterAndEscapeReachTheMovieAndTheWindowStaysOpen) {
    Start();
    for (const KeyStroke& key : {keys::enter, keys::escape}) {
        ASSERT_TRUE(pressChord(standin_, {key}));
        const auto line = record_->waitFor(
            [&](const Json& l) {
                return l.memberIs("ev", "key") && l.memberIs("msg", "WM_KEYDOWN") && l["vk"].integer() == key.vk;
            },
            5s);
        EXPECT_TRUE(line) << "key " << key.vk << " did not reach the movie";
        settle(player_);
        EXPECT_TRUE(IsWindow(player_));
        EXPECT_TRUE(process_->alive());
    }
}

TEST_F(SpineTest, HelpRequestShowsNothing) {
    Start();
    PostMessageW(player_, WM_COMMAND, 0xE146 /* ID_HELP */, 0);
    PostMessageW(player_, WM_HELP, 0, 0);
    settle(player_);
    Sleep(300);
    EXPECT_EQ(topLevelWindows(process_->pid()).size(), 1u);
    EXPECT_TRUE(answers(player_));
}

enum class CloseBy { closeBox, systemMenuClose, altF4 };

class SpineCloseTest : public ClientRun, public ::testing::WithParamInterface<CloseBy> {};

TEST_P(SpineCloseTest, EndsTheProcess) {
    deleteTree(L"Software\\Local AppWizard-Generated Applications", HKEY_CURRENT_USER);
    Start();
    switch (GetParam()) {
        case CloseBy::closeBox: {
            // Wine draws the caption itself: the close box is the right-most caption button.
            const RECT w = describe(player_).window;
            const int frame = GetSystemMetrics(SM_CXFRAME);
            HWND target = player_;
            bringToForeground(target);
            RECT box{w.right - frame - GetSystemMetrics(SM_CXSIZE), w.top + GetSystemMetrics(SM_CYFRAME),
                     w.right - frame, w.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION)};
            const int x = (box.left + box.right) / 2, y = (box.top + box.bottom) / 2;
            SetCursorPos(x, y);
            INPUT clicks[2]{};
            clicks[0].type = clicks[1].type = INPUT_MOUSE;
            clicks[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
            clicks[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
            SendInput(2, clicks, sizeof(INPUT));
            break;
        }
        case CloseBy::systemMenuClose:
            PostMessageW(player_, WM_SYSCOMMAND, SC_CLOSE, 0);
            break;
        case CloseBy::altF4:
            ASSERT_TRUE(pressChord(standin_, {keys::leftAlt, keys::f4}));
            break;
    }
    EXPECT_TRUE(Ends()) << "the client is still running";
    // Orderly teardown of the control.
    const auto lines = record_->lines();
    std::vector<std::string> teardown;
    for (const Json& l : lines) {
        if (!l.memberIs("ev", "call")) continue;
        const std::string name = l["name"].utf8();
        if (name == "IConnectionPoint::Unadvise" || name == "IOleInPlaceObject::InPlaceDeactivate" ||
            name == "IOleObject::Close")
            teardown.push_back(name);
    }
    EXPECT_EQ(teardown, (std::vector<std::string>{"IConnectionPoint::Unadvise", "IOleInPlaceObject::InPlaceDeactivate",
                                                  "IOleObject::Close"}));
    // The framework's profile key is only named.
    EXPECT_FALSE(keyExists(L"Software\\Local AppWizard-Generated Applications", HKEY_CURRENT_USER));
}

INSTANTIATE_TEST_SUITE_P(Closing, SpineCloseTest,
                         ::testing::Values(CloseBy::closeBox, CloseBy::systemMenuClose, CloseBy::altF4),
                         [](const auto& info) {
                             switch (info.param) {
                                 case CloseBy::closeBox: return "CloseBox";
                                 case CloseBy::systemMenuClose: return "SystemMenuClose";
                                 default: return "AltF4";
                             }
                         });

}  // namespace
}  // namespace e2e
