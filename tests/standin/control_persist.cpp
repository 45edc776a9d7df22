// Persistence: the initial properties a host hands over by property bag or by stream.
#include "movie_control.h"

#include "moviestandin_idl.h"
#include "standin_dispids.h"

#include <string>
#include <vector>

namespace standin {
namespace {

// Names read from a property bag: the initial properties and the player's other usual
// ones, so that the record shows whatever a host's initial set holds.
constexpr const wchar_t* kBagNames[] = {
    L"_cx", L"_cy", L"WMode", L"Quality", L"Quality2", L"Scale", L"AllowNetworking", L"AllowFullScreen",
    L"AllowFullScreenInteractive", L"AllowScriptAccess", L"FlashVars", L"Movie", L"Src", L"Base", L"BGColor",
    L"SAlign", L"Play", L"Loop", L"Menu", L"DeviceFont", L"EmbedMovie", L"SWRemote", L"MovieData",
    L"SeamlessTabbing", L"Profile", L"ProfileAddress", L"ProfilePort", L"IsDependent", L"BrowserZoom"};

struct PropertyName {
    const wchar_t* name;
    DISPID id;
};

constexpr PropertyName kStoredProperties[] = {
    {L"WMode", ZB_DISPID_WMODE},
    {L"Quality", ZB_DISPID_QUALITY},
    {L"Scale", ZB_DISPID_SCALE},
    {L"AllowNetworking", ZB_DISPID_ALLOWNETWORKING},
    {L"AllowFullScreen", ZB_DISPID_ALLOWFULLSCREEN},
    {L"FlashVars", ZB_DISPID_FLASHVARS},
};

// The bag's value as text; nullopt when the bag has none under this name.
NullableText ReadBagText(IPropertyBag* bag, const wchar_t* name, IErrorLog* log) {
    VARIANT value;
    VariantInit(&value);
    HRESULT hr = bag->Read(name, &value, log);
    if (FAILED(hr)) {
        // Some bags want to be told the type.
        VariantInit(&value);
        V_VT(&value) = VT_BSTR;
        hr = bag->Read(name, &value, log);
    }
    if (FAILED(hr)) return std::nullopt;
    VARIANT text;
    VariantInit(&text);
    NullableText result;
    if (SUCCEEDED(VariantChangeType(&text, &value, 0, VT_BSTR))) result = BstrText(V_BSTR(&text));
    VariantClear(&text);
    VariantClear(&value);
    return result;
}

}  // namespace

void MovieControl::ApplyLoadedProperty(const std::wstring& name, const std::wstring& value) {
    for (const PropertyName& p : kStoredProperties) {
        if (_wcsicmp(p.name, name.c_str()) == 0) properties_[p.id] = value;
    }
    if (name == L"_cx") extent_.cx = _wtol(value.c_str());
    if (name == L"_cy") extent_.cy = _wtol(value.c_str());
}

// --- IPersistStreamInit ---

STDMETHODIMP MovieControl::GetClassID(CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = CLSID_MovieStandin;
    return S_OK;
}

STDMETHODIMP MovieControl::IsDirty() { return S_FALSE; }

STDMETHODIMP MovieControl::Load(LPSTREAM stream) {
    return Guarded([&]() -> HRESULT {
        if (!stream) return E_POINTER;
        // The stream's layout is the host's business; the record keeps its bytes.
        constexpr size_t kHexLimit = 4096;
        std::vector<unsigned char> bytes;
        unsigned char chunk[4096];
        ULONG got = 0;
        while (SUCCEEDED(stream->Read(chunk, sizeof chunk, &got)) && got > 0) {
            bytes.insert(bytes.end(), chunk, chunk + got);
            if (bytes.size() > 16 * 1024 * 1024) break;
        }
        std::wstring hex;
        static const wchar_t kHex[] = L"0123456789abcdef";
        for (size_t i = 0; i < bytes.size() && i < kHexLimit; ++i) {
            hex += kHex[bytes[i] >> 4];
            hex += kHex[bytes[i] & 0xF];
        }
        JsonLine line = CallLine("IPersistStreamInit::Load");
        line.Key("bytes").UInt(bytes.size()).Key("hex").Text(hex);
        RecordCall(line);
        return S_OK;
    });
}

STDMETHODIMP MovieControl::Save(LPSTREAM, BOOL) {
    return Guarded([&]() -> HRESULT {
        JsonLine line = CallLine("IPersistStreamInit::Save");
        RecordCall(line);
        return S_OK;  // nothing worth keeping: the next load starts from the host's set
    });
}

STDMETHODIMP MovieControl::GetSizeMax(ULARGE_INTEGER* size) {
    if (!size) return E_POINTER;
    size->QuadPart = 0;
    return S_OK;
}

STDMETHODIMP MovieControl::InitNew() {
    return Guarded([&]() -> HRESULT {
        JsonLine line = CallLine("IPersistStreamInit::InitNew");
        RecordCall(line);
        return S_OK;
    });
}

// --- IPersistPropertyBag ---

STDMETHODIMP PropertyBagPersistence::QueryInterface(REFIID iid, void** out) {
    return control_.QueryInterface(iid, out);
}

STDMETHODIMP_(ULONG) PropertyBagPersistence::AddRef() { return control_.AddRef(); }
STDMETHODIMP_(ULONG) PropertyBagPersistence::Release() { return control_.Release(); }

STDMETHODIMP PropertyBagPersistence::GetClassID(CLSID* clsid) { return control_.GetClassID(clsid); }

STDMETHODIMP PropertyBagPersistence::InitNew() {
    return Guarded([&]() -> HRESULT {
        JsonLine line = CallLine("IPersistPropertyBag::InitNew");
        control_.RecordCall(line);
        return S_OK;
    });
}

STDMETHODIMP PropertyBagPersistence::Load(IPropertyBag* bag, IErrorLog* log) {
    return Guarded([&]() -> HRESULT {
        if (!bag) return E_POINTER;
        JsonLine line = CallLine("IPersistPropertyBag::Load");
        line.Key("props").BeginObject();
        for (const wchar_t* name : kBagNames) {
            const NullableText value = ReadBagText(bag, name, log);
            if (!value) continue;
            line.Key(WideToUtf8(name)).Text(*value);
            control_.ApplyLoadedProperty(name, *value);
        }
        line.EndObject();
        control_.RecordCall(line);
        return S_OK;
    });
}

STDMETHODIMP PropertyBagPersistence::Save(IPropertyBag* bag, BOOL, BOOL) {
    return Guarded([&]() -> HRESULT {
        JsonLine line = CallLine("IPersistPropertyBag::Save");
        control_.RecordCall(line);
        if (!bag) return E_POINTER;
        for (const PropertyName& p : kStoredProperties) {
            const auto it = control_.properties_.find(p.id);
            if (it == control_.properties_.end() || !it->second) continue;
            VARIANT value;
            VariantInit(&value);
            V_BSTR(&value) = MakeBstr(it->second);
            V_VT(&value) = VT_BSTR;
            bag->Write(p.name, &value);
            VariantClear(&value);
        }
        return S_OK;
    });
}

}  // namespace standin
