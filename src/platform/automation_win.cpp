#include "platform/automation_win.h"

#include "platform/codepage_win.h"

namespace tidemoor {

ScopedVariant::ScopedVariant(std::string_view utf8) : ScopedVariant() {
  const std::wstring wide = Widen(utf8);
  value_.vt = VT_BSTR;
  value_.bstrVal = ::SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

std::string ScopedVariant::Text() {
  if (value_.vt == VT_EMPTY || value_.vt == VT_NULL) return {};
  if (value_.vt != VT_BSTR && FAILED(::VariantChangeType(&value_, &value_, 0, VT_BSTR))) {
    return {};
  }
  return value_.bstrVal ? Narrow({value_.bstrVal, ::SysStringLen(value_.bstrVal)}) : "";
}

Dispatch Dispatch::Create(const wchar_t* progId) {
  CLSID id{};
  if (FAILED(::CLSIDFromProgID(progId, &id))) return Dispatch();
  IDispatch* object = nullptr;
  if (FAILED(::CoCreateInstance(id, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                IID_IDispatch, reinterpret_cast<void**>(&object)))) {
    return Dispatch();
  }
  return Dispatch(object);
}

}  // namespace tidemoor
