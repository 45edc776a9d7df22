// The control's identity, lifetime and its smaller interfaces: IOleControl, IViewObject2,
// IProvideClassInfo2, IConnectionPointContainer, and what the script does to the host.
#include "movie_control.h"

#include "module.h"
#include "moviestandin_idl.h"
#include "process_stats.h"
#include "record.h"
#include "standin_config.h"
#include "window_facts.h"

#include <atomic>

namespace standin {
namespace {

std::atomic<int> g_objectsCreated{0};

std::wstring GuidText(REFGUID guid) {
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

}  // namespace

MovieControl::MovieControl()
    : objectNumber_(++g_objectsCreated), events_(*this, *this), bag_(*this), player_(*this), window_(*this) {
    LockModule();
}

MovieControl::~MovieControl() {
    player_.DetachWindow();
    window_.Destroy();
    UnlockModule();
}

HRESULT MovieControl::Create(REFIID iid, void** out) {
    return Guarded([&]() -> HRESULT {
        *out = nullptr;
        Record::Instance().UsePath(RecordPath());
        auto* control = new MovieControl();
        JsonLine line = CallLine("IClassFactory::CreateInstance");
        control->RecordCall(line);
        const HRESULT hr = control->QueryInterface(iid, out);
        control->Release();
        return hr;
    });
}

STDMETHODIMP MovieControl::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == DIID_DZbMovieStandin) {
        *out = static_cast<IDispatch*>(this);
    } else if (iid == IID_IOleObject) {
        *out = static_cast<IOleObject*>(this);
    } else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceObject) {
        *out = static_cast<IOleInPlaceObject*>(this);
    } else if (iid == IID_IOleInPlaceActiveObject) {
        *out = static_cast<IOleInPlaceActiveObject*>(this);
    } else if (iid == IID_IOleControl) {
        *out = static_cast<IOleControl*>(this);
    } else if (iid == IID_IViewObject || iid == IID_IViewObject2) {
        *out = static_cast<IViewObject2*>(this);
    } else if (iid == IID_IPersist || iid == IID_IPersistStreamInit) {
        *out = static_cast<IPersistStreamInit*>(this);
    } else if (iid == IID_IPersistPropertyBag) {
        *out = static_cast<IPersistPropertyBag*>(&bag_);
    } else if (iid == IID_IProvideClassInfo || iid == IID_IProvideClassInfo2) {
        *out = static_cast<IProvideClassInfo2*>(this);
    } else if (iid == IID_IConnectionPointContainer) {
        *out = static_cast<IConnectionPointContainer*>(this);
    } else {
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) MovieControl::AddRef() { return ++refs_; }

STDMETHODIMP_(ULONG) MovieControl::Release() {
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
}

void MovieControl::WriteLine(JsonLine& line) {
    line.Key("obj").Int(objectNumber_);
    Record::Instance().Write(line);
}

void MovieControl::RecordCall(JsonLine& line) {
    if (!Record::Instance().Enabled()) return;
    line.Key("obj").Int(objectNumber_);
    AddWindowFacts(line, window_.Handle(), ContainerWindow());
    Record::Instance().Write(line);
}

void MovieControl::ScriptNote(const std::wstring& note) {
    JsonLine line("script");
    line.Key("note").Text(note);
    WriteLine(line);
}

// The window that holds (or will hold) the control window: known once in-place active;
// before that the site is asked, so that a call made before activation still tells
// which top-level window it came from.
HWND MovieControl::ContainerWindow() {
    if (HWND own = window_.Handle()) return GetParent(own);
    if (container_ && IsWindow(container_)) return container_;
    container_ = nullptr;
    if (auto site = clientSite_.Query<IOleInPlaceSite>(IID_IOleInPlaceSite)) {
        HWND window = nullptr;
        if (SUCCEEDED(site->GetWindow(&window))) container_ = window;
    }
    return container_;
}

