#pragma once
// The handle kinds the program owns, each a unique_any.
#include <windows.h>
#include <oleauto.h>

#include "winkit/unique_any.h"

namespace winkit {

template <typename T, T Invalid, auto Close>
struct handle_traits {
    using type = T;
    static constexpr T invalid() noexcept { return Invalid; }
    static void close(T value) noexcept { Close(value); }
};

namespace detail {
inline void close_handle(HANDLE h) noexcept { ::CloseHandle(h); }
inline void close_key(HKEY h) noexcept { ::RegCloseKey(h); }
inline void destroy_window(HWND h) noexcept { ::DestroyWindow(h); }
inline void delete_gdi(HGDIOBJ h) noexcept { ::DeleteObject(h); }
inline void free_library(HMODULE h) noexcept { ::FreeLibrary(h); }
inline void destroy_menu(HMENU h) noexcept { ::DestroyMenu(h); }
}  // namespace detail

using unique_handle = unique_any<handle_traits<HANDLE, nullptr, detail::close_handle>>;
using unique_hkey = unique_any<handle_traits<HKEY, nullptr, detail::close_key>>;
using unique_hwnd = unique_any<handle_traits<HWND, nullptr, detail::destroy_window>>;
using unique_hgdiobj = unique_any<handle_traits<HGDIOBJ, nullptr, detail::delete_gdi>>;
using unique_hmodule = unique_any<handle_traits<HMODULE, nullptr, detail::free_library>>;

// A BSTR is a handle too.
namespace detail {
inline void free_bstr(BSTR s) noexcept { ::SysFreeString(s); }
}  // namespace detail
using unique_bstr = unique_any<handle_traits<BSTR, nullptr, detail::free_bstr>>;

// Paired begin/end calls owned the same way.
class paint_context {
public:
    explicit paint_context(HWND hwnd) noexcept : hwnd_(hwnd) { hdc_ = ::BeginPaint(hwnd, &ps_); }
    ~paint_context() { ::EndPaint(hwnd_, &ps_); }
    paint_context(const paint_context&) = delete;
    paint_context& operator=(const paint_context&) = delete;
    HDC dc() const noexcept { return hdc_; }

private:
    HWND hwnd_;
    PAINTSTRUCT ps_{};
    HDC hdc_ = nullptr;
};

}  // namespace winkit
