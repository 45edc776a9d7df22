#include "e2e/input.h"

#include <thread>
#include <vector>

#include "e2e/window_query.h"

namespace e2e {

namespace {

INPUT keyInput(const KeyStroke& key, bool release) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key.vk;
  input.ki.wScan = key.scan;
  input.ki.dwFlags = (key.extended ? KEYEVENTF_EXTENDEDKEY : 0u) | (release ? KEYEVENTF_KEYUP : 0u);
  return input;
}

bool send(std::vector<INPUT>& inputs) {
  return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size();
}

}  // namespace

bool bringToForeground(HWND window, std::chrono::milliseconds timeout) {
  HWND top = GetAncestor(window, GA_ROOT);
  if (!top) return false;
  auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (GetForegroundWindow() == top) return true;
    SetForegroundWindow(top);
    answers(top);
    if (GetForegroundWindow() == top) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(20ms);
  }
}

bool pressChord(HWND target, const std::vector<KeyStroke>& chord) {
  if (!bringToForeground(target)) return false;
  std::vector<INPUT> inputs;
  for (const KeyStroke& key : chord) inputs.push_back(keyInput(key, false));
  for (auto key = std::rbegin(chord); key != std::rend(chord); ++key) inputs.push_back(keyInput(*key, true));
  bool accepted = send(inputs);
  settle(target);
  return accepted;
}

bool clickCentre(HWND window) {
  RECT rect{};
  if (!GetWindowRect(window, &rect) || !bringToForeground(window)) return false;
  // Absolute mouse coordinates run from 0 to 65535 across the primary screen.
  int width = GetSystemMetrics(SM_CXSCREEN);
  int height = GetSystemMetrics(SM_CYSCREEN);
  int x = (rect.left + rect.right) / 2;
  int y = (rect.top + rect.bottom) / 2;
  INPUT move{};
  move.type = INPUT_MOUSE;
  move.mi.dx = static_cast<LONG>((x * 65535LL + width / 2) / (width - 1));
  move.mi.dy = static_cast<LONG>((y * 65535LL + height / 2) / (height - 1));
  move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  INPUT down = move;
  down.mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE;
  INPUT up = move;
  up.mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE;
  std::vector<INPUT> inputs{move, down, up};
  bool accepted = send(inputs);
  settle(window);
  return accepted;
}

Pressed pressButton(HWND button, std::chrono::milliseconds timeout) {
  auto goneWithin = [button](std::chrono::milliseconds wait) {
    auto deadline = std::chrono::steady_clock::now() + wait;
    while (IsWindow(button)) {
      if (std::chrono::steady_clock::now() >= deadline) return false;
      std::this_thread::sleep_for(20ms);
    }
    return true;
  };
  if (clickCentre(button) && goneWithin(timeout)) return Pressed::byMouse;
  if (!IsWindow(button)) return Pressed::byMouse;
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored);
  return goneWithin(timeout) ? Pressed::byMessage : Pressed::notAtAll;
}

void settle(HWND target) {
  for (int round = 0; round < 3; ++round) {
    answers(target);
    std::this_thread::sleep_for(15ms);
  }
}

}  // namespace e2e
