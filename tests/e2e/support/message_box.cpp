#include "e2e/message_box.h"

#include <cstdlib>
#include <thread>

#include "e2e/screen.h"

namespace e2e {

namespace {

bool isStatic(const WindowInfo& child) { return _wcsicmp(child.className.c_str(), L"Static") == 0; }
bool isIcon(const WindowInfo& child) { return isStatic(child) && (child.style & SS_TYPEMASK) == SS_ICON; }

// The icon drawn by this process on the given background, at the control's size.
Pixels drawnIcon(LPCWSTR which, int width, int height, std::uint32_t background) {
  Canvas canvas(width, height);
  if (!canvas.ok()) return {};
  canvas.fill(background);
  DrawIconEx(canvas.dc(), 0, 0, LoadIconW(nullptr, which), width, height, 0, nullptr, DI_NORMAL);
  return canvas.pixels();
}

// Share of pixels that differ by more than a small tolerance in any channel.
double mismatch(const Pixels& a, const Pixels& b) {
  if (a.bgra.size() != b.bgra.size() || a.bgra.empty()) return 1.0;
  size_t different = 0;
  for (size_t i = 0; i < a.bgra.size(); ++i) {
    for (int shift = 0; shift < 24; shift += 8) {
      int x = static_cast<int>((a.bgra[i] >> shift) & 0xFF);
      int y = static_cast<int>((b.bgra[i] >> shift) & 0xFF);
      if (std::abs(x - y) > 24) {
        ++different;
        break;
      }
    }
  }
  return static_cast<double>(different) / static_cast<double>(a.bgra.size());
}

}  // namespace

const char* toString(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::none: return "none";
    case MessageIcon::error: return "error";
    case MessageIcon::question: return "question";
    case MessageIcon::warning: return "warning";
    case MessageIcon::information: return "information";
    case MessageIcon::unrecognised: return "unrecognised";
  }
  return "?";
}

HWND MessageBoxView::button(int id) const {
  for (const WindowInfo& b : buttons) {
    if (b.id == id) return b.hwnd;
  }
  return nullptr;
}

HWND waitForMessageBox(DWORD pid, std::wstring_view caption, std::chrono::milliseconds timeout) {
  return waitForWindow(pid, L"#32770", caption, timeout);
}

MessageBoxView readMessageBox(HWND box) {
  MessageBoxView view;
  view.hwnd = box;
  view.caption = windowText(box);
  for (const WindowInfo& child : childWindows(box)) {
    if (isIcon(child)) {
      view.iconControl = child.hwnd;
    } else if (isStatic(child) && !child.text.empty() && view.text.empty()) {
      view.text = child.text;
    } else if (_wcsicmp(child.className.c_str(), L"Button") == 0 && child.visible) {
      view.buttons.push_back(child);
    }
  }
  return view;
}

MessageIcon recogniseIcon(const MessageBoxView& box, std::chrono::milliseconds timeout) {
  if (!box.iconControl || !IsWindowVisible(box.iconControl)) return MessageIcon::none;
  struct Candidate {
    MessageIcon icon;
    LPCWSTR resource;
  };
  const Candidate candidates[] = {{MessageIcon::error, IDI_HAND},
                                  {MessageIcon::question, IDI_QUESTION},
                                  {MessageIcon::warning, IDI_EXCLAMATION},
                                  {MessageIcon::information, IDI_ASTERISK}};
  auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    answers(box.hwnd);
    RECT area{};
    GetWindowRect(box.iconControl, &area);
    Pixels shown = captureScreen(area);
    if (!shown.bgra.empty()) {
      // The corner of every system icon is transparent: it shows the box's background.
      std::uint32_t background = shown.bgra[0];
      MessageIcon best = MessageIcon::unrecognised;
      double bestMismatch = 0.05;
      for (const Candidate& candidate : candidates) {
        double score = mismatch(shown, drawnIcon(candidate.resource, shown.width, shown.height, background));
        if (score < bestMismatch) {
          bestMismatch = score;
          best = candidate.icon;
        }
      }
      if (best != MessageIcon::unrecognised) return best;
    }
    if (std::chrono::steady_clock::now() >= deadline) return MessageIcon::unrecognised;
    std::this_thread::sleep_for(50ms);
  }
}

}  // namespace e2e
