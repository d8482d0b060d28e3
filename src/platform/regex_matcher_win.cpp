#include "platform/regex_matcher_win.h"

#include <windows.h>
#include <oleauto.h>

#include <algorithm>
#include <span>
#include <utility>
#include <vector>

#include "platform/codepage_win.h"
#include "platform/text.h"

namespace tidemoor {
namespace {

class ScopedVariant {
 public:
  ScopedVariant() { ::VariantInit(&value_); }
  explicit ScopedVariant(std::string_view utf8) : ScopedVariant() {
    const std::wstring wide = Widen(utf8);
    value_.vt = VT_BSTR;
    value_.bstrVal = ::SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  }
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

  std::string Text() {
    if (value_.vt == VT_EMPTY || value_.vt == VT_NULL) return {};
    if (value_.vt != VT_BSTR && FAILED(::VariantChangeType(&value_, &value_, 0, VT_BSTR))) {
      return {};
    }
    return value_.bstrVal ? Narrow({value_.bstrVal, ::SysStringLen(value_.bstrVal)}) : "";
  }
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

// UTF-16 offsets of the component, as byte offsets into the UTF-8 subject.
size_t Utf8Offset(const std::u16string& subject, long utf16Offset) {
  const auto length =
      std::min<size_t>(subject.size(), static_cast<size_t>(std::max(0L, utf16Offset)));
  return Utf16ToUtf8(std::u16string_view(subject).substr(0, length)).size();
}

class SystemRegex : public RegexEngine {
 public:
  // Null when the component is not installed.
  static std::unique_ptr<SystemRegex> Create(std::string_view pattern,
                                             const RegexOptions& options) {
    CLSID id{};
    if (FAILED(::CLSIDFromProgID(L"VBScript.RegExp", &id))) return nullptr;
    IDispatch* object = nullptr;
    if (FAILED(::CoCreateInstance(id, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                  reinterpret_cast<void**>(&object)))) {
      return nullptr;
    }
    auto engine = std::unique_ptr<SystemRegex>(new SystemRegex(Dispatch(object)));
    // Property failures show later as a failing Execute, so they need no check here.
    engine->regex_.Put(L"IgnoreCase", ScopedVariant(!options.caseSensitive));
    engine->regex_.Put(L"Multiline", ScopedVariant(options.multiLine));
    engine->regex_.Put(L"Global", ScopedVariant(options.global));
    engine->regex_.Put(L"Pattern", ScopedVariant(pattern));
    return engine;
  }

  std::optional<std::vector<RegexMatch>> Execute(std::string_view subject) override {
    ScopedVariant text(subject), result;
    VARIANT* arguments[] = {text.get()};
    if (!regex_.Call(L"Execute", DISPATCH_METHOD, arguments, result.get())) return std::nullopt;
    const Dispatch collection(result.DetachDispatch());
    if (!collection) return std::nullopt;

    const std::u16string subject16 = Utf8ToUtf16(subject);
    std::vector<RegexMatch> matches;
    ScopedVariant count;
    collection.Get(L"Count", count);
    for (long i = 0, n = count.Number(); i < n; ++i) {
      const Dispatch item = collection.Item(i);
      ScopedVariant value, firstIndex, subMatches;
      item.Get(L"Value", value);
      item.Get(L"FirstIndex", firstIndex);
      RegexMatch match;
      match.whole = {value.Text(), Utf8Offset(subject16, firstIndex.Number())};
      item.Get(L"SubMatches", subMatches);
      AddGroups(Dispatch(subMatches.DetachDispatch()), match);
      matches.push_back(std::move(match));
    }
    return matches;
  }

  std::string Replace(std::string_view subject, std::string_view replacement) override {
    ScopedVariant text(subject), with(replacement), result;
    VARIANT* arguments[] = {text.get(), with.get()};
    if (!regex_.Call(L"Replace", DISPATCH_METHOD, arguments, result.get())) return {};
    return result.Text();
  }

 private:
  explicit SystemRegex(Dispatch regex) : regex_(std::move(regex)) {}

  // The component tells a group's text but not where it is: it is taken as the first place
  // inside the whole match where that text occurs.
  static void AddGroups(const Dispatch& subMatches, RegexMatch& match) {
    ScopedVariant count;
    subMatches.Get(L"Count", count);
    for (long j = 0, n = count.Number(); j < n; ++j) {
      ScopedVariant index(j), value;
      VARIANT* arguments[] = {index.get()};
      subMatches.Call(L"Item", DISPATCH_PROPERTYGET | DISPATCH_METHOD, arguments, value.get());
      std::string text = value.Text();
      const size_t inside = match.whole.text.find(text);
      match.groups.push_back(
          {std::move(text), match.whole.position + (inside == std::string::npos ? 0 : inside)});
    }
  }

  Dispatch regex_;
};

}  // namespace

RegexMatcher::RegexMatcher(RegexEngineChoice choice) : choice_(choice) {
  comInitialized_ = SUCCEEDED(::CoInitialize(nullptr));
}

RegexMatcher::~RegexMatcher() {
  // The component's objects must go before the library they live in.
  matches_.reset();
  engine_.reset();
  if (comInitialized_) ::CoUninitialize();
}

bool RegexMatcher::Execute(std::string_view pattern, std::string_view subject, bool caseSensitive,
                           bool multiLine, bool global, bool quotePlaceholder) {
  engine_.reset();
  matches_.reset();
  pattern_ = quotePlaceholder ? ReplaceAll(std::string(pattern), "#引号", "\"") : pattern;
  subject_ = subject;
  const RegexOptions options{caseSensitive, multiLine, global};
  usesSystemComponent_ = false;
  if (choice_ == RegexEngineChoice::SystemComponentFirst && comInitialized_) {
    engine_ = SystemRegex::Create(pattern_, options);
    usesSystemComponent_ = engine_ != nullptr;
  }
  if (!engine_) engine_ = MakeFallbackRegex(pattern_, options);
  matches_ = engine_->Execute(subject_);
  return matches_.has_value();
}

int RegexMatcher::MatchCount() const {
  return matches_ ? static_cast<int>(matches_->size()) : 0;
}

std::string RegexMatcher::GetPattern() const {
  return engine_ ? pattern_ : std::string();
}

std::string RegexMatcher::Replace(std::string_view replacement) const {
  return engine_ ? engine_->Replace(subject_, replacement) : std::string();
}

std::string RegexMatcher::MatchText(int match, size_t* position) const {
  if (match < 1 || match > MatchCount()) return {};
  const RegexGroup& whole = (*matches_)[match - 1].whole;
  if (position) *position = whole.position;
  return whole.text;
}

std::string RegexMatcher::SubMatchText(int match, int subMatch, size_t* position) const {
  if (match < 1 || match > MatchCount()) return {};
  const auto& groups = (*matches_)[match - 1].groups;
  if (subMatch < 1 || subMatch > static_cast<int>(groups.size())) return {};
  if (position) *position = groups[subMatch - 1].position;
  return groups[subMatch - 1].text;
}

int RegexMatcher::SubMatchCount() const {
  return MatchCount() > 0 ? static_cast<int>((*matches_)[0].groups.size()) : 0;
}

}  // namespace tidemoor
