#pragma once
// The initial property sets of a dialog's ActiveX controls, kept in a resource of the
// program's own: UTF-8 text, one section per control id, "name = value" lines.
//
//   [1000]
//   extent = 12356, 7567     ; HIMETRIC width, height
//   WMode = Window
//
// Portable: no Windows header.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace winkit {

struct ControlProperties {
    std::optional<std::pair<int32_t, int32_t>> extent;         // HIMETRIC
    std::vector<std::pair<std::wstring, std::wstring>> values;  // in resource order
};

// Lines that do not parse are skipped; a section header that does not parse ends the
// current section.
std::map<uint32_t, ControlProperties> parse_control_properties(std::string_view utf8);

std::wstring widen_utf8(std::string_view utf8);

}  // namespace winkit
