#include "standin_window.h"

#include "key_record.h"
#include "probe.h"
#include "record.h"
#include "standin_config.h"

namespace standin {
namespace {

constexpr wchar_t kClassName[] = L"ZbMovieStandin";
constexpr size_t kStatusLimit = 160;  // a 1 MiB argument is shown by its start only

bool EnsureClassRegistered() {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(ThisModule(), kClassName, &existing)) return true;
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    // Each window is subclassed to its object right after creation; the class itself keeps
    // no pointer into this DLL, which COM may unload and load again.
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = ThisModule();
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    return RegisterClassExW(&wc) != 0;
}

}  // namespace

bool StandinWindow::Create(HWND parent, const RECT& rect, int objectNumber) {
    if (window_) return true;
    objectNumber_ = objectNumber;
    status_ = L"Zembaroo movie stand-in";
    if (!EnsureClassRegistered()) return false;
    HWND window = CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS,
                                  rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
                                  nullptr, ThisModule(), nullptr);
    if (!window) return false;
    window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&StandinWindow::Procedure));
    InvalidateRect(window, nullptr, TRUE);
    return true;
}

void StandinWindow::Destroy() {
    if (HWND window = window_) DestroyWindow(window);  // WM_NCDESTROY clears window_
    window_ = nullptr;
}

void StandinWindow::SetStatus(std::wstring text) {
    if (text.size() > kStatusLimit) text = text.substr(0, kStatusLimit) + L"\x2026";
    status_ = std::move(text);
    if (window_) InvalidateRect(window_, nullptr, TRUE);
}

LRESULT CALLBACK StandinWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<StandinWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    try {
        return self->OnMessage(message, wParam, lParam);
    } catch (...) {
        // Nothing may unwind into the system's dispatcher; the message counts as handled.
        return 0;
    }
}

LRESULT StandinWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = window_;
    if (message == ProbeMessage() && message != 0) {
        JsonLine line = ProbeLine(wParam);
        line.Key("obj").Int(objectNumber_);
        Record::Instance().Write(line);
        return 1;
    }
    switch (message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
        if (auto line = KeyLine("window", message, wParam)) {
            line->Key("obj").Int(objectNumber_);
            Record::Instance().Write(*line);
        }
        break;  // default processing still runs: Alt+F4 must reach the top-level window
    case WM_GETDLGCODE:
        return DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_LBUTTONDOWN:
        SetFocus(window);
        return 0;
    case WM_SETFOCUS:
        events_.OnWindowFocus();
        return 0;
    case WM_TIMER:
        events_.OnWindowTimer(wParam);
        return 0;
    case WM_ERASEBKGND:
        return 1;  // WM_PAINT fills everything
    case WM_PAINT:
        Paint();
        return 0;
    case WM_NCDESTROY:
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        window_ = nullptr;
        events_.OnWindowDestroyed();
        return DefWindowProcW(window, message, wParam, lParam);
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void StandinWindow::Paint() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window_, &ps);
    if (!dc) return;
    RECT client{};
    GetClientRect(window_, &client);
    HBRUSH background = CreateSolidBrush(kStandinBackground);
    FillRect(dc, &client, background);
    DeleteObject(background);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kStandinTextColour);
    RECT textRect = client;
    InflateRect(&textRect, -8, -8);
    DrawTextW(dc, status_.c_str(), static_cast<int>(status_.size()), &textRect,
              DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL);
    EndPaint(window_, &ps);
}

}  // namespace standin
