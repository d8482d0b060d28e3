#pragma once
// The 57 world options the editor knows: their keys as the game spells them, Chinese names and
// help, value kinds and presets, and the file a new server gets when it has none.

#include <string>
#include <string_view>
#include <vector>

namespace tidemoor {

enum class ValueKind { Text, Number, Choice };

// The kind's display text, as the settings list stores it: "文本", "数值" or "选择".
std::string_view ValueKindText(ValueKind kind);

// "文本" and "数值" byte for byte; every other text counts as a choice.
ValueKind ParseValueKind(std::string_view text);

// One world option, one row of the settings list. Only Value changes at run time.
struct SettingEntry {
  std::string Key;          // the game's option name, used verbatim in the file
  std::string DisplayName;  // 项目名
  std::string Help;         // 注释说明
  std::string Kind;         // display text of the ValueKind
  std::string Value;        // preset, then the file's value, then the user's edits
};

// A fresh copy of the 57 rows in their fixed order, holding their presets.
std::vector<SettingEntry> WorldSettingsCatalogue();

// The first row whose key equals the given one, ASCII letters compared without regard to case;
// -1 when there is none. Blanks are not trimmed.
int FindSettingRow(const std::vector<SettingEntry>& rows, std::string_view key);

// The file written for a server that has no world settings yet (CR LF line ends, ASCII only).
std::string WorldSettingsTemplate();

}  // namespace tidemoor
