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
    line.Key("user").UInt(GetGuiResources(process, GR_USEROBJECTS));
    line.Key("gdi").UInt(GetGuiResources(process, GR_GDIOBJECTS));
    line.Key("peak_ws").UInt(memory.PeakWorkingSetSize);
    line.Key("private").UInt(privateBytes);
    return line;
}

}  // namespace standin
