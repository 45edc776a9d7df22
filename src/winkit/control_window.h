#pragma once
// The program's handle on a hosted ActiveX control: its window and its automation
// interface. Bound to a control of a dialog by DataExchange::Control.
#include <windows.h>

#include <string>
#include <vector>

#include "winkit/dispatch.h"

namespace winkit {

class ControlSite;

class ControlWindow {
public:
    ControlWindow() = default;
    virtual ~ControlWindow() = default;
    ControlWindow(const ControlWindow&) = delete;
    ControlWindow& operator=(const ControlWindow&) = delete;

    HWND GetSafeHwnd() const noexcept;
    bool IsBound() const noexcept { return site_ != nullptr; }

    // Places the control in its parent's client coordinates.
    void MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE);

    // Automation by dispatch id; throws DispatchError when the call fails.
    std::wstring InvokeHelper(DISPID dispid, WORD flags, const std::vector<DispatchArg>& args = {});

private:
    friend class DataExchange;
    friend class Dialog;
    ControlSite* site_ = nullptr;
};

}  // namespace winkit
