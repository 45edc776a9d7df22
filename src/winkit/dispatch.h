#pragma once
// Automation calls by dispatch id, in the role the dialog framework's InvokeHelper plays:
// property puts and method calls with text and integer arguments and a text result.
// A failed call throws DispatchError carrying the HRESULT and the control's error text.
#include <oaidl.h>

#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

namespace winkit {

class DispatchError : public std::runtime_error {
public:
    DispatchError(DISPID dispid, HRESULT hr, std::wstring description);
    HRESULT result() const noexcept { return hr_; }
    DISPID dispid() const noexcept { return dispid_; }
    const std::wstring& description() const noexcept { return description_; }
    // "dispid 152 failed (0x80020009): <description>"
    std::wstring message() const;

private:
    DISPID dispid_;
    HRESULT hr_;
    std::wstring description_;
};

using DispatchArg = std::variant<long, std::wstring>;

// Calls member `dispid` of `target` with `flags` (DISPATCH_METHOD or
// DISPATCH_PROPERTYPUT) and the arguments in their natural order. Returns the result as
// text (empty when the member returns nothing). Throws DispatchError on failure.
std::wstring invoke_helper(IDispatch* target, DISPID dispid, WORD flags, const std::vector<DispatchArg>& args);

}  // namespace winkit
