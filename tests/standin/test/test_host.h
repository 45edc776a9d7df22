// A minimal control host for the stand-in's tests: a top-level window, a client and
// in-place site that is also the frame, an FSCommand sink, a property bag, and access to
// moviestandin.dll without registration.
#pragma once

#include "com_util.h"
#include "text.h"

#include <ocidl.h>
#include <oleidl.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace standin::test {

// moviestandin.dll from the test program's own folder (or another path), its class
// object reached through DllGetClassObject.
class StandinLibrary {
public:
    explicit StandinLibrary(const std::wstring& path = L"");
    ~StandinLibrary();
    StandinLibrary(const StandinLibrary&) = delete;
    StandinLibrary& operator=(const StandinLibrary&) = delete;

    bool Loaded() const { return module_ != nullptr; }
    HMODULE Module() const { return module_; }
    ComPtr<IUnknown> CreateControl() const;
    static std::wstring DefaultPath();

private:
    HMODULE module_ = nullptr;
};

class HostWindow {
public:
    HostWindow(int width, int height);
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;
    HWND Handle() const { return window_; }

private:
    HWND window_ = nullptr;
};

class TestSite final : public IOleClientSite, public IOleInPlaceSite, public IOleInPlaceFrame {
public:
    static ComPtr<TestSite> Create(HWND window);

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    STDMETHODIMP_(ULONG) Release() override;

    // IOleClientSite
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** m) override { *m = nullptr; return E_NOTIMPL; }
    STDMETHODIMP GetContainer(IOleContainer** c) override { *c = nullptr; return E_NOINTERFACE; }
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }
    // IOleWindow (site and frame alike)
    STDMETHODIMP GetWindow(HWND* window) override { *window = window_; return S_OK; }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnInPlaceActivate() override { ++inPlaceActivations; return S_OK; }
    STDMETHODIMP OnUIActivate() override { ++uiActivations; return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos, LPRECT clip,
                                  LPOLEINPLACEFRAMEINFO info) override;
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { ++uiDeactivations; return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override { ++inPlaceDeactivations; return S_OK; }
    STDMETHODIMP DiscardUndoState() override { return S_OK; }
    STDMETHODIMP DeactivateAndUndo() override { return S_OK; }
    STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }
    // IOleInPlaceUIWindow, IOleInPlaceFrame
    STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) override;
    STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return E_NOTIMPL; }
    STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

    RECT position{10, 20, 330, 260};  // where GetWindowContext places the control
    int inPlaceActivations = 0;
    int uiActivations = 0;
    int uiDeactivations = 0;
    int inPlaceDeactivations = 0;
    ComPtr<IOleInPlaceActiveObject> activeObject;

private:
    explicit TestSite(HWND window) : window_(window) {}
    ULONG refs_ = 1;
    HWND window_;
};

// Collects FSCommand events; answers QueryInterface for the event interface id it is given.
class FsCommandSink final : public IDispatch {
public:
    struct Event {
        NullableText command;
        NullableText args;
    };

    static ComPtr<FsCommandSink> Create(const IID& eventInterface);

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP GetTypeInfoCount(UINT* n) override { *n = 0; return S_OK; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override;

    std::vector<Event> events;
    std::function<void(const Event&)> onEvent;

private:
    explicit FsCommandSink(const IID& eventInterface) : eventInterface_(eventInterface) {}
    ULONG refs_ = 1;
    IID eventInterface_;
};

class TestPropertyBag final : public IPropertyBag {
public:
    static ComPtr<TestPropertyBag> Create(std::map<std::wstring, std::wstring> values);

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP Read(LPCOLESTR name, VARIANT* value, IErrorLog*) override;
    STDMETHODIMP Write(LPCOLESTR, VARIANT*) override { return E_NOTIMPL; }

private:
    explicit TestPropertyBag(std::map<std::wstring, std::wstring> values) : values_(std::move(values)) {}
    ULONG refs_ = 1;
    std::map<std::wstring, std::wstring> values_;
};

// Automation calls the way a host makes them.
HRESULT PutText(IDispatch* control, DISPID id, const NullableText& value);
HRESULT CallMethod(IDispatch* control, DISPID id, std::vector<VARIANT> argsInCallOrder, VARIANT* result,
                   EXCEPINFO* exception = nullptr);
VARIANT TextArgument(const NullableText& text);  // caller's VARIANT owns a new BSTR
VARIANT IntArgument(LONG value);

// Runs the message loop until `done` holds or the time is up; true if it held.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);
void PumpFor(DWORD ms);

std::wstring NewTempFolder();
void WriteTextFile(const std::wstring& path, const std::string& utf8);
std::vector<std::string> ReadLines(const std::wstring& path);
// Lines that hold every one of the given fragments.
std::vector<std::string> LinesWith(const std::vector<std::string>& lines, const std::vector<std::string>& fragments);

}  // namespace standin::test
