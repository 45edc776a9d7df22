#include "winkit/control_site.h"

#include <olectl.h>

#include <string>
#include <vector>

#include "winkit/boundary.h"
#include "winkit/com_object.h"
#include "winkit/property_bag.h"
#include "winkit/window.h"

namespace winkit {

// The site the control talks to: client site, in-place site, in-place frame (the dialog is
// its own frame), control site and the ambient-property dispatch.
class SiteObject final : public IOleClientSite,
                         public IOleInPlaceSite,
                         public IOleInPlaceFrame,
                         public IOleControlSite,
                         public IDispatch,
                         public ref_counted {
public:
    explicit SiteObject(ControlSite* owner) : owner_(owner) {}
    void detach() noexcept { owner_ = nullptr; }
    IOleInPlaceActiveObject* active_object() const noexcept { return active_.get(); }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_IOleClientSite) *out = static_cast<IOleClientSite*>(this);
        else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite) *out = static_cast<IOleInPlaceSite*>(this);
        else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame) *out = static_cast<IOleInPlaceFrame*>(this);
        else if (iid == IID_IOleControlSite) *out = static_cast<IOleControlSite*>(this);
        else if (iid == IID_IDispatch) *out = static_cast<IDispatch*>(this);
        else return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return add_ref(); }
    STDMETHODIMP_(ULONG) Release() override { return release(); }

    // IOleClientSite
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** out) override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetContainer(IOleContainer** out) override {
        if (out) *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow, shared by the in-place site and the frame: both are the dialog.
    STDMETHODIMP GetWindow(HWND* out) override {
        if (!out) return E_POINTER;
        *out = owner_ ? owner_->parent_ : nullptr;
        return owner_ ? S_OK : E_UNEXPECTED;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override { return owner_ ? S_OK : S_FALSE; }
    STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, RECT* pos, RECT* clip,
                                  OLEINPLACEFRAMEINFO* info) override {
        if (!frame || !doc || !pos || !clip || !info) return E_POINTER;
        if (!owner_) return E_UNEXPECTED;
        *frame = static_cast<IOleInPlaceFrame*>(this);
        AddRef();
        *doc = nullptr;
        *pos = owner_->rect_;
        *clip = owner_->rect_;
        info->fMDIApp = FALSE;
        info->hwndFrame = owner_->parent_;
        info->haccel = nullptr;
        info->cAccelEntries = 0;
        return S_OK;
    }
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override {
        active_.reset();
        return S_OK;
    }
    STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
    STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
    STDMETHODIMP OnPosRectChange(LPCRECT rect) override {
        if (!rect || !owner_) return E_INVALIDARG;
        return guarded("OnPosRectChange", E_FAIL, [&] {
            owner_->SetRect(*rect);
            return S_OK;
        });
    }

    // IOleInPlaceUIWindow / IOleInPlaceFrame: no toolbars, menus or status bar to share.
    STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return OLE_E_INVALIDRECT; }
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) override {
        active_ = com_ptr<IOleInPlaceActiveObject>::copy(object);
        return S_OK;
    }
    STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return E_NOTIMPL; }
    STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

    // IOleControlSite
    STDMETHODIMP OnControlInfoChanged() override { return S_OK; }
    STDMETHODIMP LockInPlaceActive(BOOL) override { return S_OK; }
    STDMETHODIMP GetExtendedControl(IDispatch** out) override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP TransformCoords(POINTL* himetric, POINTF* container, DWORD flags) override {
        if (!himetric || !container) return E_POINTER;
        HDC screen = ::GetDC(nullptr);
        const int dpi_x = ::GetDeviceCaps(screen, LOGPIXELSX);
        const int dpi_y = ::GetDeviceCaps(screen, LOGPIXELSY);
        ::ReleaseDC(nullptr, screen);
        if (flags & XFORMCOORDS_HIMETRICTOCONTAINER) {
            container->x = static_cast<float>(::MulDiv(himetric->x, dpi_x, 2540));
            container->y = static_cast<float>(::MulDiv(himetric->y, dpi_y, 2540));
        } else {
            himetric->x = ::MulDiv(static_cast<int>(container->x), 2540, dpi_x);
            himetric->y = ::MulDiv(static_cast<int>(container->y), 2540, dpi_y);
        }
        return S_OK;
    }
    STDMETHODIMP TranslateAccelerator(MSG*, DWORD) override { return S_FALSE; }
    STDMETHODIMP OnFocus(BOOL) override { return S_OK; }
    STDMETHODIMP ShowPropertyFrame() override { return E_NOTIMPL; }

    // IDispatch: the ambient properties of a running, user-mode container.
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        if (count) *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** out) override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return DISP_E_UNKNOWNNAME; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                        UINT*) override {
        if (!(flags & DISPATCH_PROPERTYGET) || !result) return DISP_E_MEMBERNOTFOUND;
        ::VariantInit(result);
        switch (id) {
            case DISPID_AMBIENT_USERMODE:
                result->vt = VT_BOOL;
                result->boolVal = VARIANT_TRUE;
                return S_OK;
            case DISPID_AMBIENT_UIDEAD:
            case DISPID_AMBIENT_SHOWGRABHANDLES:
            case DISPID_AMBIENT_SHOWHATCHING:
            case DISPID_AMBIENT_MESSAGEREFLECT:
            case DISPID_AMBIENT_DISPLAYASDEFAULT:
                result->vt = VT_BOOL;
                result->boolVal = VARIANT_FALSE;
                return S_OK;
            case DISPID_AMBIENT_SUPPORTSMNEMONICS:
                result->vt = VT_BOOL;
                result->boolVal = VARIANT_TRUE;
                return S_OK;
            case DISPID_AMBIENT_LOCALEID:
                result->vt = VT_I4;
                result->lVal = static_cast<LONG>(::GetUserDefaultLCID());
                return S_OK;
            case DISPID_AMBIENT_BACKCOLOR:
                result->vt = VT_I4;
                result->lVal = static_cast<LONG>(::GetSysColor(COLOR_BTNFACE));
                return S_OK;
            case DISPID_AMBIENT_FORECOLOR:
                result->vt = VT_I4;
                result->lVal = static_cast<LONG>(::GetSysColor(COLOR_BTNTEXT));
                return S_OK;
            default:
                return DISP_E_MEMBERNOTFOUND;
        }
    }

