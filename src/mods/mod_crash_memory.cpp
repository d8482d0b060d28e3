#include "mods/mod_crash_memory.h"

#include "mods/installed_mods.h"
#include "platform/text.h"

namespace tidemoor {
namespace {

std::vector<std::string> NotIn(const std::vector<std::string>& names,
                               const std::vector<std::string>& others) {
  std::vector<std::string> left;
  for (const std::string& name : names) {
    if (!IsListed(others, name) && !IsListed(left, name)) left.push_back(name);
  }
  return left;
}

}  // namespace

bool ModsProven(std::chrono::seconds ranFor) {
  return ranFor >= kModsProvenAfter;
}

ModCrashVerdict JudgeCrashAfterModChange(const std::optional<std::vector<std::string>>& lastGood,
                                         const std::vector<std::string>& current,
                                         std::chrono::seconds ranFor, bool firstStartSinceChange) {
  ModCrashVerdict verdict;
  if (!lastGood || !firstStartSinceChange || ModsProven(ranFor)) return verdict;
  verdict.switchedOn = NotIn(current, *lastGood);
  verdict.switchedOff = NotIn(*lastGood, current);
  verdict.ask = !verdict.switchedOn.empty() || !verdict.switchedOff.empty();
  return verdict;
}

bool SameModLists(const std::vector<std::string>& one, const std::vector<std::string>& other) {
  return NotIn(one, other).empty() && NotIn(other, one).empty();
}

std::string LastGoodModsText(const std::vector<std::string>& packageNames) {
  std::string text;
  for (const std::string& name : packageNames) {
    if (name.empty() || name.find_first_of("\r\n") != std::string::npos) continue;
    text += name + "\r\n";
  }
  return text;
}

std::vector<std::string> ReadLastGoodMods(std::string_view text) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);  // saved again by Notepad
  std::vector<std::string> names;
  while (!text.empty()) {
    const size_t newline = text.find('\n');
    const std::string_view name = TrimBlanks(text.substr(0, newline), " \t\r");
    if (!name.empty()) names.emplace_back(name);
    if (newline == std::string_view::npos) break;
    text.remove_prefix(newline + 1);
  }
  return names;
}

}  // namespace tidemoor
