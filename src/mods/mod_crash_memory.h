#pragma once
// A crash after a mod change, undone in one click. The tool remembers the mods of the last start
// that ran long enough without crashing; when the first start after the list changed crashes
// soon, it offers to go back to that list, naming what changed since.

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tidemoor {

// A start that ran this long without crashing proves its mods: its list is remembered.
inline constexpr std::chrono::minutes kModsProvenAfter{10};

bool ModsProven(std::chrono::seconds ranFor);

struct ModCrashVerdict {
  bool ask = false;
  std::vector<std::string> switchedOn;   // in the current list, not the remembered one
  std::vector<std::string> switchedOff;  // in the remembered list, not the current one
};

// lastGood: the remembered list (none before any start proved one); current: the mods this start
// loaded (none when mods were switched off); ranFor: how long the server ran before it crashed.
// Asks only after the first start since the list changed, before it proved itself, and only when
// the lists differ (order and case aside); the mods come in the order of their lists.
ModCrashVerdict JudgeCrashAfterModChange(const std::optional<std::vector<std::string>>& lastGood,
                                         const std::vector<std::string>& current,
                                         std::chrono::seconds ranFor, bool firstStartSinceChange);

// Whether two lists load the same mods (order and case aside).
bool SameModLists(const std::vector<std::string>& one, const std::vector<std::string>& other);

// PaLWorld_Data\ModsLastGood.txt: UTF-8, one package name per line. An empty file is an empty
// list, proved like any other.
std::string LastGoodModsText(const std::vector<std::string>& packageNames);
std::vector<std::string> ReadLastGoodMods(std::string_view text);

}  // namespace tidemoor
