#include "settings/registry_text.h"

#include <cstddef>

#include "settings/registry_seam.h"
#include "settings/wide_text.h"

namespace {

char32_t UnitAt(std::span<const std::uint8_t> data, std::size_t unitIndex) {
  return static_cast<char32_t>(data[2 * unitIndex]) | (static_cast<char32_t>(data[2 * unitIndex + 1]) << 8);
}

void AppendUtf16Le(std::vector<std::uint8_t>& out, char32_t unit) {
  out.push_back(static_cast<std::uint8_t>(unit & 0xFF));
  out.push_back(static_cast<std::uint8_t>((unit >> 8) & 0xFF));
}

char32_t AsciiLower(char32_t c) { return (c >= U'A' && c <= U'Z') ? c + (U'a' - U'A') : c; }

}  // namespace

std::optional<std::wstring> AcceptRegistryText(std::uint32_t type, std::span<const std::uint8_t> data) {
  if (type != kRegSz && type != kRegExpandSz) return std::nullopt;
  if (data.size() % 2 != 0) return std::nullopt;
  const std::size_t units = data.size() / 2;
  if (units == 0) return std::wstring();
  if (UnitAt(data, units - 1) != 0) return std::nullopt;
  std::size_t length = 0;
  while (UnitAt(data, length) != 0) ++length;  // stops at the final NUL at the latest
  return DecodeUtf16Le(data.first(2 * length));
}

std::vector<std::uint8_t> EncodeRegistryText(std::wstring_view text) {
  std::vector<std::uint8_t> out;
  out.reserve(2 * (text.size() + 1));
  for (std::size_t i = 0; i < text.size();) {
    const wide_text::CodePointStep step = wide_text::CodePointAt(text, i);
    if (step.codePoint >= 0x10000 && step.codePoint <= 0x10FFFF) {
      const char32_t offset = step.codePoint - 0x10000;
      AppendUtf16Le(out, 0xD800 + (offset >> 10));
      AppendUtf16Le(out, 0xDC00 + (offset & 0x3FF));
    } else {
      // BMP characters and lone surrogates go out as one unit. A value beyond U+10FFFF can
      // only occur where wchar_t has 32 bits and has no UTF-16 form: it keeps its low bits.
      AppendUtf16Le(out, step.codePoint & 0xFFFF);
    }
    i += step.units;
  }
  AppendUtf16Le(out, 0);
  return out;
}

std::wstring DecodeUtf16Le(std::span<const std::uint8_t> data) {
  std::wstring out;
  const std::size_t units = data.size() / 2;
  out.reserve(units);
  for (std::size_t i = 0; i < units; ++i) {
    const char32_t unit = UnitAt(data, i);
    if (!wide_text::kWcharIsUtf16 && wide_text::IsHighSurrogate(unit) && i + 1 < units &&
        wide_text::IsLowSurrogate(UnitAt(data, i + 1))) {
      wide_text::AppendCodePoint(out, 0x10000 + ((unit - 0xD800) << 10) + (UnitAt(data, i + 1) - 0xDC00));
      ++i;
    } else {
      out.push_back(static_cast<wchar_t>(unit));
    }
  }
  return out;
}

bool AsciiIEquals(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    // Compare whole wchar_t values: folding only A-Z keeps every other unit distinct.
    if (AsciiLower(static_cast<char32_t>(a[i])) != AsciiLower(static_cast<char32_t>(b[i]))) return false;
  }
  return true;
}
