#include "movie_events.h"

#include <cwchar>

#include "automation.h"

namespace minihost {

namespace {
constexpr wchar_t kHelloRequest[] =
    L"<invoke name=\"Hello\" returntype=\"xml\"><arguments><string>minihost</string></arguments></invoke>";
}  // namespace

HRESULT STDMETHODCALLTYPE MovieEvents::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (iid != IID_IUnknown && iid != IID_IDispatch && iid != sourceInterface_) return E_NOINTERFACE;
  *out = static_cast<IDispatch*>(this);
  AddRef();
  return S_OK;
}

ULONG STDMETHODCALLTYPE MovieEvents::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
ULONG STDMETHODCALLTYPE MovieEvents::Release() { return static_cast<ULONG>(InterlockedDecrement(&refs_)); }

HRESULT STDMETHODCALLTYPE MovieEvents::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}
HRESULT STDMETHODCALLTYPE MovieEvents::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  if (info) *info = nullptr;
  return E_NOTIMPL;
}
HRESULT STDMETHODCALLTYPE MovieEvents::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
  return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE MovieEvents::Invoke(DISPID member, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                              EXCEPINFO*, UINT*) {
  // FSCommand(command, args): the arguments arrive last to first.
  if (member != kDispidFSCommand || !params || params->cArgs != 2) return S_OK;
  const VARIANTARG& command = params->rgvarg[1];
  if (command.vt == VT_BSTR && command.bstrVal) onFSCommand(command.bstrVal);
  return S_OK;
}

void MovieEvents::onFSCommand(const wchar_t* command) {
  if (!control_ || std::wcscmp(command, L"SwfInitialzed") != 0) return;
  Variant request;
  Variant::text(request, kHelloRequest);
  Variant* arguments[] = {&request};
  // What the movie answers, or a failure, changes nothing for this host.
  callMethod(control_.Get(), kDispidCallFunction, arguments, 1);
}

}  // namespace minihost
