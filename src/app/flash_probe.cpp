#include "app/flash_probe.h"

#include <objbase.h>

#include "winkit/com_ptr.h"

namespace {
// {D27CDB6E-AE6D-11CF-96B8-444553540000}
constexpr CLSID kPlayerClassId = {0xD27CDB6E, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
}  // namespace

bool IsFlashPlayerInstalled() {
    ::CoInitialize(nullptr);
    winkit::com_ptr<IUnknown> instance;
    const HRESULT hr = ::CoCreateInstance(kPlayerClassId, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                          instance.put_void());
    // COM stays initialised on this path: the message box and the shell call follow.
    if (hr == REGDB_E_CLASSNOTREG) return false;
    instance.reset();
    ::CoUninitialize();
    return true;
}
