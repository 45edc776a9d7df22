// The control as an OLE embedding: IOleObject, in-place activation with a window of its
// own, and the in-place interfaces a host talks to while it is active.
#include "movie_control.h"

#include "key_record.h"
#include "moviestandin_idl.h"
#include "record.h"
#include "window_facts.h"

namespace standin {
namespace {

constexpr DWORD kMiscStatus = OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_SETCLIENTSITEFIRST | OLEMISC_INSIDEOUT |
                              OLEMISC_CANTLINKINSIDE | OLEMISC_RECOMPOSEONRESIZE;
constexpr wchar_t kObjectName[] = L"Zembaroo movie stand-in";

NullableText OptionalText(LPCOLESTR text) { return text ? NullableText(text) : std::nullopt; }

}  // namespace

// --- IOleObject ---

STDMETHODIMP MovieControl::SetClientSite(IOleClientSite* site) {
    return Guarded([&]() -> HRESULT {
        clientSite_ = site;
        container_ = nullptr;
        JsonLine line = CallLine("IOleObject::SetClientSite");
        line.Key("args").BeginArray().Bool(site != nullptr).EndArray();
        RecordCall(line);
        return S_OK;
    });
}

STDMETHODIMP MovieControl::GetClientSite(IOleClientSite** site) {
    if (!site) return E_POINTER;
    *site = clientSite_.Get();
    if (*site) (*site)->AddRef();
    return S_OK;
}

STDMETHODIMP MovieControl::SetHostNames(LPCOLESTR app, LPCOLESTR object) {
    return Guarded([&]() -> HRESULT {
        JsonLine line = CallLine("IOleObject::SetHostNames");
        line.Key("args").BeginArray().Text(OptionalText(app)).Text(OptionalText(object)).EndArray();
        RecordCall(line);
        return S_OK;
    });
}

STDMETHODIMP MovieControl::Close(DWORD saveOption) {
    return Guarded([&]() -> HRESULT {
        ComPtr<IDispatch> keepAlive(static_cast<IDispatch*>(this));
        JsonLine line = CallLine("IOleObject::Close");
        line.Key("args").BeginArray().UInt(saveOption).EndArray();
        RecordCall(line);
        DeactivateInPlace();
        if (adviseHolder_) adviseHolder_->SendOnClose();
        return S_OK;
    });
}

STDMETHODIMP MovieControl::SetMoniker(DWORD, IMoniker*) { return E_NOTIMPL; }

STDMETHODIMP MovieControl::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
    if (moniker) *moniker = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP MovieControl::InitFromData(IDataObject*, BOOL, DWORD) { return E_NOTIMPL; }

STDMETHODIMP MovieControl::GetClipboardData(DWORD, IDataObject** data) {
    if (data) *data = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP MovieControl::DoVerb(LONG verb, LPMSG, IOleClientSite*, LONG, HWND parent, LPCRECT posRect) {
    return Guarded([&]() -> HRESULT {
        ComPtr<IDispatch> keepAlive(static_cast<IDispatch*>(this));
        JsonLine line = CallLine("IOleObject::DoVerb");
        line.Key("args").BeginArray().Int(verb).EndArray();
        AddHandle(line.Key("parent"), parent);
        if (posRect) AddRect(line.Key("rect"), *posRect);
        RecordCall(line);
        switch (verb) {
        case OLEIVERB_PRIMARY:
        case OLEIVERB_SHOW:
        case OLEIVERB_INPLACEACTIVATE:
            return ActivateInPlace(false);
        case OLEIVERB_UIACTIVATE:
            return ActivateInPlace(true);
        case OLEIVERB_HIDE:
            if (window_.Handle()) ShowWindow(window_.Handle(), SW_HIDE);
            return S_OK;
        default:
            return verb > 0 ? OLEOBJ_S_INVALIDVERB : E_NOTIMPL;
        }
    });
}

STDMETHODIMP MovieControl::EnumVerbs(IEnumOLEVERB** verbs) {
    if (verbs) *verbs = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP MovieControl::Update() { return S_OK; }
STDMETHODIMP MovieControl::IsUpToDate() { return S_OK; }

STDMETHODIMP MovieControl::GetUserClassID(CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = CLSID_MovieStandin;
    return S_OK;
}

STDMETHODIMP MovieControl::GetUserType(DWORD, LPOLESTR* type) {
    if (type) *type = nullptr;
    return OLE_S_USEREG;
}

STDMETHODIMP MovieControl::SetExtent(DWORD aspect, SIZEL* size) {
    return Guarded([&]() -> HRESULT {
        if (!size) return E_POINTER;
        JsonLine line = CallLine("IOleObject::SetExtent");
        line.Key("args").BeginArray().Int(size->cx).Int(size->cy).EndArray().Key("aspect").UInt(aspect);
        RecordCall(line);
        if (aspect != DVASPECT_CONTENT) return E_FAIL;
        extent_ = *size;
        return S_OK;
    });
}

STDMETHODIMP MovieControl::GetExtent(DWORD aspect, SIZEL* size) {
    return Guarded([&]() -> HRESULT {
        JsonLine line = CallLine("IOleObject::GetExtent");
        line.Key("aspect").UInt(aspect);
        RecordCall(line);
        if (!size) return E_POINTER;
        if (aspect != DVASPECT_CONTENT) return E_FAIL;
        *size = extent_;
        return S_OK;
    });
}

STDMETHODIMP MovieControl::Advise(IAdviseSink* sink, DWORD* connection) {
    return Guarded([&]() -> HRESULT {
        JsonLine line = CallLine("IOleObject::Advise");
        RecordCall(line);
        if (!adviseHolder_) {
            const HRESULT hr = CreateOleAdviseHolder(adviseHolder_.Put());
            if (FAILED(hr)) return hr;
        }
        return adviseHolder_->Advise(sink, connection);
    });
}

STDMETHODIMP MovieControl::Unadvise(DWORD connection) {
    return Guarded([&]() -> HRESULT {
        JsonLine line = CallLine("IOleObject::Unadvise");
        line.Key("args").BeginArray().UInt(connection).EndArray();
        RecordCall(line);
        return adviseHolder_ ? adviseHolder_->Unadvise(connection) : OLE_E_NOCONNECTION;
    });
}

STDMETHODIMP MovieControl::EnumAdvise(IEnumSTATDATA** advise) {
    if (!advise) return E_POINTER;
    *advise = nullptr;
    return adviseHolder_ ? adviseHolder_->EnumAdvise(advise) : E_FAIL;
}

STDMETHODIMP MovieControl::GetMiscStatus(DWORD aspect, DWORD* status) {
    return Guarded([&]() -> HRESULT {
        JsonLine line = CallLine("IOleObject::GetMiscStatus");
        line.Key("aspect").UInt(aspect);
        RecordCall(line);
        if (!status) return E_POINTER;
        *status = kMiscStatus;
        return S_OK;
    });
}

STDMETHODIMP MovieControl::SetColorScheme(LOGPALETTE*) { return E_NOTIMPL; }

// --- in-place activation ---

HRESULT MovieControl::ActivateInPlace(bool uiActivate) {
    if (!clientSite_) return E_UNEXPECTED;
    if (!inPlaceSite_) {
        auto site = clientSite_.Query<IOleInPlaceSite>(IID_IOleInPlaceSite);
        if (!site) return E_NOINTERFACE;
        if (site->CanInPlaceActivate() != S_OK) return E_FAIL;
        inPlaceSite_ = site;
        site->OnInPlaceActivate();
    }
    if (!window_.Handle()) {
        HWND parent = nullptr;
        if (FAILED(inPlaceSite_->GetWindow(&parent)) || !parent) return E_FAIL;
        OLEINPLACEFRAMEINFO frameInfo{};
        frameInfo.cb = sizeof frameInfo;
        RECT pos{};
        RECT clip{};
        if (FAILED(inPlaceSite_->GetWindowContext(frame_.Put(), uiWindow_.Put(), &pos, &clip, &frameInfo)))
            return E_FAIL;
        container_ = parent;
        if (!window_.Create(parent, pos, objectNumber_)) return E_FAIL;
        player_.AttachWindow(window_.Handle());
    }
    if (uiActivate) ActivateUi();
    return S_OK;
}

void MovieControl::ActivateUi() {
    if (uiActive_ || !inPlaceSite_) return;
    uiActive_ = true;
    inPlaceSite_->OnUIActivate();
    HWND window = window_.Handle();
    if (window && GetFocus() != window) SetFocus(window);
    IOleInPlaceActiveObject* active = this;
    if (frame_) frame_->SetActiveObject(active, kObjectName);
    if (uiWindow_) uiWindow_->SetActiveObject(active, kObjectName);
}

void MovieControl::DeactivateUi() {
    if (!uiActive_) return;
    uiActive_ = false;
    if (uiWindow_) uiWindow_->SetActiveObject(nullptr, nullptr);
    if (frame_) frame_->SetActiveObject(nullptr, nullptr);
    if (inPlaceSite_) inPlaceSite_->OnUIDeactivate(FALSE);
}

void MovieControl::DeactivateInPlace() {
    DeactivateUi();
    player_.DetachWindow();
    window_.Destroy();
    frame_.Reset();
    uiWindow_.Reset();
    if (ComPtr<IOleInPlaceSite> site = std::move(inPlaceSite_)) site->OnInPlaceDeactivate();
}

// --- IOleWindow ---

STDMETHODIMP MovieControl::GetWindow(HWND* window) {
    return Guarded([&]() -> HRESULT {
        JsonLine line = CallLine("IOleWindow::GetWindow");
        RecordCall(line);
        if (!window) return E_POINTER;
        *window = window_.Handle();
        return *window ? S_OK : E_FAIL;
    });
}

STDMETHODIMP MovieControl::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

// --- IOleInPlaceObject ---

STDMETHODIMP MovieControl::InPlaceDeactivate() {
    return Guarded([&]() -> HRESULT {
        ComPtr<IDispatch> keepAlive(static_cast<IDispatch*>(this));
        JsonLine line = CallLine("IOleInPlaceObject::InPlaceDeactivate");
        RecordCall(line);
        DeactivateInPlace();
        return S_OK;
    });
}

STDMETHODIMP MovieControl::UIDeactivate() {
    return Guarded([&]() -> HRESULT {
        JsonLine line = CallLine("IOleInPlaceObject::UIDeactivate");
        RecordCall(line);
        DeactivateUi();
        return S_OK;
    });
}

STDMETHODIMP MovieControl::SetObjectRects(LPCRECT posRect, LPCRECT clipRect) {
    return Guarded([&]() -> HRESULT {
        if (!posRect) return E_POINTER;
        JsonLine line = CallLine("IOleInPlaceObject::SetObjectRects");
        AddRect(line.Key("args"), *posRect);
        if (clipRect) AddRect(line.Key("clip"), *clipRect);
        if (HWND window = window_.Handle()) {
            MoveWindow(window, posRect->left, posRect->top, posRect->right - posRect->left,
                       posRect->bottom - posRect->top, TRUE);
        }
        RecordCall(line);  // after the move, so "self" shows where the window now is
        return S_OK;
    });
}

STDMETHODIMP MovieControl::ReactivateAndUndo() { return E_NOTIMPL; }

// --- IOleInPlaceActiveObject ---

STDMETHODIMP MovieControl::TranslateAccelerator(LPMSG msg) {
    return Guarded([&]() -> HRESULT {
        if (!msg) return E_INVALIDARG;
        if (auto line = KeyLine("TranslateAccelerator", msg->message, msg->wParam)) WriteLine(*line);
        return S_FALSE;  // not ours: the host dispatches the message as usual
    });
}

STDMETHODIMP MovieControl::OnFrameWindowActivate(BOOL activate) {
    return Guarded([&]() -> HRESULT {
        JsonLine line = CallLine("IOleInPlaceActiveObject::OnFrameWindowActivate");
        line.Key("args").BeginArray().Bool(activate != FALSE).EndArray();
        RecordCall(line);
        return S_OK;
    });
}

STDMETHODIMP MovieControl::OnDocWindowActivate(BOOL activate) {
    return Guarded([&]() -> HRESULT {
        JsonLine line = CallLine("IOleInPlaceActiveObject::OnDocWindowActivate");
        line.Key("args").BeginArray().Bool(activate != FALSE).EndArray();
        RecordCall(line);
        return S_OK;
    });
}

STDMETHODIMP MovieControl::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) { return S_OK; }

STDMETHODIMP MovieControl::EnableModeless(BOOL) { return S_OK; }

}  // namespace standin
