#pragma once
// Message boxes of another process: dialog windows of class "#32770" with a caption, a
// static text, perhaps an icon, and buttons.

#include <windows.h>

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "e2e/window_query.h"

namespace e2e {

using namespace std::chrono_literals;

enum class MessageIcon { none, error, question, warning, information, unrecognised };
const char* toString(MessageIcon icon);

struct MessageBoxView {
  HWND hwnd = nullptr;
  std::wstring caption;
  std::wstring text;
  HWND iconControl = nullptr;
  std::vector<WindowInfo> buttons;

  HWND button(int id) const;
};

HWND waitForMessageBox(DWORD pid, std::wstring_view caption, std::chrono::milliseconds timeout = 10s);
MessageBoxView readMessageBox(HWND box);

// Which system icon the box shows. Icon handles cannot be compared across processes under
// Wine, so this compares what is on the screen with each system icon drawn here; it
// retries until the box has been painted or the timeout ends.
MessageIcon recogniseIcon(const MessageBoxView& box, std::chrono::milliseconds timeout = 3s);

}  // namespace e2e
