#include "probe.h"

#include "window_facts.h"

#include <string>
#include <vector>

namespace standin {
namespace {

std::wstring ClassName(HWND window) {
    wchar_t name[256] = {};
    const int n = GetClassNameW(window, name, 256);
    return std::wstring(name, n > 0 ? static_cast<size_t>(n) : 0);
}

std::wstring WindowText(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int n = GetWindowTextW(window, text.data(), length + 1);
    text.resize(n > 0 ? static_cast<size_t>(n) : 0);
    return text;
}

void AddPoint(JsonLine& line, POINT p) { line.BeginArray().Int(p.x).Int(p.y).EndArray(); }

void AddPlacement(JsonLine& line, HWND window) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    GetWindowPlacement(window, &placement);
    line.BeginObject();
    line.Key("flags").UInt(placement.flags);
    line.Key("show").UInt(placement.showCmd);
    AddPoint(line.Key("min"), placement.ptMinPosition);
    AddPoint(line.Key("max"), placement.ptMaxPosition);
    AddRect(line.Key("normal"), placement.rcNormalPosition);
    line.EndObject();
}

void AddLayered(JsonLine& line, HWND window) {
    COLORREF key = 0;
    BYTE alpha = 0;
    DWORD flags = 0;
    if (!(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_LAYERED) ||
        !GetLayeredWindowAttributes(window, &key, &alpha, &flags)) {
        line.Null();
        return;
    }
    line.BeginObject().Key("key").UInt(key).Key("alpha").UInt(alpha).Key("flags").UInt(flags).EndObject();
}

// Items of the system menu as it stands (GetSystemMenu without reset); "flags" is the
// item's type and state bits together (MFT_* | MFS_*).
void AddSystemMenu(JsonLine& line, HWND window) {
    HMENU menu = GetSystemMenu(window, FALSE);
    if (!menu) {
        line.Null();
        return;
    }
    line.BeginArray();
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOW item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STATE | MIIM_STRING;
        if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &item)) continue;
        std::wstring text;
        if (item.cch > 0) {
            text.assign(item.cch + 1, L'\0');
            item.dwTypeData = text.data();
            item.cch += 1;
            GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &item);
            text.resize(item.cch);
        }
        line.BeginObject();
        line.Key("id").UInt(item.wID);
        line.Key("flags").UInt(item.fType | item.fState);
        line.Key("text").Text(text);
        line.EndObject();
    }
    line.EndArray();
}

void AddWindow(JsonLine& line, HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    line.BeginObject();
    AddHandle(line.Key("hwnd"), window);
    line.Key("class").Text(ClassName(window));
    line.Key("text").Text(WindowText(window));
    line.Key("style").UInt(static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)));
    line.Key("exstyle").UInt(static_cast<DWORD>(GetWindowLongW(window, GWL_EXSTYLE)));
    line.Key("visible").Bool(IsWindowVisible(window) != FALSE);
    AddRect(line.Key("rect"), rect);
    AddRect(line.Key("client"), ClientRectOnScreen(window));
    AddPlacement(line.Key("placement"), window);
    AddHandle(line.Key("icon_big"), reinterpret_cast<void*>(SendMessageW(window, WM_GETICON, ICON_BIG, 0)));
    AddHandle(line.Key("icon_small"), reinterpret_cast<void*>(SendMessageW(window, WM_GETICON, ICON_SMALL, 0)));
    AddLayered(line.Key("layered"), window);
    AddSystemMenu(line.Key("sysmenu"), window);
    line.EndObject();
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

}  // namespace

UINT ProbeMessage() {
    static const UINT message = RegisterWindowMessageW(L"ZbStandinProbe");
    return message;
}

JsonLine ProbeLine(WPARAM tag) {
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), CollectWindow, reinterpret_cast<LPARAM>(&windows));
    JsonLine line("probe");
    line.Key("tag").UInt(tag);
    line.Key("windows").BeginArray();
    for (HWND window : windows) AddWindow(line, window);
    line.EndArray();
    return line;
}

}  // namespace standin
