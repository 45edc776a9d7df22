#include "player/Shockwaveflash.h"

namespace {
constexpr DISPID kDispAllowFullScreen = 202;
constexpr DISPID kDispFlashVars = 170;
constexpr DISPID kDispLoadMovie = 142;
constexpr DISPID kDispPlay = 112;
constexpr DISPID kDispGetVariable = 152;
constexpr DISPID kDispCallFunction = 198;
}  // namespace

void CShockwaveflash::SetAllowFullScreen(const std::wstring& value) {
    InvokeHelper(kDispAllowFullScreen, DISPATCH_PROPERTYPUT, {value});
}

void CShockwaveflash::SetFlashVars(const std::wstring& value) {
    InvokeHelper(kDispFlashVars, DISPATCH_PROPERTYPUT, {value});
}

void CShockwaveflash::LoadMovie(long layer, const std::wstring& url) {
    InvokeHelper(kDispLoadMovie, DISPATCH_METHOD, {layer, url});
}

void CShockwaveflash::Play() { InvokeHelper(kDispPlay, DISPATCH_METHOD); }

std::wstring CShockwaveflash::GetVariable(const std::wstring& name) {
    return InvokeHelper(kDispGetVariable, DISPATCH_METHOD, {name});
}

std::wstring CShockwaveflash::CallFunction(const std::wstring& request) {
    return InvokeHelper(kDispCallFunction, DISPATCH_METHOD, {request});
}

std::wstring CShockwaveflash::GetFlashVersion() { return GetVariable(L"$version"); }

std::wstring CShockwaveflash::CallFlashFunction(const std::wstring& request) { return CallFunction(request); }
