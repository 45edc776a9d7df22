// The automation surface, dispatched by hand so that every call is recorded with exactly
// the arguments the host passed.
#include "movie_control.h"

#include "moviestandin_idl.h"
#include "process_stats.h"
#include "record.h"
#include "standin_config.h"
#include "standin_dispids.h"

#include <iterator>

namespace standin {
namespace {

struct Member {
    DISPID id;
    const wchar_t* name;
    bool property;
};

constexpr Member kMembers[] = {
    {ZB_DISPID_ALLOWFULLSCREEN, L"AllowFullScreen", true},
    {ZB_DISPID_FLASHVARS, L"FlashVars", true},
    {ZB_DISPID_WMODE, L"WMode", true},
    {ZB_DISPID_QUALITY, L"Quality", true},
    {ZB_DISPID_SCALE, L"Scale", true},
    {ZB_DISPID_ALLOWNETWORKING, L"AllowNetworking", true},
    {ZB_DISPID_LOADMOVIE, L"LoadMovie", false},
    {ZB_DISPID_PLAY, L"Play", false},
    {ZB_DISPID_GETVARIABLE, L"GetVariable", false},
    {ZB_DISPID_CALLFUNCTION, L"CallFunction", false},
};

const Member* FindMember(DISPID id) {
    for (const Member& m : kMembers) {
        if (m.id == id) return &m;
    }
    return nullptr;
}

std::string Ascii(const wchar_t* text) {
    std::string out;
    for (; *text; ++text) out += static_cast<char>(*text);
    return out;
}

// The argument at `position` in call order (rgvarg holds them last first).
HRESULT ArgumentVariant(const DISPPARAMS& params, UINT position, const VARIANT*& out, UINT* argError) {
    if (position >= params.cArgs) return DISP_E_BADPARAMCOUNT;
    const UINT index = params.cArgs - 1 - position;
    out = &params.rgvarg[index];
    if (argError) *argError = index;
    return S_OK;
}

HRESULT ArgumentText(const DISPPARAMS& params, UINT position, NullableText& out, UINT* argError) {
    const VARIANT* v = nullptr;
    HRESULT hr = ArgumentVariant(params, position, v, argError);
    if (FAILED(hr)) return hr;
    if (V_VT(v) == VT_BSTR) {
        out = TextFromBstr(V_BSTR(v));
        return S_OK;
    }
    if (V_VT(v) == (VT_BSTR | VT_BYREF)) {
        out = TextFromBstr(*V_BSTRREF(v));
        return S_OK;
    }
    VARIANT converted;
    VariantInit(&converted);
    hr = VariantChangeType(&converted, const_cast<VARIANT*>(v), 0, VT_BSTR);
    if (FAILED(hr)) return DISP_E_TYPEMISMATCH;
    out = TextFromBstr(V_BSTR(&converted));
    VariantClear(&converted);
    return S_OK;
}

HRESULT ArgumentInt(const DISPPARAMS& params, UINT position, LONG& out, UINT* argError) {
    const VARIANT* v = nullptr;
    HRESULT hr = ArgumentVariant(params, position, v, argError);
    if (FAILED(hr)) return hr;
    VARIANT converted;
    VariantInit(&converted);
    hr = VariantChangeType(&converted, const_cast<VARIANT*>(v), 0, VT_I4);
    if (FAILED(hr)) return DISP_E_TYPEMISMATCH;
    out = V_I4(&converted);
    return S_OK;
}

HRESULT ExpectArguments(const DISPPARAMS& params, UINT count) {
    if (params.cNamedArgs != 0) return DISP_E_NONAMEDARGS;
    if (params.cArgs != count) return DISP_E_BADPARAMCOUNT;
    return S_OK;
}

void SetTextResult(VARIANT* result, const NullableText& text) {
    if (!result) return;
    VariantInit(result);
    V_BSTR(result) = MakeBstr(text);
    V_VT(result) = VT_BSTR;
}

// What a member made to fail by the script raises: an automation exception.
HRESULT Failure(const wchar_t* member, EXCEPINFO* exception) {
    if (exception) {
        *exception = EXCEPINFO{};
        exception->bstrSource = MakeBstr(std::wstring_view(L"moviestandin"));
        exception->bstrDescription = MakeBstr(L"stand-in: " + std::wstring(member) + L" failed");
        exception->scode = E_FAIL;
    }
    return DISP_E_EXCEPTION;
}

}  // namespace

STDMETHODIMP MovieControl::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
}

