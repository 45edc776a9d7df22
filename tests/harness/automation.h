#pragma once
// Late-bound calls into the control's automation interface by dispatch id, the way a host
// without a type-library wrapper drives it.

#include <windows.h>
#include <oaidl.h>

namespace minihost {

// Dispatch ids of the movie control's members that minihost uses.
inline constexpr DISPID kDispidLoadMovie = 142;
inline constexpr DISPID kDispidPlay = 112;
inline constexpr DISPID kDispidCallFunction = 198;
inline constexpr DISPID kDispidFSCommand = 150;

// A VARIANT that clears itself (and frees its BSTR) at scope end.
class Variant {
 public:
  Variant() { VariantInit(&value_); }
  ~Variant() { VariantClear(&value_); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;

  static void text(Variant& out, const wchar_t* text);
  static void int32(Variant& out, LONG number);

  VARIANT* get() { return &value_; }

 private:
  VARIANT value_;
};

// Calls a method with its arguments given first to last; the result is dropped.
HRESULT callMethod(IDispatch* target, DISPID member, Variant* const* arguments, UINT count);

}  // namespace minihost