HRESULT MovieControl::LoadTypeLibrary() {
    if (typeLib_) return S_OK;
    wchar_t path[MAX_PATH] = {};
    if (!GetModuleFileNameW(ThisModule(), path, MAX_PATH)) return HRESULT_FROM_WIN32(GetLastError());
    return LoadTypeLibEx(path, REGKIND_NONE, typeLib_.Put());
}

// --- the script's actions ---

void MovieControl::OnWindowTimer(UINT_PTR id) {
    if (id != ScriptPlayer::kTimerId) return;
    // The host may release the control from an FSCommand handler.
    ComPtr<IDispatch> keepAlive(static_cast<IDispatch*>(this));
    player_.OnTimer();
}

void MovieControl::OnWindowFocus() {
    ComPtr<IDispatch> keepAlive(static_cast<IDispatch*>(this));
    if (inPlaceSite_ && !uiActive_) ActivateUi();
}

void MovieControl::OnWindowDestroyed() { player_.DetachWindow(); }

void MovieControl::FireStep(const ScriptStep& step) {
    UniqueBstr command(MakeBstr(step.command));
    UniqueBstr args(MakeBstr(step.args));
    const bool frozen = freezeCount_ > 0;
    JsonLine line("fire");
    line.Key("name").Ascii("FSCommand");
    line.Key("args").BeginArray().Text(step.command).Text(step.args).EndArray();
    if (step.burst) line.Key("count").UInt(step.count);
    line.Key("sinks").UInt(events_.SinkCount());
    // A host that froze events gets none, as from the real control.
    if (frozen) line.Key("frozen").Bool(true);
    WriteLine(line);
    window_.SetStatus(L"FSCommand " + step.command.value_or(L"(null)") + L" " + step.args.value_or(L"(null)"));
    if (!frozen) events_.FireFsCommand(command.Get(), args.Get(), step.count);
}

void MovieControl::StatsStep() {
    JsonLine line = StatsLine();
    WriteLine(line);
}

void MovieControl::CloseStep() {
    HWND top = window_.Handle() ? GetAncestor(window_.Handle(), GA_ROOT) : nullptr;
    ScriptNote(top ? L"close" : L"close: no window");
    if (top) PostMessageW(top, WM_CLOSE, 0, 0);
}

// --- IOleControl ---

STDMETHODIMP MovieControl::GetControlInfo(CONTROLINFO* info) {
    return Guarded([&]() -> HRESULT {
        JsonLine line = CallLine("IOleControl::GetControlInfo");
        RecordCall(line);
        if (!info) return E_POINTER;
        info->hAccel = nullptr;
        info->cAccel = 0;
        info->dwFlags = 0;
        return S_OK;
    });
}

STDMETHODIMP MovieControl::OnMnemonic(MSG* msg) {
    return Guarded([&]() -> HRESULT {
        JsonLine line = CallLine("IOleControl::OnMnemonic");
        if (msg) line.Key("args").BeginArray().UInt(msg->message).UInt(msg->wParam).EndArray();
        RecordCall(line);
        return S_OK;
    });
}

STDMETHODIMP MovieControl::OnAmbientPropertyChange(DISPID id) {
    return Guarded([&]() -> HRESULT {
        JsonLine line = CallLine("IOleControl::OnAmbientPropertyChange");
        line.Key("args").BeginArray().Int(id).EndArray();
        RecordCall(line);
        return S_OK;
    });
}

STDMETHODIMP MovieControl::FreezeEvents(BOOL freeze) {
    return Guarded([&]() -> HRESULT {
        freezeCount_ += freeze ? 1 : (freezeCount_ > 0 ? -1 : 0);
        JsonLine line = CallLine("IOleControl::FreezeEvents");
        line.Key("args").BeginArray().Bool(freeze != FALSE).EndArray();
        RecordCall(line);
        return S_OK;
    });
}

// --- IViewObject2: enough for a host that draws the control itself ---

