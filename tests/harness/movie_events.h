#pragma once
// The event sink: the control's default source dispinterface, implemented as a bare
// IDispatch whose interface id is learnt at run time from the control's class info.

#include <windows.h>
#include <oaidl.h>
#include <wrl/client.h>

#include <utility>

namespace minihost {

// A member of MovieHost, never heap-allocated: Release does not delete it.
class MovieEvents final : public IDispatch {
 public:
  MovieEvents() = default;
  MovieEvents(const MovieEvents&) = delete;
  MovieEvents& operator=(const MovieEvents&) = delete;

  // The source interface the control fires through, and the control to answer.
  void listenAs(const IID& sourceInterface) { sourceInterface_ = sourceInterface; }
  void answerThrough(Microsoft::WRL::ComPtr<IDispatch> control) { control_ = std::move(control); }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // IDispatch: only Invoke is used by a connection point.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                          DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                                   VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;

 private:
  void onFSCommand(const wchar_t* command);

  LONG refs_ = 0;
  IID sourceInterface_ = IID_NULL;
  Microsoft::WRL::ComPtr<IDispatch> control_;
};

}  // namespace minihost
