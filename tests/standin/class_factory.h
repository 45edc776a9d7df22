// The class object of the stand-in control.
#pragma once

#include <windows.h>
#include <objbase.h>

namespace standin {

HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** out);

}  // namespace standin
