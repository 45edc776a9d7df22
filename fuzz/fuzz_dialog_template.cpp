// Splitting dialog templates of any bytes: never a read outside the input, and a template
// that splits gives one that splits again to itself, with no control left in it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "winkit/dialog_template.h"

namespace {
void Require(bool holds) {
  if (!holds) std::abort();
}
std::uint16_t U16(const std::vector<std::uint8_t>& b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // A copy of exactly the input's size, so that ASan sees any read beyond it.
  const std::vector<std::uint8_t> input(data, data + size);
  const auto split = winkit::split_dialog_template(input.data(), input.size());
  if (!split) return 0;
  for (const winkit::DialogItemPlace& control : split->controls) Require(!control.class_name.empty() && control.class_name[0] == u'{');
  Require((split->was_visible) == ((input[12] | (input[13] << 8) | (input[14] << 16) | (input[15] << 24)) & winkit::kWsVisible ? true : false));

  const auto again = winkit::split_dialog_template(split->bytes.data(), split->bytes.size());
  Require(again.has_value());
  Require(again->controls.empty());
  Require(!again->was_visible);
  Require(again->bytes == split->bytes);
  // The item count says what is left.
  Require(U16(split->bytes, 16) + split->controls.size() == U16(input, 16));
  return 0;
}