private:
    ControlSite* owner_;
    com_ptr<IOleInPlaceActiveObject> active_;
};

// The sink on the control's default source interface: every event goes to the owning
// window's event-sink table.
class EventSink final : public IDispatch, public ref_counted {
public:
    EventSink(Window* window, UINT control_id, const IID& iid) : window_(window), id_(control_id), iid_(iid) {}
    void detach() noexcept { window_ = nullptr; }

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == iid_) {
            *out = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return add_ref(); }
    STDMETHODIMP_(ULONG) Release() override { return release(); }

    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        if (count) *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** out) override {
        if (out) *out = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return DISP_E_UNKNOWNNAME; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                        UINT*) override {
        if (result) ::VariantInit(result);
        if (!window_) return S_OK;
        // Keep the sink alive while the handler runs; a handler may tear the window down.
        AddRef();
        guarded("event handler", [&] { window_->FireEvent(id_, id, params); });
        Release();
        return S_OK;
    }

private:
    Window* window_;
    UINT id_;
    IID iid_;
};

IID find_default_source_interface(IUnknown* control, const CLSID& clsid) {
    com_ptr<IUnknown> unknown = com_ptr<IUnknown>::copy(control);
    if (auto info2 = unknown.query<IProvideClassInfo2>()) {
        IID iid = IID_NULL;
        if (SUCCEEDED(info2->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &iid)) && iid != IID_NULL) return iid;
    }

    com_ptr<ITypeInfo> coclass;
    if (auto info = unknown.query<IProvideClassInfo>()) info->GetClassInfo(coclass.put());
    if (!coclass) {
        // The control's own type library, reached through its automation interface.
        if (auto dispatch = unknown.query<IDispatch>()) {
            com_ptr<ITypeInfo> own;
            com_ptr<ITypeLib> library;
            UINT index = 0;
            if (SUCCEEDED(dispatch->GetTypeInfo(0, LOCALE_USER_DEFAULT, own.put())) && own &&
                SUCCEEDED(own->GetContainingTypeLib(library.put(), &index)) && library)
                library->GetTypeInfoOfGuid(clsid, coclass.put());
        }
    }
    if (!coclass) return IID_NULL;

    TYPEATTR* attr = nullptr;
    if (FAILED(coclass->GetTypeAttr(&attr)) || !attr) return IID_NULL;
    const WORD impl_count = attr->cImplTypes;
    coclass->ReleaseTypeAttr(attr);

    for (UINT i = 0; i < impl_count; ++i) {
        INT flags = 0;
        if (FAILED(coclass->GetImplTypeFlags(i, &flags))) continue;
        if ((flags & (IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE)) != (IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE))
            continue;
        HREFTYPE ref = 0;
        com_ptr<ITypeInfo> source;
        if (FAILED(coclass->GetRefTypeOfImplType(i, &ref)) || FAILED(coclass->GetRefTypeInfo(ref, source.put())))
            continue;
        TYPEATTR* source_attr = nullptr;
        if (FAILED(source->GetTypeAttr(&source_attr)) || !source_attr) continue;
        const IID iid = source_attr->guid;
        source->ReleaseTypeAttr(source_attr);
        return iid;
    }
    return IID_NULL;
}

