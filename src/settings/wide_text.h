#pragma once
// Walking a std::wstring by code points. On Windows wchar_t holds one UTF-16 unit, so a
// character outside the BMP takes a surrogate pair; on Linux wchar_t holds a whole code
// point. These helpers hide that difference from code that must be right on both.

#include <cstddef>
#include <string>
#include <string_view>

namespace wide_text {

inline constexpr bool kWcharIsUtf16 = sizeof(wchar_t) == 2;

constexpr bool IsHighSurrogate(char32_t u) { return u >= 0xD800 && u <= 0xDBFF; }
constexpr bool IsLowSurrogate(char32_t u) { return u >= 0xDC00 && u <= 0xDFFF; }
constexpr bool IsSurrogate(char32_t u) { return u >= 0xD800 && u <= 0xDFFF; }

// One step through a wide string: the code point at a position and how many wchar_t it
// takes. A lone surrogate (or, on Linux, a value beyond U+10FFFF) is returned as it is,
// one unit long, with valid = false.
struct CodePointStep {
  char32_t codePoint;
  std::size_t units;
  bool valid;
};

inline CodePointStep CodePointAt(std::wstring_view text, std::size_t index) {
  const char32_t first = static_cast<char32_t>(text[index]) & (kWcharIsUtf16 ? 0xFFFFu : 0xFFFFFFFFu);
  if (kWcharIsUtf16 && IsHighSurrogate(first) && index + 1 < text.size()) {
    const char32_t second = static_cast<char32_t>(text[index + 1]) & 0xFFFFu;
    if (IsLowSurrogate(second)) {
      return {0x10000 + ((first - 0xD800) << 10) + (second - 0xDC00), 2, true};
    }
  }
  return {first, 1, !IsSurrogate(first) && first <= 0x10FFFF};
}

// Appends a code point as one wchar_t (Linux) or as one or two UTF-16 units (Windows).
inline void AppendCodePoint(std::wstring& out, char32_t codePoint) {
  if (kWcharIsUtf16 && codePoint >= 0x10000) {
    const char32_t offset = codePoint - 0x10000;
    out.push_back(static_cast<wchar_t>(0xD800 + (offset >> 10)));
    out.push_back(static_cast<wchar_t>(0xDC00 + (offset & 0x3FF)));
  } else {
    out.push_back(static_cast<wchar_t>(codePoint));
  }
}

}  // namespace wide_text
