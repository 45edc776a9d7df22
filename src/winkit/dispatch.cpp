#include "winkit/dispatch.h"

#include <cstdio>

#include "winkit/handles.h"

namespace winkit {

DispatchError::DispatchError(DISPID dispid, HRESULT hr, std::wstring description)
    : std::runtime_error("automation call failed"), dispid_(dispid), hr_(hr), description_(std::move(description)) {}

std::wstring DispatchError::message() const {
    wchar_t head[64];
    std::swprintf(head, 64, L"dispid %ld failed (0x%08lX)", static_cast<long>(dispid_), static_cast<unsigned long>(hr_));
    std::wstring text = head;
    if (!description_.empty()) text += L": " + description_;
    return text;
}

namespace {

// VARIANTs that clear themselves.
struct variant_holder {
    VARIANT v;
    variant_holder() noexcept { ::VariantInit(&v); }
    ~variant_holder() { ::VariantClear(&v); }
    variant_holder(const variant_holder&) = delete;
    variant_holder& operator=(const variant_holder&) = delete;
};

struct excepinfo_holder {
    EXCEPINFO info{};
    ~excepinfo_holder() {
        ::SysFreeString(info.bstrSource);
        ::SysFreeString(info.bstrDescription);
        ::SysFreeString(info.bstrHelpFile);
    }
};

std::wstring bstr_text(BSTR s) { return s ? std::wstring(s, ::SysStringLen(s)) : std::wstring(); }

}  // namespace

std::wstring invoke_helper(IDispatch* target, DISPID dispid, WORD flags, const std::vector<DispatchArg>& args) {
    if (!target) throw DispatchError(dispid, E_POINTER, L"no control");

    // Arguments go to IDispatch::Invoke in reverse order.
    std::vector<variant_holder> slots(args.size());
    for (size_t i = 0; i < args.size(); ++i) {
        VARIANT& v = slots[args.size() - 1 - i].v;
        if (const long* n = std::get_if<long>(&args[i])) {
            v.vt = VT_I4;
            v.lVal = *n;
        } else {
            const std::wstring& s = std::get<std::wstring>(args[i]);
            v.vt = VT_BSTR;
            v.bstrVal = ::SysAllocStringLen(s.data(), static_cast<UINT>(s.size()));
            if (!v.bstrVal) throw DispatchError(dispid, E_OUTOFMEMORY, L"out of memory");
        }
    }
    std::vector<VARIANT> raw;
    raw.reserve(slots.size());
    for (auto& s : slots) raw.push_back(s.v);

    DISPID named_put = DISPID_PROPERTYPUT;
    DISPPARAMS params{};
    params.cArgs = static_cast<UINT>(raw.size());
    params.rgvarg = raw.empty() ? nullptr : raw.data();
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        params.cNamedArgs = 1;
        params.rgdispidNamedArgs = &named_put;
    }

    variant_holder result;
    excepinfo_holder error;
    UINT bad_arg = 0;
    const HRESULT hr = target->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                                      (flags & DISPATCH_METHOD) ? &result.v : nullptr, &error.info, &bad_arg);
    if (FAILED(hr)) {
        if (hr == DISP_E_EXCEPTION && error.info.pfnDeferredFillIn) error.info.pfnDeferredFillIn(&error.info);
        HRESULT reported = hr;
        if (hr == DISP_E_EXCEPTION && FAILED(error.info.scode)) reported = error.info.scode;
        throw DispatchError(dispid, reported, bstr_text(error.info.bstrDescription));
    }
    if (result.v.vt == VT_EMPTY || result.v.vt == VT_NULL) return {};
    if (result.v.vt != VT_BSTR && FAILED(::VariantChangeType(&result.v, &result.v, 0, VT_BSTR))) return {};
    return bstr_text(result.v.bstrVal);
}

}  // namespace winkit
