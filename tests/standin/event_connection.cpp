#include "event_connection.h"

#include "moviestandin_idl.h"
#include "standin_dispids.h"

namespace standin {

STDMETHODIMP EventConnectionPoint::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IConnectionPoint) {
        *out = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP EventConnectionPoint::GetConnectionInterface(IID* iid) {
    if (!iid) return E_POINTER;
    *iid = DIID_DZbMovieStandinEvents;
    return S_OK;
}

STDMETHODIMP EventConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** out) {
    if (!out) return E_POINTER;
    *out = &container_;
    container_.AddRef();
    return S_OK;
}

STDMETHODIMP EventConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
    return Guarded([&]() -> HRESULT {
        if (cookie) *cookie = 0;
        if (!sink || !cookie) return E_POINTER;
        // A sink that knows the event interface by its id answers it; a plain IDispatch
        // sink (one that dispatches by DISPID only) is accepted as well.
        const char* via = "events";
        ComPtr<IDispatch> dispatch;
        sink->QueryInterface(DIID_DZbMovieStandinEvents, dispatch.PutVoid());
        if (!dispatch) {
            via = "IDispatch";
            sink->QueryInterface(IID_IDispatch, dispatch.PutVoid());
        }
        JsonLine line = CallLine("IConnectionPoint::Advise");
        if (!dispatch) {
            line.Key("result").Ascii("CONNECT_E_CANNOTCONNECT");
            recorder_.RecordCall(line);
            return CONNECT_E_CANNOTCONNECT;
        }
        sinks_.push_back(Sink{++lastCookie_, dispatch});
        *cookie = lastCookie_;
        line.Key("via").Ascii(via).Key("cookie").UInt(lastCookie_);
        recorder_.RecordCall(line);
        return S_OK;
    });
}

STDMETHODIMP EventConnectionPoint::Unadvise(DWORD cookie) {
    return Guarded([&]() -> HRESULT {
        JsonLine line = CallLine("IConnectionPoint::Unadvise");
        line.Key("args").BeginArray().UInt(cookie).EndArray();
        recorder_.RecordCall(line);
        for (auto it = sinks_.begin(); it != sinks_.end(); ++it) {
            if (it->cookie == cookie) {
                sinks_.erase(it);
                return S_OK;
            }
        }
        return CONNECT_E_NOCONNECTION;
    });
}

STDMETHODIMP EventConnectionPoint::EnumConnections(IEnumConnections** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

void EventConnectionPoint::FireFsCommand(BSTR command, BSTR args, std::uint32_t times) {
    // A copy, so that a sink may unadvise (or the host advise another) from its handler.
    const std::vector<Sink> sinks = sinks_;
    if (sinks.empty()) return;
    VARIANTARG arguments[2];
    // Arguments go in reverse order: the last parameter first.
    VariantInit(&arguments[0]);
    V_VT(&arguments[0]) = VT_BSTR;
    V_BSTR(&arguments[0]) = args;
    VariantInit(&arguments[1]);
    V_VT(&arguments[1]) = VT_BSTR;
    V_BSTR(&arguments[1]) = command;
    DISPPARAMS params{arguments, nullptr, 2, 0};
    for (std::uint32_t i = 0; i < times; ++i) {
        for (const Sink& sink : sinks) {
            sink.dispatch->Invoke(ZB_DISPID_FSCOMMAND, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                                  nullptr, nullptr, nullptr);
        }
    }
}

}  // namespace standin
