#include "clock.h"

#include <windows.h>

namespace standin {
namespace {
LARGE_INTEGER g_origin{};
LARGE_INTEGER g_frequency{};
}  // namespace

void StartClock() noexcept {
    QueryPerformanceFrequency(&g_frequency);
    QueryPerformanceCounter(&g_origin);
}

std::int64_t MillisecondsSinceLoad() noexcept {
    if (g_frequency.QuadPart == 0) StartClock();  // a test program without DllMain
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    const std::int64_t ticks = now.QuadPart - g_origin.QuadPart;
    return ticks / g_frequency.QuadPart * 1000 + ticks % g_frequency.QuadPart * 1000 / g_frequency.QuadPart;
}

}  // namespace standin
