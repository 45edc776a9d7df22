#include "movie_host.h"

#include "automation.h"

namespace minihost {

namespace {
// The movie-player control's class.
constexpr CLSID kMovieControl = {0xD27CDB6E, 0xAE6D, 0x11CF, {0x96, 0xB8, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
}  // namespace

HRESULT MovieHost::create(const wchar_t*& failedStep) {
  failedStep = L"CoCreateInstance";
  HRESULT hr = CoCreateInstance(kMovieControl, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&object_));
  if (FAILED(hr)) return hr;

  failedStep = L"IOleObject::SetClientSite";
  hr = object_->SetClientSite(&site_);
  if (FAILED(hr)) return hr;

  // A fresh control with no saved state.
  Microsoft::WRL::ComPtr<IPersistStreamInit> persist;
  if (SUCCEEDED(object_.As(&persist))) {
    failedStep = L"IPersistStreamInit::InitNew";
    hr = persist->InitNew();
    if (FAILED(hr)) return hr;
  }

  failedStep = L"IDispatch";
  hr = object_.As(&automation_);
  if (FAILED(hr)) return hr;
  events_.answerThrough(automation_);

  failedStep = L"the event connection";
  hr = connectEvents();
  if (FAILED(hr)) return hr;

  failedStep = L"IOleObject::DoVerb";
  RECT client{};
  GetClientRect(window_, &client);
  hr = object_->DoVerb(OLEIVERB_UIACTIVATE, nullptr, &site_, 0, window_, &client);
  if (FAILED(hr)) return hr;

  failedStep = L"IOleInPlaceObject";
  return object_.As(&inPlace_);
}

// The event interface is whatever the control names as its default source: the host
// asks the class info for it instead of knowing it beforehand.
HRESULT MovieHost::connectEvents() {
  Microsoft::WRL::ComPtr<IProvideClassInfo2> classInfo;
  HRESULT hr = object_.As(&classInfo);
  if (FAILED(hr)) return hr;
  IID source{};
  hr = classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source);
  if (FAILED(hr)) return hr;
  events_.listenAs(source);

  Microsoft::WRL::ComPtr<IConnectionPointContainer> container;
  hr = object_.As(&container);
  if (FAILED(hr)) return hr;
  hr = container->FindConnectionPoint(source, &eventSource_);
  if (FAILED(hr)) return hr;
  return eventSource_->Advise(static_cast<IDispatch*>(&events_), &adviseCookie_);
}

HRESULT MovieHost::startMovie(const wchar_t* url) {
  if (!automation_) return E_UNEXPECTED;
  Variant layer;
  Variant::int32(layer, 0);
  Variant address;
  Variant::text(address, url);
  Variant* loadArguments[] = {&layer, &address};
  HRESULT hr = callMethod(automation_.Get(), kDispidLoadMovie, loadArguments, 2);
  if (FAILED(hr)) return hr;
  return callMethod(automation_.Get(), kDispidPlay, nullptr, 0);
}

void MovieHost::fitToClientArea() {
  if (!inPlace_) return;
  RECT client{};
  GetClientRect(window_, &client);
  inPlace_->SetObjectRects(&client, &client);
}

void MovieHost::focusControl() {
  HWND control = nullptr;
  if (inPlace_ && SUCCEEDED(inPlace_->GetWindow(&control)) && control) SetFocus(control);
}

void MovieHost::teardown() {
  if (inPlace_) inPlace_->InPlaceDeactivate();
  site_.forgetActiveObject();
  if (eventSource_ && adviseCookie_) eventSource_->Unadvise(adviseCookie_);
  adviseCookie_ = 0;
  eventSource_.Reset();
  events_.answerThrough(nullptr);
  if (object_) {
    object_->Close(OLECLOSE_NOSAVE);
    object_->SetClientSite(nullptr);
  }
  inPlace_.Reset();
  automation_.Reset();
  object_.Reset();
}

}  // namespace minihost
