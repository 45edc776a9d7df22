#pragma once
// Message and event tables. A window lists its handlers as a table of typed entries:
//
//   static constexpr winkit::MessageEntry map[] = {
//       winkit::on_sys_command<&CMyDlg::OnSysCommand>,
//       winkit::on_size<&CMyDlg::OnSize>,
//       winkit::on_command<IDOK, BN_CLICKED, &CMyDlg::OnBnClickedOk>,
//       winkit::end_of_map,
//   };
//
// Each entry cracks the message's parameters for its handler's signature. Messages without
// an entry get the window's default processing.
#include <windows.h>
#include <oaidl.h>

#include <optional>
#include <string>

namespace winkit {

class Window;

struct MessageEntry {
    UINT message;  // 0 ends the table
    UINT id;       // WM_COMMAND only: control id
    UINT code;     // WM_COMMAND only: notification code
    // Returns the message result; the entry has handled the message.
    LRESULT (*handler)(Window& self, WPARAM wparam, LPARAM lparam);
};

inline constexpr MessageEntry end_of_map{0, 0, 0, nullptr};

// Event-sink tables: events of a hosted control by control id and dispatch id. An
// argument is absent (nullopt) when the control passes fewer arguments or a null BSTR.
using EventText = std::optional<std::wstring>;
struct EventEntry {
    UINT control_id;  // 0 ends the table
    DISPID dispid;
    void (*handler)(Window& self, DISPPARAMS* params);
};

inline constexpr EventEntry end_of_event_map{0, 0, nullptr};

namespace detail {

template <typename>
struct member_of;
template <typename C, typename R, typename... A>
struct member_of<R (C::*)(A...)> {
    using type = C;
};
template <auto Fn>
using owner_t = typename member_of<decltype(Fn)>::type;

template <auto Fn>
owner_t<Fn>& self_as(Window& w) {
    return static_cast<owner_t<Fn>&>(w);
}

// The i-th argument of an event, counted from the first, as text.
EventText event_text_argument(DISPPARAMS* params, UINT index);

}  // namespace detail

template <auto Fn>
inline constexpr MessageEntry on_sys_command{
    WM_SYSCOMMAND, 0, 0, [](Window& w, WPARAM wp, LPARAM lp) -> LRESULT {
        (detail::self_as<Fn>(w).*Fn)(static_cast<UINT>(wp), lp);
        return 0;
    }};

template <auto Fn>
inline constexpr MessageEntry on_paint{WM_PAINT, 0, 0, [](Window& w, WPARAM, LPARAM) -> LRESULT {
                                           (detail::self_as<Fn>(w).*Fn)();
                                           return 0;
                                       }};

template <auto Fn>
inline constexpr MessageEntry on_query_drag_icon{
    WM_QUERYDRAGICON, 0, 0, [](Window& w, WPARAM, LPARAM) -> LRESULT {
        return reinterpret_cast<LRESULT>((detail::self_as<Fn>(w).*Fn)());
    }};

template <auto Fn>
inline constexpr MessageEntry on_size{WM_SIZE, 0, 0, [](Window& w, WPARAM wp, LPARAM lp) -> LRESULT {
                                          (detail::self_as<Fn>(w).*Fn)(static_cast<UINT>(wp),
                                                                       static_cast<int>(static_cast<short>(LOWORD(lp))),
                                                                       static_cast<int>(static_cast<short>(HIWORD(lp))));
                                          return 0;
                                      }};

template <auto Fn>
inline constexpr MessageEntry on_timer{WM_TIMER, 0, 0, [](Window& w, WPARAM wp, LPARAM) -> LRESULT {
                                           (detail::self_as<Fn>(w).*Fn)(static_cast<UINT_PTR>(wp));
                                           return 0;
                                       }};

template <auto Fn>
inline constexpr MessageEntry on_destroy{WM_DESTROY, 0, 0, [](Window& w, WPARAM, LPARAM) -> LRESULT {
                                             (detail::self_as<Fn>(w).*Fn)();
                                             return 0;
                                         }};

// A message of the program's own, no parameters.
template <UINT Message, auto Fn>
inline constexpr MessageEntry on_message{Message, 0, 0, [](Window& w, WPARAM, LPARAM) -> LRESULT {
                                             (detail::self_as<Fn>(w).*Fn)();
                                             return 0;
                                         }};

template <UINT Id, UINT Code, auto Fn>
inline constexpr MessageEntry on_command{WM_COMMAND, Id, Code, [](Window& w, WPARAM, LPARAM) -> LRESULT {
                                             (detail::self_as<Fn>(w).*Fn)();
                                             return 0;
                                         }};

// An event with two text arguments, such as FSCommand(command, args).
template <UINT ControlId, DISPID Dispid, auto Fn>
inline constexpr EventEntry on_event_text2{ControlId, Dispid, [](Window& w, DISPPARAMS* p) {
                                               (detail::self_as<Fn>(w).*Fn)(detail::event_text_argument(p, 0),
                                                                            detail::event_text_argument(p, 1));
                                           }};

}  // namespace winkit
