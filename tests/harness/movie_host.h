#pragma once
// One hosted movie control: creation, in-place activation over the host window's client
// area, the event connection, the movie start, and the teardown in the order OLE asks for.

#include <windows.h>
#include <ocidl.h>
#include <oleidl.h>
#include <wrl/client.h>

#include "control_site.h"
#include "movie_events.h"

namespace minihost {

class MovieHost {
 public:
  explicit MovieHost(HWND window) : window_(window), site_(window) {}
  ~MovieHost() { teardown(); }
  MovieHost(const MovieHost&) = delete;
  MovieHost& operator=(const MovieHost&) = delete;

  // Creates the control and activates it in place. On failure `failedStep` names the call
  // that failed and the result is its HRESULT.
  HRESULT create(const wchar_t*& failedStep);
  HRESULT startMovie(const wchar_t* url);

  void fitToClientArea();
  void focusControl();
  Microsoft::WRL::ComPtr<IOleInPlaceActiveObject> activeObject() const { return site_.activeObject(); }

  // Safe to call more than once; after it the control holds nothing of the host.
  void teardown();

 private:
  HRESULT connectEvents();

  HWND window_;
  ControlSite site_;
  MovieEvents events_;
  Microsoft::WRL::ComPtr<IOleObject> object_;
  Microsoft::WRL::ComPtr<IOleInPlaceObject> inPlace_;
  Microsoft::WRL::ComPtr<IDispatch> automation_;
  Microsoft::WRL::ComPtr<IConnectionPoint> eventSource_;
  DWORD adviseCookie_ = 0;
};

}  // namespace minihost
