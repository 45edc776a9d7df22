#include "winkit/boundary.h"

#include <windows.h>

#include <string>

#include "winkit/dispatch.h"

namespace winkit {

void report_escaped_exception(const char* where, const std::exception* error) noexcept {
    try {
        std::wstring text = L"exception stopped at ";
        for (const char* p = where; p && *p; ++p) text += static_cast<wchar_t>(*p);
        text += L": ";
        if (auto* dispatch = dynamic_cast<const DispatchError*>(error)) {
            text += dispatch->message();
        } else if (error) {
            for (const char* p = error->what(); *p; ++p) text += static_cast<wchar_t>(static_cast<unsigned char>(*p));
        } else {
            text += L"unknown exception";
        }
        text += L"\n";
        ::OutputDebugStringW(text.c_str());
    } catch (...) {
        ::OutputDebugStringW(L"exception stopped at the boundary\n");
    }
}

}  // namespace winkit
