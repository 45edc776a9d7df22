#pragma once
// The exception boundary. Nothing thrown in a handler may unwind through a window
// procedure, a dialog procedure or a COM callback: the error is caught here, written to
// the debugger output, and the caller carries on with the given fallback result.
#include <exception>
#include <utility>

namespace winkit {

// Writes "<where>: <what>" to the debugger output; never throws.
void report_escaped_exception(const char* where, const std::exception* error) noexcept;

template <typename Result, typename Fn>
Result guarded(const char* where, Result fallback, Fn&& fn) noexcept {
    try {
        return std::forward<Fn>(fn)();
    } catch (const std::exception& e) {
        report_escaped_exception(where, &e);
    } catch (...) {
        report_escaped_exception(where, nullptr);
    }
    return fallback;
}

template <typename Fn>
void guarded(const char* where, Fn&& fn) noexcept {
    guarded(where, 0, [&] {
        std::forward<Fn>(fn)();
        return 0;
    });
}

}  // namespace winkit
