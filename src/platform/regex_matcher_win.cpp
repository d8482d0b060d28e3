#include "platform/regex_matcher_win.h"

#include <windows.h>
#include <oleauto.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/automation_win.h"
#include "platform/codepage_win.h"
#include "platform/text.h"

namespace tidemoor {
namespace {

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
    Dispatch object = Dispatch::Create(L"VBScript.RegExp");
    if (!object) return nullptr;
    auto engine = std::unique_ptr<SystemRegex>(new SystemRegex(std::move(object)));
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

RegexMatcher::RegexMatcher() : com_(std::make_unique<ComScope>()) {}

RegexMatcher::~RegexMatcher() = default;

std::optional<std::vector<RegexMatch>> RegexMatcher::Matches(std::string_view pattern,
                                                             std::string_view subject,
                                                             const RegexOptions& options) {
  // The component's objects go at the end of this call, before the library they live in.
  std::unique_ptr<RegexEngine> engine;
  if (com_->Initialized()) engine = SystemRegex::Create(pattern, options);
  if (!engine) engine = MakeFallbackRegex(pattern, options);
  return engine->Execute(subject);
}

}  // namespace tidemoor
