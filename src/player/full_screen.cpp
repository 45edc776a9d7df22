// Full screen on the movie's request: the client area covers the primary screen, the
// caption and frame lie beyond its edges; leaving restores placement and style.
#include "player/PlaynookAppDlg.h"
#include "player/movie_protocol.h"

namespace {
constexpr DWORD kSizingBorder = WS_THICKFRAME;
constexpr DWORD kDialogFrame = WS_DLGFRAME;

void ChangeStyle(HWND hwnd, DWORD remove, DWORD add) {
    const DWORD old = static_cast<DWORD>(::GetWindowLongW(hwnd, GWL_STYLE));
    const DWORD updated = (old & ~remove) | add;
    if (updated != old) ::SetWindowLongW(hwnd, GWL_STYLE, static_cast<LONG>(updated));
}
}  // namespace

void CPlaynookAppDlg::SetFullScreen(bool on) {
    if (on == m_bFullScreen) return;
    m_bFullScreen = on;

    if (on) {
        m_wpSaved.length = sizeof(WINDOWPLACEMENT);
        ::GetWindowPlacement(hwnd_, &m_wpSaved);
        m_dwSavedStyle = static_cast<DWORD>(::GetWindowLongW(hwnd_, GWL_STYLE));
        ChangeStyle(hwnd_, kSizingBorder, kDialogFrame);

        RECT screen{};
        ::GetWindowRect(::GetDesktopWindow(), &screen);
        ::AdjustWindowRectEx(&screen, static_cast<DWORD>(::GetWindowLongW(hwnd_, GWL_STYLE)), FALSE,
                             static_cast<DWORD>(::GetWindowLongW(hwnd_, GWL_EXSTYLE)));

        WINDOWPLACEMENT placement = m_wpSaved;
        placement.showCmd = SW_SHOWNORMAL;
        placement.rcNormalPosition = screen;
        ::SetWindowPlacement(hwnd_, &placement);
    } else {
        ::SetWindowPlacement(hwnd_, &m_wpSaved);
        ::SetWindowLongW(hwnd_, GWL_STYLE, static_cast<LONG>(m_dwSavedStyle));
        // The placement was applied under the thinner full-screen frame; without a frame
        // change the sizing border comes back over a client area computed for the old one.
        ::SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
                       SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
        // A maximised window was sized for the thinner frame too: restored and placed once
        // more, it takes the maximised rectangle of its own frame again.
        if (m_wpSaved.showCmd == SW_SHOWMAXIMIZED) {
            ::ShowWindow(hwnd_, SW_RESTORE);
            ::SetWindowPlacement(hwnd_, &m_wpSaved);
        }
    }
    NotifyFullScreenState();
}

void CPlaynookAppDlg::NotifyFullScreenState() {
    if (!m_bMovieReady) return;
    try {
        m_flash.CallFlashFunction(FormatInvokeRequest(kNotifyFullScreenState, FullScreenStateText(m_bFullScreen)));
    } catch (...) {
        // The movie is told nothing more; the new mode stays.
    }
}
