#pragma once
// Registry texts as bytes: the rule for accepting data read from a string value, the
// encoding of a text for writing, and the one text comparison the program uses.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The text of string-value data, or nullopt when the data is not a readable text:
// - the type must be REG_SZ or REG_EXPAND_SZ (taken as stored, nothing expanded);
// - the byte count must be even;
// - 0 bytes is the empty text; otherwise the last UTF-16 unit must be a NUL;
// - the text ends at the first NUL unit; whatever follows is ignored.
std::optional<std::wstring> AcceptRegistryText(std::uint32_t type, std::span<const std::uint8_t> data);

// UTF-16LE units of a text followed by one NUL unit: (units + 1) x 2 bytes, as REG_SZ
// data is written.
std::vector<std::uint8_t> EncodeRegistryText(std::wstring_view text);

// UTF-16LE units (an even number of bytes) to a wide string, surrogate pairs joined into
// one code point where wchar_t has 32 bits. A lone surrogate is kept as it is.
std::wstring DecodeUtf16Le(std::span<const std::uint8_t> data);

// Equality in which only the ASCII letters A-Z and a-z are taken as equal to their other
// case; no other folding, no locale.
bool AsciiIEquals(std::wstring_view a, std::wstring_view b);
