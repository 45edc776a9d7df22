// The stand-in movie control: a windowed ActiveX control with the player's automation
// surface and FSCommand event, which records everything its host does to it and plays a
// movie script instead of a movie.
#pragma once

#include "call_recorder.h"
#include "com_util.h"
#include "event_connection.h"
#include "movie_script.h"
#include "script_player.h"
#include "standin_window.h"
#include "text.h"

#include <ocidl.h>
#include <olectl.h>

#include <map>

namespace standin {

class MovieControl;

// IPersistPropertyBag lives in an object of its own: its InitNew would otherwise be the
// same method as IPersistStreamInit's, and the record tells the two apart.
class PropertyBagPersistence final : public IPersistPropertyBag {
public:
    explicit PropertyBagPersistence(MovieControl& control) : control_(control) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    STDMETHODIMP GetClassID(CLSID* clsid) override;
    STDMETHODIMP InitNew() override;
    STDMETHODIMP Load(IPropertyBag* bag, IErrorLog* log) override;
    STDMETHODIMP Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) override;

private:
    MovieControl& control_;
};

class MovieControl final : public IDispatch,
                           public IOleObject,
                           public IOleInPlaceObject,
                           public IOleInPlaceActiveObject,
                           public IOleControl,
                           public IViewObject2,
                           public IPersistStreamInit,
                           public IProvideClassInfo2,
                           public IConnectionPointContainer,
                           private CallRecorder,
                           private StandinWindowEvents,
                           private ScriptActions {
public:
    static HRESULT Create(REFIID iid, void** out);

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IDispatch: the automation surface (control_automation.cpp)
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* exception, UINT* argError) override;

    // IOleObject (control_ole.cpp)
    STDMETHODIMP SetClientSite(IOleClientSite* site) override;
    STDMETHODIMP GetClientSite(IOleClientSite** site) override;
    STDMETHODIMP SetHostNames(LPCOLESTR app, LPCOLESTR object) override;
    STDMETHODIMP Close(DWORD saveOption) override;
    STDMETHODIMP SetMoniker(DWORD which, IMoniker* moniker) override;
    STDMETHODIMP GetMoniker(DWORD assign, DWORD which, IMoniker** moniker) override;
    STDMETHODIMP InitFromData(IDataObject* data, BOOL creation, DWORD reserved) override;
    STDMETHODIMP GetClipboardData(DWORD reserved, IDataObject** data) override;
    STDMETHODIMP DoVerb(LONG verb, LPMSG msg, IOleClientSite* site, LONG index, HWND parent,
                        LPCRECT posRect) override;
    STDMETHODIMP EnumVerbs(IEnumOLEVERB** verbs) override;
    STDMETHODIMP Update() override;
    STDMETHODIMP IsUpToDate() override;
    STDMETHODIMP GetUserClassID(CLSID* clsid) override;
    STDMETHODIMP GetUserType(DWORD form, LPOLESTR* type) override;
    STDMETHODIMP SetExtent(DWORD aspect, SIZEL* size) override;
    STDMETHODIMP GetExtent(DWORD aspect, SIZEL* size) override;
    STDMETHODIMP Advise(IAdviseSink* sink, DWORD* connection) override;
    STDMETHODIMP Unadvise(DWORD connection) override;
    STDMETHODIMP EnumAdvise(IEnumSTATDATA** advise) override;
    STDMETHODIMP GetMiscStatus(DWORD aspect, DWORD* status) override;
    STDMETHODIMP SetColorScheme(LOGPALETTE* palette) override;

    // IOleWindow, IOleInPlaceObject, IOleInPlaceActiveObject (control_ole.cpp)
    STDMETHODIMP GetWindow(HWND* window) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL enter) override;
    STDMETHODIMP InPlaceDeactivate() override;
    STDMETHODIMP UIDeactivate() override;
    STDMETHODIMP SetObjectRects(LPCRECT posRect, LPCRECT clipRect) override;
    STDMETHODIMP ReactivateAndUndo() override;
    STDMETHODIMP TranslateAccelerator(LPMSG msg) override;
    STDMETHODIMP OnFrameWindowActivate(BOOL activate) override;
    STDMETHODIMP OnDocWindowActivate(BOOL activate) override;
    STDMETHODIMP ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window, BOOL frameWindow) override;
    STDMETHODIMP EnableModeless(BOOL enable) override;

    // IOleControl (movie_control.cpp)
    STDMETHODIMP GetControlInfo(CONTROLINFO* info) override;
    STDMETHODIMP OnMnemonic(MSG* msg) override;
    STDMETHODIMP OnAmbientPropertyChange(DISPID id) override;
    STDMETHODIMP FreezeEvents(BOOL freeze) override;

    // IViewObject2 (movie_control.cpp)
    STDMETHODIMP Draw(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* device, HDC targetDc, HDC drawDc,
                      LPCRECTL bounds, LPCRECTL windowBounds, BOOL(STDMETHODCALLTYPE* keepGoing)(ULONG_PTR),
                      ULONG_PTR keepGoingArg) override;
    STDMETHODIMP GetColorSet(DWORD aspect, LONG index, void* aspectInfo, DVTARGETDEVICE* device, HDC targetDc,
                             LOGPALETTE** colours) override;
    STDMETHODIMP Freeze(DWORD aspect, LONG index, void* aspectInfo, DWORD* freeze) override;
    STDMETHODIMP Unfreeze(DWORD freeze) override;
    STDMETHODIMP SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
    STDMETHODIMP GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
    STDMETHODIMP GetExtent(DWORD aspect, LONG index, DVTARGETDEVICE* device, LPSIZEL size) override;

    // IPersist, IPersistStreamInit (control_persist.cpp)
    STDMETHODIMP GetClassID(CLSID* clsid) override;
    STDMETHODIMP IsDirty() override;
    STDMETHODIMP Load(LPSTREAM stream) override;
    STDMETHODIMP Save(LPSTREAM stream, BOOL clearDirty) override;
    STDMETHODIMP GetSizeMax(ULARGE_INTEGER* size) override;
    STDMETHODIMP InitNew() override;

    // IProvideClassInfo2 (movie_control.cpp)
    STDMETHODIMP GetClassInfo(ITypeInfo** info) override;
    STDMETHODIMP GetGUID(DWORD kind, GUID* guid) override;

    // IConnectionPointContainer (movie_control.cpp)
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** points) override;
    STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

