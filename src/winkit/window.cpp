#include "winkit/window.h"

#include "winkit/boundary.h"

namespace winkit {
namespace {
const wchar_t kObjectProp[] = L"winkit.Window";
}

namespace detail {

EventText event_text_argument(DISPPARAMS* params, UINT index) {
    if (!params || index >= params->cArgs) return std::nullopt;
    // Arguments arrive in reverse order.
    VARIANT* v = &params->rgvarg[params->cArgs - 1 - index];
    if (v->vt == (VT_BSTR | VT_BYREF)) {
        BSTR s = v->pbstrVal ? *v->pbstrVal : nullptr;
        if (!s) return std::nullopt;
        return std::wstring(s, ::SysStringLen(s));
    }
    if (v->vt == VT_BSTR) {
        if (!v->bstrVal) return std::nullopt;
        return std::wstring(v->bstrVal, ::SysStringLen(v->bstrVal));
    }
    VARIANT converted;
    ::VariantInit(&converted);
    EventText text;
    if (SUCCEEDED(::VariantChangeType(&converted, v, 0, VT_BSTR)) && converted.bstrVal)
        text = std::wstring(converted.bstrVal, ::SysStringLen(converted.bstrVal));
    ::VariantClear(&converted);
    return text;
}

}  // namespace detail

BOOL Window::PreTranslateMessage(MSG*) { return FALSE; }

void Window::WinHelp(DWORD_PTR, UINT) {}

void Window::CenterWindow(HWND reference) {
    if (!hwnd_) return;
    if (!reference) reference = ::GetWindow(hwnd_, GW_OWNER);
    if (reference && (!::IsWindowVisible(reference) || ::IsIconic(reference))) reference = nullptr;

    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    ::GetMonitorInfoW(::MonitorFromWindow(reference ? reference : hwnd_, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT area = monitor.rcWork;
    RECT center = area;
    if (reference) ::GetWindowRect(reference, &center);

    RECT self{};
    ::GetWindowRect(hwnd_, &self);
    const int width = self.right - self.left;
    const int height = self.bottom - self.top;
    int left = (center.left + center.right) / 2 - width / 2;
    int top = (center.top + center.bottom) / 2 - height / 2;
    // Keep the window on the work area, its top-left corner first.
    if (left + width > area.right) left = area.right - width;
    if (left < area.left) left = area.left;
    if (top + height > area.bottom) top = area.bottom - height;
    if (top < area.top) top = area.top;
    ::SetWindowPos(hwnd_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

const MessageEntry* Window::GetMessageMap() const {
    static constexpr MessageEntry map[] = {end_of_map};
    return map;
}

const EventEntry* Window::GetEventSinkMap() const {
    static constexpr EventEntry map[] = {end_of_event_map};
    return map;
}

Window* Window::FromHandle(HWND hwnd) noexcept { return static_cast<Window*>(::GetPropW(hwnd, kObjectProp)); }

void Window::Subclass(HWND hwnd) noexcept {
    hwnd_ = hwnd;
    ::SetPropW(hwnd, kObjectProp, this);
    previous_proc_ = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Window::SubclassProc)));
}

void Window::Unsubclass() noexcept {
    if (!hwnd_) return;
    if (previous_proc_) ::SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_proc_));
    ::RemovePropW(hwnd_, kObjectProp);
    previous_proc_ = nullptr;
    hwnd_ = nullptr;
}

LRESULT Window::Default() {
    if (!current_ || !previous_proc_) return 0;
    return ::CallWindowProcW(previous_proc_, hwnd_, current_->message, current_->wparam, current_->lparam);
}

bool Window::DispatchFromMap(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
    for (const MessageEntry* e = GetMessageMap(); e && e->message; ++e) {
        if (e->message != message) continue;
        if (message == WM_COMMAND && (e->id != LOWORD(wparam) || e->code != HIWORD(wparam))) continue;
        result = e->handler(*this, wparam, lparam);
        return true;
    }
    return false;
}

LRESULT Window::WindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
    LRESULT result = 0;
    if (DispatchFromMap(message, wparam, lparam, result)) return result;
    return Default();
}

void Window::FireEvent(UINT control_id, DISPID dispid, DISPPARAMS* params) {
    for (const EventEntry* e = GetEventSinkMap(); e && e->control_id; ++e) {
        if (e->control_id == control_id && e->dispid == dispid) {
            e->handler(*this, params);
            return;
        }
    }
}

LRESULT CALLBACK Window::SubclassProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) noexcept {
    Window* self = FromHandle(hwnd);
    if (!self) return ::DefWindowProcW(hwnd, message, wparam, lparam);
    if (message == WM_NCDESTROY) {
        const WNDPROC previous = self->previous_proc_;
        self->Unsubclass();
        return previous ? ::CallWindowProcW(previous, hwnd, message, wparam, lparam)
                        : ::DefWindowProcW(hwnd, message, wparam, lparam);
    }
    CurrentMessage current{message, wparam, lparam};
    const CurrentMessage* outer = self->current_;
    self->current_ = &current;
    // A handler that throws has handled its message: the window keeps running.
    const LRESULT result = guarded("window procedure", LRESULT{0},
                                   [&] { return self->WindowProc(message, wparam, lparam); });
    self->current_ = outer;
    return result;
}

}  // namespace winkit
