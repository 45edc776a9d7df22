#pragma once
// Looking at another process's windows from outside: finding them, and reading what the
// window manager knows about them (rects, styles, texts, children).

#include <windows.h>

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

namespace e2e {

using namespace std::chrono_literals;

struct WindowInfo {
  HWND hwnd = nullptr;
  std::wstring className;
  std::wstring text;
  int id = 0;  // the control id of a child window
  DWORD style = 0;
  DWORD exStyle = 0;
  bool visible = false;
  RECT window{};          // screen coordinates
  RECT client{};          // client coordinates: origin (0, 0)
  RECT clientOnScreen{};  // the client area in screen coordinates
};

WindowInfo describe(HWND window);

// Visible top-level windows of the process, in z-order.
std::vector<HWND> topLevelWindows(DWORD pid);

// The first visible top-level window of the process with this class and caption; an empty
// class or caption matches any. Null when none shows up within the timeout.
HWND waitForWindow(DWORD pid, std::wstring_view className, std::wstring_view caption,
                   std::chrono::milliseconds timeout = 10s);

// Every descendant of the window, in EnumChildWindows order.
std::vector<WindowInfo> childWindows(HWND parent);

// The window's text through WM_GETTEXT, which the system carries across processes.
std::wstring windowText(HWND window);

// Whether the window's thread answers a WM_NULL within the timeout.
bool answers(HWND window, std::chrono::milliseconds timeout = 2s);

}  // namespace e2e