ControlSite::ControlSite(Window& owner, HWND parent, UINT id) : owner_(owner), parent_(parent), id_(id) {}

ControlSite::~ControlSite() { Destroy(); }

std::unique_ptr<ControlSite> ControlSite::Create(Window& owner, HWND parent, UINT id, const CLSID& clsid,
                                                 const RECT& rect, const ControlProperties* properties,
                                                 HRESULT* failure) {
    std::unique_ptr<ControlSite> site(new ControlSite(owner, parent, id));
    const HRESULT hr = site->Activate(clsid, rect, properties);
    if (failure) *failure = hr;
    if (FAILED(hr)) return nullptr;  // the destructor tears down what was made
    return site;
}

HRESULT ControlSite::Activate(const CLSID& clsid, const RECT& rect, const ControlProperties* properties) {
    rect_ = rect;
    site_ = com_ptr<SiteObject>::attach(new SiteObject(this));

    HRESULT hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject, object_.put_void());
    if (FAILED(hr)) return hr;

    DWORD misc = 0;
    object_->GetMiscStatus(DVASPECT_CONTENT, &misc);
    const bool site_first = (misc & OLEMISC_SETCLIENTSITEFIRST) != 0;
    if (site_first) object_->SetClientSite(static_cast<IOleClientSite*>(site_.get()));

    // The initial property set: from our resource through the property bag; a control
    // without one starts from its defaults.
    bool loaded = false;
    if (properties && !properties->values.empty()) {
        if (auto persist = object_.query<IPersistPropertyBag>()) {
            auto bag = make_property_bag(properties->values);
            loaded = SUCCEEDED(persist->Load(bag.get(), nullptr));
        }
    }
    if (!loaded) {
        if (auto persist = object_.query<IPersistStreamInit>()) persist->InitNew();
    }
    if (!site_first) object_->SetClientSite(static_cast<IOleClientSite*>(site_.get()));

    if (properties && properties->extent) {
        SIZEL extent{properties->extent->first, properties->extent->second};
        object_->SetExtent(DVASPECT_CONTENT, &extent);
    }

    dispatch_ = object_.query<IDispatch>();
    ConnectEvents(clsid);

    RECT place = rect_;
    hr = object_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, static_cast<IOleClientSite*>(site_.get()), 0, parent_,
                         &place);
    if (FAILED(hr)) return hr;

    in_place_ = object_.query<IOleInPlaceObject>();
    if (in_place_) in_place_->GetWindow(&control_hwnd_);
    active_ = object_.query<IOleInPlaceActiveObject>();
    if (control_hwnd_) ::SetWindowLongPtrW(control_hwnd_, GWLP_ID, static_cast<LONG_PTR>(id_));
    return S_OK;
}

void ControlSite::ConnectEvents(const CLSID& clsid) {
    const IID source = find_default_source_interface(object_.get(), clsid);
    if (source == IID_NULL) return;
    auto container = object_.query<IConnectionPointContainer>();
    if (!container || FAILED(container->FindConnectionPoint(source, connection_.put())) || !connection_) return;
    sink_ = com_ptr<EventSink>::attach(new EventSink(&owner_, id_, source));
    if (FAILED(connection_->Advise(static_cast<IDispatch*>(sink_.get()), &cookie_))) {
        cookie_ = 0;
        connection_.reset();
    }
}

void ControlSite::SetRect(const RECT& rect) {
    rect_ = rect;
    if (in_place_) in_place_->SetObjectRects(&rect_, &rect_);
}

bool ControlSite::TranslateAccelerator(MSG* msg) {
    IOleInPlaceActiveObject* active = site_ ? site_->active_object() : nullptr;
    if (!active) active = active_.get();
    return active && active->TranslateAccelerator(msg) == S_OK;
}

void ControlSite::Destroy() noexcept {
    // Stop events first, then leave in-place state, close, and cut the site off.
    if (sink_) sink_->detach();
    if (connection_ && cookie_) connection_->Unadvise(cookie_);
    cookie_ = 0;
    connection_.reset();
    if (in_place_) in_place_->InPlaceDeactivate();
    in_place_.reset();
    active_.reset();
    if (object_) {
        object_->Close(OLECLOSE_NOSAVE);
        object_->SetClientSite(nullptr);
    }
    dispatch_.reset();
    object_.reset();
    if (site_) site_->detach();
    site_.reset();
    sink_.reset();
    control_hwnd_ = nullptr;
}

}  // namespace winkit
