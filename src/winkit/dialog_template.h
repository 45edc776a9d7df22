#pragma once
// Reading and rewriting extended dialog templates (the DLGTEMPLATEEX layout), without any
// Windows header so that it is unit-tested natively.
//
// The dialog manager cannot create an item whose window class is a class id such as
// "{D27CDB6E-AE6D-11CF-96B8-444553540000}": such items are ActiveX controls. They are taken
// out of the template and returned with their place, so that the host creates them itself.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace winkit {

struct DialogItemPlace {
    uint32_t id = 0;
    uint32_t style = 0;
    uint32_t ex_style = 0;
    int16_t x = 0, y = 0, cx = 0, cy = 0;  // dialog units
    std::u16string class_name;             // "{…}" for a control class id
};

struct SplitTemplate {
    std::vector<uint8_t> bytes;             // the template without the ActiveX items
    std::vector<DialogItemPlace> controls;  // the items taken out, in template order
    bool was_visible = false;               // WS_VISIBLE was set and has been cleared
};

// Takes out every item whose class is a text starting with '{' and clears WS_VISIBLE, so
// that the host shows the window once the controls exist. Returns nothing for a template
// that is not a well-formed extended template.
std::optional<SplitTemplate> split_dialog_template(const uint8_t* data, size_t size);

constexpr uint32_t kWsVisible = 0x10000000;

}  // namespace winkit
