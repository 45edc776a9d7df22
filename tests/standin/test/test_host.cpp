#include "test_host.h"

#include "standin_config.h"

#include <fstream>
#include <sstream>

namespace standin::test {

// --- StandinLibrary ---

std::wstring StandinLibrary::DefaultPath() {
    wchar_t exe[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring path(exe);
    return path.substr(0, path.find_last_of(L"\\/") + 1) + L"moviestandin.dll";
}

StandinLibrary::StandinLibrary(const std::wstring& path)
    : module_(LoadLibraryW((path.empty() ? DefaultPath() : path).c_str())) {}

StandinLibrary::~StandinLibrary() {
    if (module_) FreeLibrary(module_);
}

ComPtr<IUnknown> StandinLibrary::CreateControl() const {
    using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
    if (!module_) return {};
    auto getClassObject =
        reinterpret_cast<GetClassObjectFn>(reinterpret_cast<void*>(GetProcAddress(module_, "DllGetClassObject")));
    if (!getClassObject) return {};
    static const CLSID kPlayerClass = {0xD27CDB6E, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
    ComPtr<IClassFactory> factory;
    if (FAILED(getClassObject(kPlayerClass, IID_IClassFactory, factory.PutVoid()))) return {};
    ComPtr<IUnknown> control;
    factory->CreateInstance(nullptr, IID_IUnknown, control.PutVoid());
    return control;
}

// --- HostWindow ---

HostWindow::HostWindow(int width, int height) {
    static const wchar_t kClass[] = L"ZbStandinTestHost";
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kClass;
    RegisterClassExW(&wc);  // fails harmlessly when already registered
    window_ = CreateWindowExW(0, kClass, L"stand-in test host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE,
                              40, 30, width, height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

HostWindow::~HostWindow() {
    if (window_ && IsWindow(window_)) DestroyWindow(window_);
}

// --- TestSite ---

ComPtr<TestSite> TestSite::Create(HWND window) { return ComPtr<TestSite>::Adopt(new TestSite(window)); }

STDMETHODIMP TestSite::QueryInterface(REFIID iid, void** out) {
    if (iid == IID_IUnknown || iid == IID_IOleClientSite) {
        *out = static_cast<IOleClientSite*>(this);
    } else if (iid == IID_IOleInPlaceSite) {
        *out = static_cast<IOleInPlaceSite*>(this);
    } else if (iid == IID_IOleWindow) {
        *out = static_cast<IOleWindow*>(static_cast<IOleInPlaceSite*>(this));
    } else if (iid == IID_IOleInPlaceFrame || iid == IID_IOleInPlaceUIWindow) {
        *out = static_cast<IOleInPlaceFrame*>(this);
    } else {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) TestSite::Release() {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
}

STDMETHODIMP TestSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos,
                                        LPRECT clip, LPOLEINPLACEFRAMEINFO info) {
    *frame = this;
    AddRef();
    *doc = nullptr;
    *pos = position;
    GetClientRect(window_, clip);
    info->fMDIApp = FALSE;
    info->hwndFrame = window_;
    info->haccel = nullptr;
    info->cAccelEntries = 0;
    return S_OK;
}

STDMETHODIMP TestSite::SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) {
    activeObject = object;
    return S_OK;
}

// --- FsCommandSink ---

ComPtr<FsCommandSink> FsCommandSink::Create(const IID& eventInterface) {
    return ComPtr<FsCommandSink>::Adopt(new FsCommandSink(eventInterface));
}

STDMETHODIMP FsCommandSink::QueryInterface(REFIID iid, void** out) {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == eventInterface_) {
        *out = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) FsCommandSink::Release() {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
}

STDMETHODIMP FsCommandSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) {
    if (id != 150 || !params || params->cArgs != 2) return DISP_E_MEMBERNOTFOUND;
    if (V_VT(&params->rgvarg[0]) != VT_BSTR || V_VT(&params->rgvarg[1]) != VT_BSTR) return DISP_E_TYPEMISMATCH;
    // Last argument first: rgvarg[1] is the command.
    Event event{TextFromBstr(V_BSTR(&params->rgvarg[1])), TextFromBstr(V_BSTR(&params->rgvarg[0]))};
    events.push_back(event);
    if (onEvent) onEvent(event);
    return S_OK;
}

// --- TestPropertyBag ---

ComPtr<TestPropertyBag> TestPropertyBag::Create(std::map<std::wstring, std::wstring> values) {
    return ComPtr<TestPropertyBag>::Adopt(new TestPropertyBag(std::move(values)));
}

STDMETHODIMP TestPropertyBag::QueryInterface(REFIID iid, void** out) {
    if (iid == IID_IUnknown || iid == IID_IPropertyBag) {
        *out = static_cast<IPropertyBag*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) TestPropertyBag::Release() {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
}

STDMETHODIMP TestPropertyBag::Read(LPCOLESTR name, VARIANT* value, IErrorLog*) {
    const auto it = values_.find(name);
    if (it == values_.end()) return E_INVALIDARG;
    V_VT(value) = VT_BSTR;
    V_BSTR(value) = SysAllocString(it->second.c_str());
    return S_OK;
}

// --- automation ---

VARIANT TextArgument(const NullableText& text) {
    VARIANT v;
    VariantInit(&v);
    V_VT(&v) = VT_BSTR;
    V_BSTR(&v) = MakeBstr(text);
    return v;
}

VARIANT IntArgument(LONG value) {
    VARIANT v;
    VariantInit(&v);
    V_VT(&v) = VT_I4;
    V_I4(&v) = value;
    return v;
}

HRESULT PutText(IDispatch* control, DISPID id, const NullableText& value) {
    VARIANT arg = TextArgument(value);
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&arg, &named, 1, 1};
    const HRESULT hr = control->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr,
                                       nullptr, nullptr);
    VariantClear(&arg);
    return hr;
}

HRESULT CallMethod(IDispatch* control, DISPID id, std::vector<VARIANT> argsInCallOrder, VARIANT* result,
                   EXCEPINFO* exception) {
    std::vector<VARIANT> reversed(argsInCallOrder.rbegin(), argsInCallOrder.rend());
    DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    UINT argError = 0;
    const HRESULT hr = control->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result,
                                       exception, &argError);
    for (VARIANT& v : reversed) VariantClear(&v);
    return hr;
}

// --- message loop and files ---

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (done()) return true;
        if (GetTickCount64() >= end) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

void PumpFor(DWORD ms) {
    PumpUntil([] { return false; }, ms);
}

std::wstring NewTempFolder() {
    wchar_t base[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, base);
    static int counter = 0;
    const std::wstring folder = std::wstring(base) + L"zb-standin-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                                std::to_wstring(++counter) + L"\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

void WriteTextFile(const std::wstring& path, const std::string& utf8) {
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                  nullptr));
    DWORD written = 0;
    WriteFile(file.Get(), utf8.data(), static_cast<DWORD>(utf8.size()), &written, nullptr);
}

std::vector<std::string> ReadLines(const std::wstring& path) {
    std::vector<std::string> lines;
    const auto content = ReadWholeFile(path);
    if (!content) return lines;
    std::istringstream in(*content);
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}

std::vector<std::string> LinesWith(const std::vector<std::string>& lines, const std::vector<std::string>& fragments) {
    std::vector<std::string> found;
    for (const std::string& line : lines) {
        bool all = true;
        for (const std::string& f : fragments) all = all && line.find(f) != std::string::npos;
        if (all) found.push_back(line);
    }
    return found;
}

}  // namespace standin::test
