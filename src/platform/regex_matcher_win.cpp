#include "platform/regex_matcher_win.h"

#include <windows.h>
#include <oleauto.h>

#include <algorithm>
#include <span>
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

RegexMatcher::RegexMatcher(RegexEngineChoice choice)
    : choice_(choice), com_(std::make_unique<ComScope>()) {}

RegexMatcher::~RegexMatcher() {
  // The component's objects must go before the library they live in.
  matches_.reset();
  engine_.reset();
}

bool RegexMatcher::Execute(std::string_view pattern, std::string_view subject, bool caseSensitive,
                           bool multiLine, bool global, bool quotePlaceholder) {
  engine_.reset();
  matches_.reset();
  pattern_ = quotePlaceholder ? ReplaceAll(std::string(pattern), "#引号", "\"") : pattern;
  subject_ = subject;
  const RegexOptions options{caseSensitive, multiLine, global};
  usesSystemComponent_ = false;
  if (choice_ == RegexEngineChoice::SystemComponentFirst && com_->Initialized()) {
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
