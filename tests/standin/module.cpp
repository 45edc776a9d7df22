// DllMain and the COM server entry points.
#include "module.h"

#include "class_factory.h"
#include "clock.h"

#include <windows.h>

#include <atomic>

namespace standin {
namespace {
std::atomic<long> g_locks{0};
}  // namespace

void LockModule() noexcept { ++g_locks; }
void UnlockModule() noexcept { --g_locks; }
long ModuleLockCount() noexcept { return g_locks.load(); }

}  // namespace standin

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        standin::StartClock();
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    return standin::GetClassObject(clsid, iid, out);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return standin::ModuleLockCount() == 0 ? S_OK : S_FALSE;
}
