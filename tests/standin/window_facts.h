// Window geometry and style as the record writes them.
#pragma once

#include "json_line.h"

#include <windows.h>

namespace standin {

void AddRect(JsonLine& line, const RECT& rect);               // [l,t,r,b]
void AddHandle(JsonLine& line, const void* handle);           // the handle's value as a number
RECT ClientRectOnScreen(HWND window);

// "self": the control window's rect on screen (left out while there is no window);
// "top": the top-level window that holds the control window, or else the container.
void AddWindowFacts(JsonLine& line, HWND self, HWND container);

}  // namespace standin
