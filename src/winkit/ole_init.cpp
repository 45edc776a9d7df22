#include "winkit/ole_init.h"

#include <ole2.h>

namespace winkit {
namespace {
bool g_ole_initialized = false;
}

void ensure_ole_initialized() noexcept {
    if (g_ole_initialized) return;
    g_ole_initialized = SUCCEEDED(::OleInitialize(nullptr));
}

void end_ole() noexcept {
    if (!g_ole_initialized) return;
    ::OleUninitialize();
    g_ole_initialized = false;
}

}  // namespace winkit
