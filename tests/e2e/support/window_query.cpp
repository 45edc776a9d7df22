#include "e2e/window_query.h"

#include <thread>

namespace e2e {

namespace {

std::wstring classOf(HWND window) {
  wchar_t name[256] = {};
  int length = GetClassNameW(window, name, 256);
  return std::wstring(name, static_cast<size_t>(length > 0 ? length : 0));
}

}  // namespace

std::wstring windowText(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length)) return {};
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                           2000, &copied)) {
    return {};
  }
  text.resize(static_cast<size_t>(copied));
  return text;
}

WindowInfo describe(HWND window) {
  WindowInfo info;
  info.hwnd = window;
  info.className = classOf(window);
  info.text = windowText(window);
  info.id = GetDlgCtrlID(window);
  info.style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
  info.exStyle = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
  info.visible = IsWindowVisible(window) != FALSE;
  GetWindowRect(window, &info.window);
  GetClientRect(window, &info.client);
  info.clientOnScreen = info.client;
  MapWindowPoints(window, HWND_DESKTOP, reinterpret_cast<POINT*>(&info.clientOnScreen), 2);
  return info;
}

std::vector<HWND> topLevelWindows(DWORD pid) {
  struct Search {
    DWORD pid;
    std::vector<HWND> found;
  } search{pid, {}};
  EnumWindows(
      [](HWND window, LPARAM context) -> BOOL {
        auto* s = reinterpret_cast<Search*>(context);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == s->pid && IsWindowVisible(window)) s->found.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND waitForWindow(DWORD pid, std::wstring_view className, std::wstring_view caption,
                   std::chrono::milliseconds timeout) {
  auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    for (HWND window : topLevelWindows(pid)) {
      if (!className.empty() && classOf(window) != className) continue;
      if (!caption.empty() && windowText(window) != caption) continue;
      return window;
    }
    if (std::chrono::steady_clock::now() >= deadline) return nullptr;
    std::this_thread::sleep_for(20ms);
  }
}

std::vector<WindowInfo> childWindows(HWND parent) {
  std::vector<HWND> handles;
  EnumChildWindows(
      parent,
      [](HWND window, LPARAM context) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(context)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&handles));
  std::vector<WindowInfo> children;
  children.reserve(handles.size());
  for (HWND window : handles) children.push_back(describe(window));
  return children;
}

bool answers(HWND window, std::chrono::milliseconds timeout) {
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, static_cast<UINT>(timeout.count()),
                             &ignored) != 0;
}

}  // namespace e2e