STDMETHODIMP MovieControl::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
    return Guarded([&]() -> HRESULT {
        if (!info) return E_POINTER;
        *info = nullptr;
        if (index != 0) return DISP_E_BADINDEX;
        const HRESULT hr = LoadTypeLibrary();
        if (FAILED(hr)) return hr;
        return typeLib_->GetTypeInfoOfGuid(DIID_DZbMovieStandin, info);
    });
}

STDMETHODIMP MovieControl::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    return Guarded([&]() -> HRESULT {
        if (!names || !ids || count == 0) return E_INVALIDARG;
        JsonLine line = CallLine("IDispatch::GetIDsOfNames");
        line.Key("args").BeginArray();
        for (UINT i = 0; i < count; ++i) line.Text(names[i] ? NullableText(names[i]) : std::nullopt);
        line.EndArray();
        RecordCall(line);
        HRESULT hr = S_OK;
        ids[0] = DISPID_UNKNOWN;
        for (const Member& m : kMembers) {
            if (names[0] && _wcsicmp(names[0], m.name) == 0) ids[0] = m.id;
        }
        if (ids[0] == DISPID_UNKNOWN) hr = DISP_E_UNKNOWNNAME;
        // Our members take no named arguments.
        for (UINT i = 1; i < count; ++i) {
            ids[i] = DISPID_UNKNOWN;
            hr = DISP_E_UNKNOWNNAME;
        }
        return hr;
    });
}

