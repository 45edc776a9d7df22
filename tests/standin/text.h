// Texts as the control sees them: UTF-16, possibly null (a null BSTR), possibly holding
// NULs, and their conversions.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <optional>
#include <string>
#include <string_view>

namespace standin {

using NullableText = std::optional<std::wstring>;

inline NullableText TextFromBstr(BSTR b) {
    if (!b) return std::nullopt;
    return std::wstring(b, SysStringLen(b));
}

// A new BSTR with the text (a null BSTR for no text); throws std::bad_alloc.
BSTR MakeBstr(const NullableText& text);
BSTR MakeBstr(std::wstring_view text);
inline BSTR MakeBstr(const std::wstring& text) { return MakeBstr(std::wstring_view(text)); }

std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);

}  // namespace standin
