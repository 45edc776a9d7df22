#include "process_stats.h"

#include <windows.h>
// Version 2 maps GetProcessMemoryInfo to kernel32's K32GetProcessMemoryInfo: no psapi.dll.
#ifndef PSAPI_VERSION
#define PSAPI_VERSION 2
#endif
#include <psapi.h>

namespace standin {

JsonLine StatsLine() {
    const HANDLE process = GetCurrentProcess();
    DWORD handles = 0;
    GetProcessHandleCount(process, &handles);
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);

    JsonLine line("stats");
    line.Key("handles").UInt(handles);
    line.Key("user").UInt(GetGuiResources(process, GR_USEROBJECTS));
    line.Key("gdi").UInt(GetGuiResources(process, GR_GDIOBJECTS));
    line.Key("peak_ws").UInt(memory.PeakWorkingSetSize);
    line.Key("private").UInt(memory.PrivateUsage);
    return line;
}

}  // namespace standin
