#pragma once
// Real input, as a user makes it: key presses and mouse clicks through SendInput, so the
// program under test sees them in its input queue and in GetKeyState, sides included.

#include <windows.h>

#include <chrono>
#include <vector>

namespace e2e {

using namespace std::chrono_literals;

// A key as the keyboard reports it: virtual key, scan code, extended flag. Modifiers name
// their side in the virtual key; the program still gets VK_SHIFT or VK_CONTROL in its key
// messages and the side in GetKeyState.
// Wine 8 tells the Shift sides apart by the extended flag alone (the way real input tells
// the Ctrl sides apart), so right Shift carries it; Windows goes by the virtual key and
// merely shows bit 24 in that key's lParam.
struct KeyStroke {
  WORD vk;
  WORD scan;
  bool extended;
};

namespace keys {
inline constexpr KeyStroke leftShift{VK_LSHIFT, 0x2A, false};
inline constexpr KeyStroke rightShift{VK_RSHIFT, 0x36, true};
inline constexpr KeyStroke leftCtrl{VK_LCONTROL, 0x1D, false};
inline constexpr KeyStroke rightCtrl{VK_RCONTROL, 0x1D, true};
inline constexpr KeyStroke leftAlt{VK_LMENU, 0x38, false};
inline constexpr KeyStroke right{VK_RIGHT, 0x4D, true};
inline constexpr KeyStroke left{VK_LEFT, 0x4B, true};
inline constexpr KeyStroke up{VK_UP, 0x48, true};
inline constexpr KeyStroke down{VK_DOWN, 0x50, true};
inline constexpr KeyStroke enter{VK_RETURN, 0x1C, false};
inline constexpr KeyStroke escape{VK_ESCAPE, 0x01, false};
inline constexpr KeyStroke space{VK_SPACE, 0x39, false};
inline constexpr KeyStroke tab{VK_TAB, 0x0F, false};
inline constexpr KeyStroke f4{VK_F4, 0x3E, false};
}  // namespace keys

// Makes the window (or its top-level window) the foreground window; false when the
// system did not let it within the timeout.
bool bringToForeground(HWND window, std::chrono::milliseconds timeout = 2s);

// Brings the target to the foreground, presses the keys in order and releases them in
// reverse order, e.g. pressChord(w, {keys::leftCtrl, keys::leftShift, keys::right}).
// False when the target could not be brought forward or the input was not accepted.
// Input is queued, not handled, when this returns: wait for its effect (e.g. a record line).
bool pressChord(HWND target, const std::vector<KeyStroke>& chord);

// A left click at the window's centre through SendInput, in absolute screen coordinates.
bool clickCentre(HWND window);

enum class Pressed { byMouse, byMessage, notAtAll };
// Clicks a button that closes its window (OK of a message box, say); when the click does
// not take within the timeout, falls back to BM_CLICK.
Pressed pressButton(HWND button, std::chrono::milliseconds timeout = 2s);

// Lets the target's thread catch up: it has answered sent messages, and a little time has
// passed for the queued input to be dispatched.
void settle(HWND target);

}  // namespace e2e
