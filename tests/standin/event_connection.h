// The control's one connection point, for its event interface. A sink is kept as the
// IDispatch through which FSCommand is fired.
#pragma once

#include "call_recorder.h"
#include "com_util.h"

#include <ocidl.h>
#include <olectl.h>

#include <cstdint>
#include <vector>

namespace standin {

class EventConnectionPoint final : public IConnectionPoint {
public:
    // The connection point lives inside the control and shares its reference count.
    EventConnectionPoint(IConnectionPointContainer& container, CallRecorder& recorder)
        : container_(container), recorder_(recorder) {}
    EventConnectionPoint(const EventConnectionPoint&) = delete;
    EventConnectionPoint& operator=(const EventConnectionPoint&) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return container_.AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return container_.Release(); }

    STDMETHODIMP GetConnectionInterface(IID* iid) override;
    STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** out) override;
    STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
    STDMETHODIMP Unadvise(DWORD cookie) override;
    STDMETHODIMP EnumConnections(IEnumConnections** out) override;

    size_t SinkCount() const { return sinks_.size(); }
    // FSCommand(command, args) through every sink, `times` times over.
    void FireFsCommand(BSTR command, BSTR args, std::uint32_t times);
    void DisconnectAll() { sinks_.clear(); }

private:
    struct Sink {
        DWORD cookie;
        ComPtr<IDispatch> dispatch;
    };

    IConnectionPointContainer& container_;
    CallRecorder& recorder_;
    std::vector<Sink> sinks_;
    DWORD lastCookie_ = 0;
};

}  // namespace standin
