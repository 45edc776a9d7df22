// The record's time base: milliseconds since the DLL was loaded, monotonic.
#pragma once

#include <cstdint>

namespace standin {

void StartClock() noexcept;                // once, when the DLL is loaded
std::int64_t MillisecondsSinceLoad() noexcept;

}  // namespace standin
