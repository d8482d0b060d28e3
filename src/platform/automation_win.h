#pragma once
// Automation (COM) objects through IDispatch: the library for the calling thread, variants and
// objects owned by RAII, calls by member name.

#include <windows.h>
#include <oleauto.h>

#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tidemoor {

// COM for the calling thread for as long as the scope lives. A thread already in another
// apartment keeps it, and is not uninitialised here.
class ComScope {
 public:
  ComScope() : initialized_(SUCCEEDED(::CoInitialize(nullptr))) {}
  ~ComScope() {
    if (initialized_) ::CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;

  bool Initialized() const { return initialized_; }

 private:
  bool initialized_;
};

class ScopedVariant {
 public:
  ScopedVariant() { ::VariantInit(&value_); }
  explicit ScopedVariant(std::string_view utf8);
  explicit ScopedVariant(bool flag) : ScopedVariant() {
    value_.vt = VT_BOOL;
    value_.boolVal = flag ? VARIANT_TRUE : VARIANT_FALSE;
  }
  explicit ScopedVariant(long number) : ScopedVariant() {
    value_.vt = VT_I4;
    value_.lVal = number;
  }
  ~ScopedVariant() { ::VariantClear(&value_); }
  ScopedVariant(const ScopedVariant&) = delete;
  ScopedVariant& operator=(const ScopedVariant&) = delete;

  VARIANT* get() { return &value_; }

  std::string Text();
  long Number() {
    if (FAILED(::VariantChangeType(&value_, &value_, 0, VT_I4))) return 0;
    return value_.lVal;
  }
  // Takes over the object held, if any.
  IDispatch* DetachDispatch() {
    if (value_.vt != VT_DISPATCH) return nullptr;
    IDispatch* object = value_.pdispVal;
    value_.vt = VT_EMPTY;
    return object;
  }

 private:
  VARIANT value_;
};

// An automation object, released with its owner.
class Dispatch {
 public:
  // The object of a programmatic identifier (VBScript.RegExp, ...), or none when the component
  // is not installed.
  static Dispatch Create(const wchar_t* progId);

  Dispatch() = default;
  explicit Dispatch(IDispatch* object) : object_(object) {}
  Dispatch(Dispatch&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  Dispatch& operator=(Dispatch&& other) noexcept {
    if (this != &other) {
      if (object_) object_->Release();
      object_ = std::exchange(other.object_, nullptr);
    }
    return *this;
  }
  ~Dispatch() {
    if (object_) object_->Release();
  }

  explicit operator bool() const { return object_ != nullptr; }

  // Arguments in call order. Returns whether the call succeeded.
  bool Call(const wchar_t* name, WORD kind, std::span<VARIANT*> arguments, VARIANT* result) const {
    if (!object_) return false;
    DISPID id = 0;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    if (FAILED(object_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id))) {
      return false;
    }
    std::vector<VARIANT> reversed;  // IDispatch takes its arguments last first
    for (auto it = arguments.rbegin(); it != arguments.rend(); ++it) reversed.push_back(**it);
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    if (kind == DISPATCH_PROPERTYPUT) {
      params.rgdispidNamedArgs = &putId;
      params.cNamedArgs = 1;
    }
    return SUCCEEDED(object_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, kind, &params, result,
                                     nullptr, nullptr));
  }

  void Put(const wchar_t* name, ScopedVariant value) const {
    VARIANT* arguments[] = {value.get()};
    Call(name, DISPATCH_PROPERTYPUT, arguments, nullptr);
  }

  bool Get(const wchar_t* name, ScopedVariant& result) const {
    return Call(name, DISPATCH_PROPERTYGET | DISPATCH_METHOD, {}, result.get());
  }

  Dispatch Item(long index) const {
    ScopedVariant number(index), result;
    VARIANT* arguments[] = {number.get()};
    Call(L"Item", DISPATCH_PROPERTYGET | DISPATCH_METHOD, arguments, result.get());
    return Dispatch(result.DetachDispatch());
  }

 private:
  IDispatch* object_ = nullptr;
};

}  // namespace tidemoor
