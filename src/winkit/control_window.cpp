#include "winkit/control_window.h"

#include "winkit/control_site.h"

namespace winkit {

HWND ControlWindow::GetSafeHwnd() const noexcept { return site_ ? site_->control_window() : nullptr; }

void ControlWindow::MoveWindow(int x, int y, int width, int height, BOOL repaint) {
    if (!site_) return;
    const RECT place{x, y, x + width, y + height};
    site_->SetRect(place);
    // The control moves its own window on SetObjectRects; this keeps the two in step for
    // a control that does not.
    if (HWND hwnd = site_->control_window()) ::MoveWindow(hwnd, x, y, width, height, repaint);
}

std::wstring ControlWindow::InvokeHelper(DISPID dispid, WORD flags, const std::vector<DispatchArg>& args) {
    return invoke_helper(site_ ? site_->dispatch() : nullptr, dispid, flags, args);
}

}  // namespace winkit
