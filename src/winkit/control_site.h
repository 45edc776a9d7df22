#pragma once
// The container side of one hosted ActiveX control: client site, in-place site and frame,
// control site and ambient properties, the initial property set, in-place activation, the
// event sink on the control's default source interface, and orderly teardown.
#include <ocidl.h>
#include <oleidl.h>

#include <memory>

#include "winkit/com_ptr.h"
#include "winkit/control_properties.h"

namespace winkit {

class Window;
class SiteObject;
class EventSink;

class ControlSite {
public:
    // Creates the control `clsid` as child `id` of `parent` at `rect` (pixels), loads its
    // initial properties and activates it in place. Events go to `owner`'s event-sink
    // table. Returns nothing, with the failure in `*failure`, when it cannot be created.
    static std::unique_ptr<ControlSite> Create(Window& owner, HWND parent, UINT id, const CLSID& clsid,
                                               const RECT& rect, const ControlProperties* properties,
                                               HRESULT* failure);
    ~ControlSite();
    ControlSite(const ControlSite&) = delete;
    ControlSite& operator=(const ControlSite&) = delete;

    UINT id() const noexcept { return id_; }
    HWND control_window() const noexcept { return control_hwnd_; }
    IDispatch* dispatch() const noexcept { return dispatch_.get(); }

    // Gives the control a new place; the control moves its own window.
    void SetRect(const RECT& rect);

    // Offers a key message to the in-place active object; true when it took the message.
    bool TranslateAccelerator(MSG* msg);

    // Deactivates, disconnects and closes the control; safe to call more than once.
    void Destroy() noexcept;

private:
    friend class SiteObject;
    ControlSite(Window& owner, HWND parent, UINT id);
    HRESULT Activate(const CLSID& clsid, const RECT& rect, const ControlProperties* properties);
    void ConnectEvents(const CLSID& clsid);

    Window& owner_;
    HWND parent_;
    UINT id_;
    RECT rect_{};
    HWND control_hwnd_ = nullptr;

    com_ptr<SiteObject> site_;
    com_ptr<EventSink> sink_;
    com_ptr<IOleObject> object_;
    com_ptr<IOleInPlaceObject> in_place_;
    com_ptr<IOleInPlaceActiveObject> active_;
    com_ptr<IDispatch> dispatch_;
    com_ptr<IConnectionPoint> connection_;
    DWORD cookie_ = 0;
};

// The control's default source interface: IProvideClassInfo2 first, then the coclass's
// type information. IID_NULL when the control has none.
IID find_default_source_interface(IUnknown* control, const CLSID& clsid);

}  // namespace winkit
