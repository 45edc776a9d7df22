#include "winkit/property_bag.h"

#include "winkit/com_object.h"

namespace winkit {
namespace {

class PropertyBag final : public IPropertyBag, public ref_counted {
public:
    explicit PropertyBag(std::vector<std::pair<std::wstring, std::wstring>> values) : values_(std::move(values)) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_IPropertyBag) {
            *out = static_cast<IPropertyBag*>(this);
            AddRef();
            return S_OK;
        }
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return add_ref(); }
    STDMETHODIMP_(ULONG) Release() override { return release(); }

    STDMETHODIMP Read(LPCOLESTR name, VARIANT* value, IErrorLog*) override {
        if (!name || !value) return E_POINTER;
        for (const auto& [key, text] : values_) {
            if (::CompareStringOrdinal(key.c_str(), -1, name, -1, TRUE) != CSTR_EQUAL) continue;
            const VARTYPE wanted = value->vt;
            ::VariantClear(value);
            value->vt = VT_BSTR;
            value->bstrVal = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
            if (!value->bstrVal) {
                value->vt = VT_EMPTY;
                return E_OUTOFMEMORY;
            }
            // The control may ask for the type it stores, such as a number or a flag.
            if (wanted != VT_EMPTY && wanted != VT_BSTR && FAILED(::VariantChangeType(value, value, 0, wanted)))
                return E_FAIL;
            return S_OK;
        }
        return E_INVALIDARG;
    }
    STDMETHODIMP Write(LPCOLESTR, VARIANT*) override { return E_NOTIMPL; }

private:
    std::vector<std::pair<std::wstring, std::wstring>> values_;
};

}  // namespace

com_ptr<IPropertyBag> make_property_bag(std::vector<std::pair<std::wstring, std::wstring>> values) {
    return com_ptr<IPropertyBag>::attach(new PropertyBag(std::move(values)));
}

}  // namespace winkit
