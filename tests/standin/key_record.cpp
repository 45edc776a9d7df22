#include "key_record.h"

namespace standin {
namespace {

const char* KeyMessageName(UINT message) {
    switch (message) {
    case WM_KEYDOWN: return "WM_KEYDOWN";
    case WM_KEYUP: return "WM_KEYUP";
    case WM_CHAR: return "WM_CHAR";
    case WM_SYSKEYDOWN: return "WM_SYSKEYDOWN";
    case WM_SYSKEYUP: return "WM_SYSKEYUP";
    default: return nullptr;
    }
}

bool Down(int vk) { return (GetKeyState(vk) & 0x80) != 0; }

}  // namespace

std::optional<JsonLine> KeyLine(const char* via, UINT message, WPARAM vk) {
    const char* name = KeyMessageName(message);
    if (!name) return std::nullopt;
    JsonLine line("key");
    line.Key("via").Ascii(via);
    line.Key("msg").Ascii(name);
    line.Key("vk").UInt(vk);
    line.Key("lshift").Bool(Down(VK_LSHIFT));
    line.Key("rshift").Bool(Down(VK_RSHIFT));
    line.Key("lctrl").Bool(Down(VK_LCONTROL));
    line.Key("rctrl").Bool(Down(VK_RCONTROL));
    return line;
}

}  // namespace standin
