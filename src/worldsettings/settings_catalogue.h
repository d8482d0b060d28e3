#pragma once
// The world options the editor knows: the 57 it has always listed, with their keys as the game
// spells them, Chinese names and help, value kinds and presets, and the file a new server gets
// when it has none; then the options the 1.0 server added, with names, help and kinds only, since
// their values come from the user's file or the server's own defaults.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tidemoor {

// Choice is True or False; Enumeration one of a few words; List a bracketed list of words such as
// "(Steam,Xbox)".
enum class ValueKind { Text, Number, Choice, Enumeration, List };

// The kind's display text, as the settings list stores it: "文本", "数值", "选择", "枚举" or
// "列表".
std::string_view ValueKindText(ValueKind kind);

// The display texts byte for byte; every other text counts as a choice.
ValueKind ParseValueKind(std::string_view text);

// One world option, one row of the settings list. Only Value changes at run time.
struct SettingEntry {
  std::string Key;          // the game's option name, used verbatim in the file
  std::string DisplayName;  // 项目名
  std::string Help;         // 注释说明
  std::string Kind;         // display text of the ValueKind
  std::string Value;        // preset, then the file's value, then the user's edits
  // The words an enumeration or a list offers, in the order the game documents them.
  std::vector<std::string> Choices = {};
};

// A fresh copy of the 57 rows in their fixed order, holding their presets.
std::vector<SettingEntry> WorldSettingsCatalogue();

// The first row whose key equals the given one, ASCII letters compared without regard to case;
// -1 when there is none. Blanks are not trimmed.
int FindSettingRow(const std::vector<SettingEntry>& rows, std::string_view key);

// The entry of an option the 1.0 server added (any key outside the 57, letters in any case), with
// an empty value; nullopt for a key the tool does not know.
std::optional<SettingEntry> ServerOptionEntry(std::string_view key);

// Every option the 1.0 server added, in the order of its own settings file.
std::vector<SettingEntry> ServerOptionCatalogue();

// The server name and the two passwords: the main window's values are written into the file before
// each start, so the settings window only shows them.
bool IsWrittenAtStart(std::string_view key);

// The file written for a server that has no world settings yet (CR LF line ends, ASCII only).
std::string WorldSettingsTemplate();

}  // namespace tidemoor
