#include "window_facts.h"

#include <cstdint>

namespace standin {

void AddRect(JsonLine& line, const RECT& rect) {
    line.BeginArray().Int(rect.left).Int(rect.top).Int(rect.right).Int(rect.bottom).EndArray();
}

void AddHandle(JsonLine& line, const void* handle) {
    line.UInt(reinterpret_cast<std::uintptr_t>(handle));
}

RECT ClientRectOnScreen(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&client), 2);
    return client;
}

void AddWindowFacts(JsonLine& line, HWND self, HWND container) {
    if (self && !IsWindow(self)) self = nullptr;
    if (self) {
        RECT rect{};
        GetWindowRect(self, &rect);
        AddRect(line.Key("self"), rect);
    }
    HWND from = self ? self : container;
    HWND top = from && IsWindow(from) ? GetAncestor(from, GA_ROOT) : nullptr;
    if (!top) return;
    RECT window{};
    GetWindowRect(top, &window);
    line.Key("top").BeginObject();
    AddHandle(line.Key("hwnd"), top);
    AddRect(line.Key("window"), window);
    AddRect(line.Key("client"), ClientRectOnScreen(top));
    line.Key("style").UInt(static_cast<DWORD>(GetWindowLongW(top, GWL_STYLE)));
    line.Key("exstyle").UInt(static_cast<DWORD>(GetWindowLongW(top, GWL_EXSTYLE)));
    line.EndObject();
}

}  // namespace standin
