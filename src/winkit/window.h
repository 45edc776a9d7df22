#pragma once
// The base of the program's windows: an HWND with a message table, the default
// processing of the window it wraps, and the hooks the modal loop calls.
#include <windows.h>

#include "winkit/message_map.h"

namespace winkit {

class Window {
public:
    Window() = default;
    virtual ~Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND GetSafeHwnd() const noexcept { return hwnd_; }

    // Called by the modal loop for messages bound for this window or its children, before
    // they are translated and dispatched. TRUE consumes the message.
    virtual BOOL PreTranslateMessage(MSG* msg);

    // Centres the window over its owner, or on the work area of its monitor when it has
    // none; a window larger than that area goes to the area's top-left corner.
    void CenterWindow(HWND reference = nullptr);

    // Help requests end here.
    virtual void WinHelp(DWORD_PTR data, UINT command);

    // The window object that owns `hwnd`, if any.
    static Window* FromHandle(HWND hwnd) noexcept;

protected:
    virtual const MessageEntry* GetMessageMap() const;
    virtual const EventEntry* GetEventSinkMap() const;

    // The default processing of the message being handled now.
    LRESULT Default();

    // Wraps `hwnd`: its messages go through WindowProc from now on.
    void Subclass(HWND hwnd) noexcept;
    void Unsubclass() noexcept;

    // Looks the message up in the table; false when no entry handles it.
    bool DispatchFromMap(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result);
    virtual LRESULT WindowProc(UINT message, WPARAM wparam, LPARAM lparam);

    // Routes an event of a hosted control through the event-sink table.
    void FireEvent(UINT control_id, DISPID dispid, DISPPARAMS* params);
    friend class ControlSite;
    friend class EventSink;

    HWND hwnd_ = nullptr;

private:
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) noexcept;

    WNDPROC previous_proc_ = nullptr;
    struct CurrentMessage {
        UINT message;
        WPARAM wparam;
        LPARAM lparam;
    };
    const CurrentMessage* current_ = nullptr;
};

}  // namespace winkit
