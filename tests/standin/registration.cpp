// DllRegisterServer and DllUnregisterServer: the class under
// HKLM\Software\Classes\CLSID (Wine 8's CoCreateInstance does not see HKCU's classes)
// with its in-process server, threading model and type library, and the type library.
#include "com_util.h"
#include <olectl.h>
#include "moviestandin_idl.h"
#include "standin_config.h"

#include <string>

namespace standin {
namespace {

constexpr wchar_t kClassKey[] = L"Software\\Classes\\CLSID\\{D27CDB6E-AE6D-11CF-96B8-444553540000}";

std::wstring GuidText(REFGUID guid) {
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

LSTATUS SetString(HKEY root, const std::wstring& subKey, const wchar_t* name, const std::wstring& value) {
    UniqueRegKey key;
    LSTATUS status = RegCreateKeyExW(root, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                                     nullptr, key.Put(), nullptr);
    if (status != ERROR_SUCCESS) return status;
    return RegSetValueExW(key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

std::wstring ModulePath() {
    wchar_t path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameW(ThisModule(), path, MAX_PATH);
    return std::wstring(path, n);
}

HRESULT Register() {
    const std::wstring path = ModulePath();
    if (path.empty()) return SELFREG_E_CLASS;
    const std::wstring key = kClassKey;
    const LSTATUS results[] = {
        SetString(HKEY_LOCAL_MACHINE, key, nullptr, L"Zembaroo movie stand-in"),
        SetString(HKEY_LOCAL_MACHINE, key + L"\\InprocServer32", nullptr, path),
        SetString(HKEY_LOCAL_MACHINE, key + L"\\InprocServer32", L"ThreadingModel", L"Apartment"),
        SetString(HKEY_LOCAL_MACHINE, key + L"\\TypeLib", nullptr, GuidText(LIBID_ZbMovieStandinLib)),
        SetString(HKEY_LOCAL_MACHINE, key + L"\\Version", nullptr, L"1.0"),
    };
    for (LSTATUS status : results) {
        if (status != ERROR_SUCCESS) return SELFREG_E_CLASS;
    }
    ComPtr<ITypeLib> typeLib;
    if (FAILED(LoadTypeLibEx(path.c_str(), REGKIND_NONE, typeLib.Put()))) return SELFREG_E_TYPELIB;
    std::wstring pathArgument = path;  // RegisterTypeLib takes a non-const path
    if (FAILED(RegisterTypeLib(typeLib.Get(), pathArgument.data(), nullptr))) return SELFREG_E_TYPELIB;
    return S_OK;
}

HRESULT Unregister() {
    // Each part goes even when the other is already missing; a type library that is not
    // registered is no failure.
    UnRegisterTypeLib(LIBID_ZbMovieStandinLib, 1, 0, LOCALE_NEUTRAL, sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32);
    const LSTATUS classKey = RegDeleteTreeW(HKEY_LOCAL_MACHINE, kClassKey);
    if (classKey != ERROR_SUCCESS && classKey != ERROR_FILE_NOT_FOUND) return SELFREG_E_CLASS;
    return S_OK;
}

}  // namespace
}  // namespace standin

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
    return standin::Guarded([] { return standin::Register(); });
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
    return standin::Guarded([] { return standin::Unregister(); });
}
