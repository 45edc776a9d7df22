// Control property sets of any text: never a fault, and every name and value that comes
// out is well-formed text (each unit a Unicode scalar value or U+FFFD).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "winkit/control_properties.h"

namespace {
void Require(bool holds) {
  if (!holds) std::abort();
}
bool IsScalarText(const std::wstring& text) {
  for (wchar_t unit : text) {
    const auto c = static_cast<char32_t>(unit);
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
  }
  return true;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  for (const auto& [id, properties] : winkit::parse_control_properties(text)) {
    (void)id;
    for (const auto& [name, value] : properties.values) {
      Require(!name.empty());
      Require(IsScalarText(name) && IsScalarText(value));
    }
  }
  Require(IsScalarText(winkit::widen_utf8(text)));
  return 0;
}