private:
    friend class PropertyBagPersistence;

    MovieControl();
    ~MovieControl();

    // CallRecorder
    void RecordCall(JsonLine& line) override;
    // StandinWindowEvents
    void OnWindowTimer(UINT_PTR id) override;
    void OnWindowFocus() override;
    void OnWindowDestroyed() override;
    // ScriptActions
    void FireStep(const ScriptStep& step) override;
    void StatsStep() override;
    void CloseStep() override;

    void WriteLine(JsonLine& line);
    void ScriptNote(const std::wstring& note);
    HWND ContainerWindow();
    HRESULT LoadTypeLibrary();

    // Automation (control_automation.cpp)
    HRESULT InvokeProperty(DISPID id, const wchar_t* name, WORD flags, DISPPARAMS& params, VARIANT* result,
                           UINT* argError);
    HRESULT LoadMovie(DISPPARAMS& params, UINT* argError);
    HRESULT Play(DISPPARAMS& params, EXCEPINFO* exception);
    HRESULT GetVariable(DISPPARAMS& params, VARIANT* result, EXCEPINFO* exception, UINT* argError);
    HRESULT CallFunction(DISPPARAMS& params, VARIANT* result, EXCEPINFO* exception, UINT* argError);
    void StartScript();

    // In-place activation (control_ole.cpp)
    HRESULT ActivateInPlace(bool uiActivate);
    void ActivateUi();
    void DeactivateUi();
    void DeactivateInPlace();

    // Persistence (control_persist.cpp)
    void ApplyLoadedProperty(const std::wstring& name, const std::wstring& value);

    ULONG refs_ = 1;
    const int objectNumber_;
    ComPtr<ITypeLib> typeLib_;
    ComPtr<IOleClientSite> clientSite_;
    ComPtr<IOleInPlaceSite> inPlaceSite_;
    ComPtr<IOleInPlaceFrame> frame_;
    ComPtr<IOleInPlaceUIWindow> uiWindow_;
    ComPtr<IOleAdviseHolder> adviseHolder_;
    ComPtr<IAdviseSink> viewSink_;
    DWORD viewAspects_ = 0;
    DWORD viewAdviseFlags_ = 0;
    HWND container_ = nullptr;
    bool uiActive_ = false;
    SIZEL extent_{12356, 7567};
    int freezeCount_ = 0;
    std::map<DISPID, NullableText> properties_;
    MovieScript script_;
    EventConnectionPoint events_;
    PropertyBagPersistence bag_;
    ScriptPlayer player_;
    StandinWindow window_;
};

}  // namespace standin
