#include "control_site.h"

namespace minihost {

HRESULT STDMETHODCALLTYPE ControlSite::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (iid == IID_IUnknown || iid == IID_IOleClientSite) {
    *out = static_cast<IOleClientSite*>(this);
  } else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite) {
    *out = static_cast<IOleInPlaceSite*>(this);
  } else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame) {
    *out = static_cast<IOleInPlaceFrame*>(this);
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG STDMETHODCALLTYPE ControlSite::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
ULONG STDMETHODCALLTYPE ControlSite::Release() { return static_cast<ULONG>(InterlockedDecrement(&refs_)); }

// A control with nothing to save and no document around it: the client site only has to
// exist and say yes to showing.
HRESULT STDMETHODCALLTYPE ControlSite::SaveObject() { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE ControlSite::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
  if (moniker) *moniker = nullptr;
  return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE ControlSite::GetContainer(IOleContainer** container) {
  if (container) *container = nullptr;
  return E_NOINTERFACE;
}
HRESULT STDMETHODCALLTYPE ControlSite::ShowObject() { return S_OK; }
HRESULT STDMETHODCALLTYPE ControlSite::OnShowWindow(BOOL) { return S_OK; }
HRESULT STDMETHODCALLTYPE ControlSite::RequestNewObjectLayout() { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE ControlSite::GetWindow(HWND* window) {
  if (!window) return E_POINTER;
  *window = window_;
  return S_OK;
}
HRESULT STDMETHODCALLTYPE ControlSite::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE ControlSite::CanInPlaceActivate() { return S_OK; }
HRESULT STDMETHODCALLTYPE ControlSite::OnInPlaceActivate() { return S_OK; }
HRESULT STDMETHODCALLTYPE ControlSite::OnUIActivate() { return S_OK; }

// The control always takes the whole client area, so its position and its clip rectangle
// are both the client rectangle; the frame is this object and there is no document window.
HRESULT STDMETHODCALLTYPE ControlSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                                        LPRECT position, LPRECT clip,
                                                        LPOLEINPLACEFRAMEINFO frameInfo) {
  if (!frame || !document || !position || !clip || !frameInfo) return E_POINTER;
  *frame = static_cast<IOleInPlaceFrame*>(this);
  AddRef();
  *document = nullptr;
  GetClientRect(window_, position);
  *clip = *position;
  frameInfo->fMDIApp = FALSE;
  frameInfo->hwndFrame = window_;
  frameInfo->haccel = nullptr;
  frameInfo->cAccelEntries = 0;
  return S_OK;
}

HRESULT STDMETHODCALLTYPE ControlSite::Scroll(SIZE) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE ControlSite::OnUIDeactivate(BOOL) { return S_OK; }
HRESULT STDMETHODCALLTYPE ControlSite::OnInPlaceDeactivate() { return S_OK; }
HRESULT STDMETHODCALLTYPE ControlSite::DiscardUndoState() { return S_OK; }
HRESULT STDMETHODCALLTYPE ControlSite::DeactivateAndUndo() { return E_NOTIMPL; }
// The host decides the control's place (the client area); a request to move is not granted.
HRESULT STDMETHODCALLTYPE ControlSite::OnPosRectChange(LPCRECT) { return S_OK; }

// No toolbars: the frame has no border space to lend.
HRESULT STDMETHODCALLTYPE ControlSite::GetBorder(LPRECT) { return INPLACE_E_NOTOOLSPACE; }
HRESULT STDMETHODCALLTYPE ControlSite::RequestBorderSpace(LPCBORDERWIDTHS) { return INPLACE_E_NOTOOLSPACE; }
HRESULT STDMETHODCALLTYPE ControlSite::SetBorderSpace(LPCBORDERWIDTHS widths) {
  return widths ? INPLACE_E_NOTOOLSPACE : S_OK;
}
HRESULT STDMETHODCALLTYPE ControlSite::SetActiveObject(IOleInPlaceActiveObject* active, LPCOLESTR) {
  activeObject_ = active;
  return S_OK;
}

// No menu bar to merge into.
HRESULT STDMETHODCALLTYPE ControlSite::InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE ControlSite::SetMenu(HMENU, HOLEMENU, HWND) { return S_OK; }
HRESULT STDMETHODCALLTYPE ControlSite::RemoveMenus(HMENU) { return E_NOTIMPL; }
HRESULT STDMETHODCALLTYPE ControlSite::SetStatusText(LPCOLESTR) { return S_OK; }
HRESULT STDMETHODCALLTYPE ControlSite::EnableModeless(BOOL) { return S_OK; }
HRESULT STDMETHODCALLTYPE ControlSite::TranslateAccelerator(LPMSG, WORD) { return S_FALSE; }

}  // namespace minihost
