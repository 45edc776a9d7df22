// The player window itself: construction, initialisation, sizing, the system-menu About
// box, the minimised icon and the keyboard rule.
#include "player/PlaynookAppDlg.h"

#include "player/AboutDlg.h"
#include "settings/server_line.h"
#include "resource.h"
#include "winkit/application.h"
#include "winkit/handles.h"

namespace {
// Client area the window opens with, in pixels.
constexpr int kClientWidth = 960;
constexpr int kClientHeight = 600;

std::wstring LoadResourceString(UINT id) {
    const wchar_t* text = nullptr;
    // With a zero buffer size LoadStringW hands out a pointer into the resource itself.
    const int length = ::LoadStringW(winkit::Application::Get()->GetInstance(), id,
                                     reinterpret_cast<LPWSTR>(&text), 0);
    return length > 0 && text ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

// Posted to itself once the window runs, to offer the line chooser.
constexpr UINT kRemindServerSelectMessage = WM_APP + 1;

bool IsKeyDown(int virtualKey) { return (::GetKeyState(virtualKey) & 0x80) != 0; }
}  // namespace

CPlaynookAppDlg::CPlaynookAppDlg() : winkit::Dialog(IDD_PLAYNOOKAPP_DIALOG, nullptr) {
    m_hIcon = ::LoadIconW(winkit::Application::Get()->GetInstance(), MAKEINTRESOURCEW(IDR_MAINFRAME));
}

CPlaynookAppDlg::~CPlaynookAppDlg() = default;

const winkit::MessageEntry* CPlaynookAppDlg::GetMessageMap() const {
    static constexpr winkit::MessageEntry map[] = {
        winkit::on_sys_command<&CPlaynookAppDlg::OnSysCommand>,
        winkit::on_paint<&CPlaynookAppDlg::OnPaint>,
        winkit::on_query_drag_icon<&CPlaynookAppDlg::OnQueryDragIcon>,
        winkit::on_size<&CPlaynookAppDlg::OnSize>,
        winkit::on_timer<&CPlaynookAppDlg::OnTimer>,
        winkit::on_destroy<&CPlaynookAppDlg::OnDestroy>,
        winkit::on_message<kRemindServerSelectMessage, &CPlaynookAppDlg::OnRemindServerSelect>,
        winkit::end_of_map,
    };
    return map;
}

const winkit::EventEntry* CPlaynookAppDlg::GetEventSinkMap() const {
    static constexpr winkit::EventEntry map[] = {
        winkit::on_event_text2<IDC_FLASH, 150 /* FSCommand */, &CPlaynookAppDlg::OnFSCommand>,
        winkit::end_of_event_map,
    };
    return map;
}

void CPlaynookAppDlg::DoDataExchange(winkit::DataExchange& dx) { dx.Control(IDC_FLASH, m_flash); }

BOOL CPlaynookAppDlg::OnInitDialog() {
    winkit::Dialog::OnInitDialog();

    if (HMENU systemMenu = ::GetSystemMenu(hwnd_, FALSE)) {
        const std::wstring about = LoadResourceString(IDS_ABOUTBOX);
        if (!about.empty()) {
            ::AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuW(systemMenu, MF_STRING, IDM_ABOUTBOX, about.c_str());
        }
    }

    ::SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    ::SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    ::SetWindowTextW(hwnd_, L"Zembaroo");
    ::ShowWindow(hwnd_, SW_SHOWNORMAL);

    // The outer size of a window with this frame and caption around a 960 x 600 client.
    RECT window{};
    ::GetWindowRect(hwnd_, &window);
    const int width = kClientWidth + 2 * ::GetSystemMetrics(SM_CXFRAME);
    const int height = kClientHeight + 2 * ::GetSystemMetrics(SM_CYFRAME) + ::GetSystemMetrics(SM_CYCAPTION);
    ::MoveWindow(hwnd_, window.left, window.top, width, height, TRUE);
    CenterWindow();

    InitPlayer();
    ::PostMessageW(hwnd_, kRemindServerSelectMessage, 0, 0);
    return TRUE;
}

void CPlaynookAppDlg::InitPlayer() {
    m_nServer = AutoSelect;
    SetupEndpoints(m_nServer);
    StartMovie();
}

void CPlaynookAppDlg::OnSysCommand(UINT nID, LPARAM) {
    if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg about;
        about.DoModal();
        return;
    }
    Default();
}

void CPlaynookAppDlg::OnPaint() {
    if (!::IsIconic(hwnd_)) {
        Default();
        return;
    }
    winkit::paint_context paint(hwnd_);
    ::SendMessageW(hwnd_, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(paint.dc()), 0);
    const int iconWidth = ::GetSystemMetrics(SM_CXICON);
    const int iconHeight = ::GetSystemMetrics(SM_CYICON);
    RECT client{};
    ::GetClientRect(hwnd_, &client);
    const int x = (client.right - client.left - iconWidth + 1) / 2;
    const int y = (client.bottom - client.top - iconHeight + 1) / 2;
    ::DrawIcon(paint.dc(), x, y, m_hIcon);
}

HCURSOR CPlaynookAppDlg::OnQueryDragIcon() { return static_cast<HCURSOR>(m_hIcon); }

void CPlaynookAppDlg::OnSize(UINT, int, int) {
    Default();
    if (!FindControlSite(IDC_FLASH)) return;
    // The client rectangle is read afresh: minimised it is empty, restored it is whole.
    RECT client{};
    ::GetClientRect(hwnd_, &client);
    m_flash.MoveWindow(client.left, client.top, client.right - client.left, client.bottom - client.top, TRUE);
}

BOOL CPlaynookAppDlg::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_KEYDOWN) {
        // Enter and Escape go to the movie as ordinary input and never end the window.
        if (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE) return FALSE;
        // The hidden diagnostic combination: left Ctrl + left Shift + Right arrow.
        if (msg->wParam == VK_RIGHT && IsKeyDown(VK_LSHIFT) && IsKeyDown(VK_LCONTROL)) {
            ShowDiagnosticSummary();
            return TRUE;
        }
        // F4 opens the network line chooser, as its check box promises. Alt+F4 is a
        // system key and still closes the window.
        if (msg->wParam == VK_F4) {
            ShowServerSelect();
            return TRUE;
        }
    }
    return winkit::Dialog::PreTranslateMessage(msg);
}

void CPlaynookAppDlg::WinHelp(DWORD_PTR, UINT) {}

void CPlaynookAppDlg::OnDestroy() { winkit::Dialog::OnDestroy(); }