STDMETHODIMP MovieControl::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                  EXCEPINFO* exception, UINT* argError) {
    return Guarded([&]() -> HRESULT {
        // The host may drop its last reference from inside a call that fires an event.
        ComPtr<IDispatch> keepAlive(static_cast<IDispatch*>(this));
        DISPPARAMS none{nullptr, nullptr, 0, 0};
        DISPPARAMS& args = params ? *params : none;
        const Member* member = FindMember(id);
        if (!member) {
            JsonLine line = CallLine("IDispatch::Invoke");
            line.Key("dispid").Int(id).Key("flags").UInt(flags).Key("result").Ascii("DISP_E_MEMBERNOTFOUND");
            RecordCall(line);
            return DISP_E_MEMBERNOTFOUND;
        }
        if (member->property) return InvokeProperty(id, member->name, flags, args, result, argError);
        if (!(flags & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
        switch (id) {
        case ZB_DISPID_LOADMOVIE: return LoadMovie(args, argError);
        case ZB_DISPID_PLAY: return Play(args, exception);
        case ZB_DISPID_GETVARIABLE: return GetVariable(args, result, exception, argError);
        case ZB_DISPID_CALLFUNCTION: return CallFunction(args, result, exception, argError);
        default: return DISP_E_MEMBERNOTFOUND;
        }
    });
}

HRESULT MovieControl::InvokeProperty(DISPID id, const wchar_t* name, WORD flags, DISPPARAMS& params,
                                     VARIANT* result, UINT* argError) {
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        if (params.cArgs != 1 || params.cNamedArgs != 1 || params.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
            return DISP_E_BADPARAMCOUNT;
        NullableText value;
        const HRESULT hr = ArgumentText(params, 0, value, argError);
        if (FAILED(hr)) return hr;
        JsonLine line = CallLine(("put_" + Ascii(name)).c_str());
        line.Key("args").BeginArray().Text(value).EndArray();
        RecordCall(line);
        properties_[id] = value;
        return S_OK;
    }
    if (!(flags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
    const HRESULT hr = ExpectArguments(params, 0);
    if (FAILED(hr)) return hr;
    const auto it = properties_.find(id);
    const NullableText value = it == properties_.end() ? NullableText() : it->second;
    JsonLine line = CallLine(("get_" + Ascii(name)).c_str());
    line.Key("args").BeginArray().EndArray().Key("result").Text(value);
    RecordCall(line);
    SetTextResult(result, value);
    return S_OK;
}

HRESULT MovieControl::LoadMovie(DISPPARAMS& params, UINT* argError) {
    HRESULT hr = ExpectArguments(params, 2);
    if (FAILED(hr)) return hr;
    LONG layer = 0;
    NullableText url;
    if (FAILED(hr = ArgumentInt(params, 0, layer, argError))) return hr;
    if (FAILED(hr = ArgumentText(params, 1, url, argError))) return hr;
    JsonLine line = CallLine("LoadMovie");
    line.Key("args").BeginArray().Int(layer).Text(url).EndArray();
    RecordCall(line);
    window_.SetStatus(L"LoadMovie " + url.value_or(L"(null)"));
    StartScript();
    return S_OK;
}

void MovieControl::StartScript() {
    MovieScript script;
    const std::wstring path = ScriptPath();
    if (path.empty()) {
        ScriptNote(L"no script");
    } else if (auto content = ReadWholeFile(path)) {
        std::string_view utf8(*content);
        if (utf8.substr(0, 3) == "\xEF\xBB\xBF") utf8.remove_prefix(3);
        script = ParseMovieScript(Utf8ToWide(utf8));
        for (const std::wstring& note : script.notes) ScriptNote(note);
        ScriptNote(L"loaded " + path + L": " + std::to_wstring(script.steps.size()) + L" steps");
    } else {
        ScriptNote(L"cannot read " + path);
    }
    StatsStep();
    std::vector<ScriptStep> steps = std::move(script.steps);
    script_ = std::move(script);
    player_.Start(std::move(steps));
}

HRESULT MovieControl::Play(DISPPARAMS& params, EXCEPINFO* exception) {
    const HRESULT hr = ExpectArguments(params, 0);
    if (FAILED(hr)) return hr;
    const bool fails = script_.failing.count(L"Play") != 0;
    JsonLine line = CallLine("Play");
    line.Key("args").BeginArray().EndArray();
    if (fails) line.Key("failed").Bool(true);
    RecordCall(line);
    return fails ? Failure(L"Play", exception) : S_OK;
}

HRESULT MovieControl::GetVariable(DISPPARAMS& params, VARIANT* result, EXCEPINFO* exception, UINT* argError) {
    HRESULT hr = ExpectArguments(params, 1);
    if (FAILED(hr)) return hr;
    NullableText name;
    if (FAILED(hr = ArgumentText(params, 0, name, argError))) return hr;
    const bool fails = script_.failing.count(L"GetVariable") != 0;
    NullableText value;
    if (name) {
        const auto it = script_.variables.find(*name);
        if (it != script_.variables.end()) value = it->second;
    }
    JsonLine line = CallLine("GetVariable");
    line.Key("args").BeginArray().Text(name).EndArray();
    if (fails) {
        line.Key("failed").Bool(true);
    } else {
        line.Key("result").Text(value);
    }
    RecordCall(line);
    if (fails) return Failure(L"GetVariable", exception);
    SetTextResult(result, value);
    return S_OK;
}

HRESULT MovieControl::CallFunction(DISPPARAMS& params, VARIANT* result, EXCEPINFO* exception, UINT* argError) {
    HRESULT hr = ExpectArguments(params, 1);
    if (FAILED(hr)) return hr;
    NullableText request;
    if (FAILED(hr = ArgumentText(params, 0, request, argError))) return hr;
    const bool fails = script_.failing.count(L"CallFunction") != 0;
    JsonLine line = CallLine("CallFunction");
    line.Key("args").BeginArray().Text(request).EndArray();
    if (fails) line.Key("failed").Bool(true);
    RecordCall(line);
    window_.SetStatus(L"CallFunction " + request.value_or(L"(null)"));
    if (fails) return Failure(L"CallFunction", exception);
    // What the player answers for a function that returns nothing.
    SetTextResult(result, std::wstring(L"<undefined/>"));
    return S_OK;
}

}  // namespace standin
