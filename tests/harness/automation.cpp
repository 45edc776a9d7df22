#include "automation.h"

namespace minihost {

void Variant::text(Variant& out, const wchar_t* text) {
  VariantClear(&out.value_);
  out.value_.vt = VT_BSTR;
  out.value_.bstrVal = SysAllocString(text);
}

void Variant::int32(Variant& out, LONG number) {
  VariantClear(&out.value_);
  out.value_.vt = VT_I4;
  out.value_.lVal = number;
}

HRESULT callMethod(IDispatch* target, DISPID member, Variant* const* arguments, UINT count) {
  // IDispatch::Invoke takes its arguments last to first.
  VARIANTARG reversed[4];
  if (count > 4) return E_INVALIDARG;
  for (UINT i = 0; i < count; ++i) reversed[count - 1 - i] = *arguments[i]->get();
  DISPPARAMS params{count ? reversed : nullptr, nullptr, count, 0};
  Variant result;
  return target->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result.get(),
                        nullptr, nullptr);
}

}  // namespace minihost
