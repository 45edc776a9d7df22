#include "process_stats.h"

#include <windows.h>
// Version 2 maps GetProcessMemoryInfo to kernel32's K32GetProcessMemoryInfo: no psapi.dll.
#ifndef PSAPI_VERSION
#define PSAPI_VERSION 2
#endif
#include <psapi.h>

#include <vector>

namespace standin {
namespace {

// The documented layout of SystemExtendedHandleInformation (class 64), which no SDK
// header declares.
struct HandleEntry {
    PVOID object;
    ULONG_PTR processId;
    ULONG_PTR handleValue;
    ULONG grantedAccess;
    USHORT creatorBackTraceIndex;
    USHORT objectTypeIndex;
    ULONG handleAttributes;
    ULONG reserved;
};

struct HandleTable {
    ULONG_PTR count;
    ULONG_PTR reserved;
    HandleEntry handles[1];
};

constexpr ULONG kSystemExtendedHandleInformation = 64;
constexpr LONG kStatusInfoLengthMismatch = static_cast<LONG>(0xC0000004);

// Wine 8's GetProcessHandleCount always answers 0, while its system handle table is
// real: count this process's entries there.
DWORD HandlesFromSystemTable() {
    using QueryFn = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    auto query = ntdll ? reinterpret_cast<QueryFn>(
                             reinterpret_cast<void*>(GetProcAddress(ntdll, "NtQuerySystemInformation")))
                       : nullptr;
    if (!query) return 0;
    std::vector<unsigned char> buffer(1 << 20);
    ULONG needed = 0;
    LONG status;
    while ((status = query(kSystemExtendedHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()),
                           &needed)) == kStatusInfoLengthMismatch &&
           buffer.size() < (64u << 20)) {
        buffer.resize(buffer.size() * 2);
    }
    if (status < 0) return 0;
    const auto* table = reinterpret_cast<const HandleTable*>(buffer.data());
    const ULONG_PTR self = GetCurrentProcessId();
    DWORD count = 0;
    for (ULONG_PTR i = 0; i < table->count; ++i) {
        if (table->handles[i].processId == self) ++count;
    }
    return count;
}

// Wine 8's GetGuiResources answers 0. Its GDI handle table is the process's own (the
// PEB's GdiSharedHandleTable), and a handle value with a zero high word names a table
// index of any generation: every index that GetObjectType accepts is a live object.
DWORD GdiObjectsFromHandleTable() {
    DWORD count = 0;
    for (ULONG_PTR index = 1; index < 0x10000; ++index) {
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0) ++count;
    }
    return count;
}

BOOL CALLBACK CountChild(HWND, LPARAM count) {
    ++*reinterpret_cast<DWORD*>(count);
    return TRUE;
}

BOOL CALLBACK CountOwnWindow(HWND window, LPARAM count) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == GetCurrentProcessId()) {
        ++*reinterpret_cast<DWORD*>(count);
        EnumChildWindows(window, CountChild, count);
    }
    return TRUE;
}

// Where GetGuiResources answers 0, the USER objects that a leak would pile up: the
// process's windows, top-level, child and message-only ones.
DWORD WindowsOfThisProcess() {
    DWORD count = 0;
    EnumWindows(CountOwnWindow, reinterpret_cast<LPARAM>(&count));
    for (HWND window = FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); window;
         window = FindWindowExW(HWND_MESSAGE, window, nullptr, nullptr)) {
        CountOwnWindow(window, reinterpret_cast<LPARAM>(&count));
    }
    return count;
}

}  // namespace

JsonLine StatsLine() {
    const HANDLE process = GetCurrentProcess();
    DWORD handles = 0;
    GetProcessHandleCount(process, &handles);
    if (handles == 0) handles = HandlesFromSystemTable();
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
    // Windows gives the same commit charge in both; Wine 8 fills only PagefileUsage.
    const SIZE_T privateBytes = memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage;

    JsonLine line("stats");
    line.Key("handles").UInt(handles);
    DWORD user = GetGuiResources(process, GR_USEROBJECTS);
    if (user == 0) user = WindowsOfThisProcess();
    DWORD gdi = GetGuiResources(process, GR_GDIOBJECTS);
    if (gdi == 0) gdi = GdiObjectsFromHandleTable();
    line.Key("user").UInt(user);
    line.Key("gdi").UInt(gdi);
    line.Key("peak_ws").UInt(memory.PeakWorkingSetSize);
    line.Key("private").UInt(privateBytes);
    return line;
}

}  // namespace standin
