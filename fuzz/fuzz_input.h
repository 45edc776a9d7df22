#pragma once
// How the fuzz targets read their input, so that seeds can be written by hand: texts are
// UTF-8 (surrogates allowed, as three-byte forms, and any stray byte standing for the code
// point of the same value), fields are separated by a 0xFF byte, and a field that is one
// 0xFE byte stands for a missing (null) text.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fuzz_input {

inline constexpr std::uint8_t kFieldSeparator = 0xFF;
inline constexpr std::uint8_t kNullField = 0xFE;

inline std::vector<std::string_view> Fields(const std::uint8_t* data, std::size_t size) {
  std::vector<std::string_view> out;
  const char* text = reinterpret_cast<const char*>(data);
  std::size_t start = 0;
  for (std::size_t i = 0; i <= size; ++i) {
    if (i == size || data[i] == kFieldSeparator) {
      out.emplace_back(text + start, i - start);
      start = i + 1;
    }
  }
  return out;
}

// Code points from lenient UTF-8: a well-formed sequence (surrogates included) gives its
// code point, any other byte the code point of its own value.
inline std::wstring Text(std::string_view bytes) {
  std::wstring out;
  for (std::size_t i = 0; i < bytes.size();) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    const std::size_t extra = b >= 0xF0 && b <= 0xF4 ? 3 : b >= 0xE0 && b < 0xF0 ? 2 : b >= 0xC2 && b < 0xE0 ? 1 : 0;
    char32_t cp = extra == 3 ? (b & 0x07) : extra == 2 ? (b & 0x0F) : (b & 0x1F);
    bool good = extra > 0 && i + extra < bytes.size();
    for (std::size_t k = 1; good && k <= extra; ++k) {
      const auto c = static_cast<unsigned char>(bytes[i + k]);
      if ((c & 0xC0) != 0x80) good = false;
      cp = (cp << 6) | (c & 0x3F);
    }
    if (good && cp <= 0x10FFFF && cp >= (extra == 3 ? 0x10000u : extra == 2 ? 0x800u : 0x80u)) {
      out.push_back(static_cast<wchar_t>(cp));
      i += extra + 1;
    } else {
      out.push_back(static_cast<wchar_t>(b));
      ++i;
    }
  }
  return out;
}

inline std::optional<std::wstring> NullableText(std::string_view bytes) {
  if (bytes.size() == 1 && static_cast<unsigned char>(bytes[0]) == kNullField) return std::nullopt;
  return Text(bytes);
}

// Field i, or the empty text when the input has fewer fields.
inline std::string_view FieldOr(const std::vector<std::string_view>& fields, std::size_t i) {
  return i < fields.size() ? fields[i] : std::string_view();
}

}  // namespace fuzz_input
