#pragma once
// The text of PalWorldSettings.ini: reading its option list into the catalogue's rows and
// writing the rows back. UTF-8 in, UTF-8 out; no file access here.

#include <string>
#include <string_view>
#include <vector>

#include "worldsettings/settings_catalogue.h"

namespace tidemoor {

struct OptionPair {
  std::string Key;
  std::string Value;
};

// What the editor holds of one file: the catalogue's rows, and every pair of the file's option
// list that the catalogue does not know (player limit, save interval, REST API, ...), which a
// save must hand back to the server untouched.
struct WorldSettings {
  std::vector<SettingEntry> Rows = WorldSettingsCatalogue();
  std::vector<OptionPair> OtherPairs;  // in the file's order, each key once
};

// The pairs of the option list "OptionSettings=(...)", in file order, keys without surrounding
// blanks. Empty when the text has no complete list.
std::vector<OptionPair> ReadOptionList(std::string_view fileText);

// Puts the values of the file's option list into the rows whose keys it names (the later of two
// wins) and keeps every other pair.
void ApplyWorldSettingsText(std::string_view fileText, WorldSettings& settings);

// Values of these keys are written inside double quotes.
bool IsQuotedKey(std::string_view key);

// The text written after "key=" for a row's value.
std::string ValueForFile(std::string_view key, std::string_view value);

// The whole file: the section line and the option list with the catalogue's rows in their order,
// then the other pairs as they were read.
std::string WorldSettingsFileText(const WorldSettings& settings);

}  // namespace tidemoor