STDMETHODIMP MovieControl::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC drawDc, LPCRECTL bounds,
                                LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) {
    return Guarded([&]() -> HRESULT {
        JsonLine line = CallLine("IViewObject::Draw");
        line.Key("aspect").UInt(aspect);
        RecordCall(line);
        if (!drawDc || !bounds) return E_INVALIDARG;
        RECT rect{bounds->left, bounds->top, bounds->right, bounds->bottom};
        HBRUSH background = CreateSolidBrush(kStandinBackground);
        FillRect(drawDc, &rect, background);
        DeleteObject(background);
        return S_OK;
    });
}

STDMETHODIMP MovieControl::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** colours) {
    if (colours) *colours = nullptr;
    return S_FALSE;
}

STDMETHODIMP MovieControl::Freeze(DWORD, LONG, void*, DWORD* freeze) {
    if (freeze) *freeze = 0;
    return E_NOTIMPL;
}

STDMETHODIMP MovieControl::Unfreeze(DWORD) { return E_NOTIMPL; }

STDMETHODIMP MovieControl::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
    return Guarded([&]() -> HRESULT {
        JsonLine line = CallLine("IViewObject::SetAdvise");
        line.Key("args").BeginArray().UInt(aspects).UInt(flags).Bool(sink != nullptr).EndArray();
        RecordCall(line);
        viewSink_ = sink;
        viewAspects_ = aspects;
        viewAdviseFlags_ = flags;
        return S_OK;
    });
}

STDMETHODIMP MovieControl::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
    if (aspects) *aspects = viewAspects_;
    if (flags) *flags = viewAdviseFlags_;
    if (sink) {
        *sink = viewSink_.Get();
        if (*sink) (*sink)->AddRef();
    }
    return S_OK;
}

STDMETHODIMP MovieControl::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) {
    if (!size) return E_POINTER;
    if (aspect != DVASPECT_CONTENT) return E_FAIL;
    *size = extent_;
    return S_OK;
}

// --- IProvideClassInfo2 ---

STDMETHODIMP MovieControl::GetClassInfo(ITypeInfo** info) {
    return Guarded([&]() -> HRESULT {
        if (!info) return E_POINTER;
        *info = nullptr;
        JsonLine line = CallLine("IProvideClassInfo::GetClassInfo");
        RecordCall(line);
        const HRESULT hr = LoadTypeLibrary();
        if (FAILED(hr)) return hr;
        return typeLib_->GetTypeInfoOfGuid(CLSID_MovieStandin, info);
    });
}

STDMETHODIMP MovieControl::GetGUID(DWORD kind, GUID* guid) {
    return Guarded([&]() -> HRESULT {
        JsonLine line = CallLine("IProvideClassInfo2::GetGUID");
        line.Key("args").BeginArray().UInt(kind).EndArray();
        RecordCall(line);
        if (!guid) return E_POINTER;
        if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) return E_INVALIDARG;
        *guid = DIID_DZbMovieStandinEvents;
        return S_OK;
    });
}

// --- IConnectionPointContainer ---

STDMETHODIMP MovieControl::EnumConnectionPoints(IEnumConnectionPoints** points) {
    if (points) *points = nullptr;
    return Guarded([&]() -> HRESULT {
        JsonLine line = CallLine("IConnectionPointContainer::EnumConnectionPoints");
        RecordCall(line);
        return E_NOTIMPL;
    });
}

STDMETHODIMP MovieControl::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
    return Guarded([&]() -> HRESULT {
        JsonLine line = CallLine("IConnectionPointContainer::FindConnectionPoint");
        line.Key("args").BeginArray().Text(GuidText(iid)).EndArray();
        RecordCall(line);
        if (!point) return E_POINTER;
        *point = nullptr;
        if (iid != DIID_DZbMovieStandinEvents) return CONNECT_E_NOCONNECTION;
        *point = &events_;
        events_.AddRef();
        return S_OK;
    });
}

}  // namespace standin
