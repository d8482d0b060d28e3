#pragma once
// The text of PalWorldSettings.ini: reading its option list into the catalogue's rows and
// writing the rows back. UTF-8 in, UTF-8 out; no file access here.
//
// Whatever a user types into a row, a save followed by a load gives back the row's normal form
// (NormalizeRowValue) and leaves every other row and pair as it was; a file saved once is saved
// again byte for byte.

#include <string>
#include <string_view>
#include <vector>

#include "worldsettings/option_list_reader.h"
#include "worldsettings/settings_catalogue.h"

namespace tidemoor {

// What the editor holds of one file: the catalogue's 57 rows, then a row for each option of the
// 1.0 server that the file or the server's defaults name, and every pair of the file's option list
// that the tool does not know (options of a newer server), which a save hands back untouched.
struct WorldSettings {
  std::vector<SettingEntry> Rows = WorldSettingsCatalogue();
  std::vector<OptionPair> OtherPairs;  // in the file's order, each key once
};

// Puts the values of the file's option list into the rows whose keys it names, adds a row for each
// option of the 1.0 server it names (in the file's order), and keeps every other pair. A key named
// twice counts with its later value; another pair named twice keeps its later place too, so a save
// writes the other pairs in the order, and with the values, the file held last. A quoted key's
// value that is one quoted text becomes that text with its escapes resolved, in double quotes;
// every other value stays as the file holds it.
void ApplyWorldSettingsText(std::string_view fileText, WorldSettings& settings);

// The server's own DefaultPalWorldSettings.ini: each option the settings do not hold yet (beyond
// the 57, whose presets stand) joins them with the server's default, a known one as a row and an
// unknown one as another pair, in the defaults' order after those the user's file named.
void ApplyServerDefaultsText(std::string_view defaultsText, WorldSettings& settings);

// The server name and passwords as the file holds them now replace those in the settings to save:
// the main window writes them before each start, perhaps while the settings window was open.
void KeepValuesWrittenAtStart(const WorldSettings& onDisk, WorldSettings& toSave);

// Values of these keys are written as quoted texts.
bool IsQuotedKey(std::string_view key);

// The value a row holds after a save and a load. Zero bytes are dropped.
// - A quoted key: its content in double quotes, the content being the value less one leading and
//   one trailing double quote. The user edits the quotes as ordinary characters: the values
//   [China], ["China], [China"] and ["China"] all become ["China"], an empty value and a lone
//   quote become [""], and [a"b] becomes ["a"b"].
// - Any other key: "," "(" ")" and '"' become their full-width forms "，" "（" "）" "＂", and line
//   breaks become blanks, so a value can never end its pair or the list, or open a quoted text
//   or a bracket. The exact value "" (an emptied text box) is kept as the empty quoted text.
// - A list key (CrossplayPlatforms, ...): its words, each in the bare normal form without blanks,
//   in brackets: [Steam, Xbox] and [(Steam,Xbox)] both become [(Steam,Xbox)]. Empty stays empty.
std::string NormalizeRowValue(std::string_view key, std::string_view value);

// The text written after "key=" for a row's value. For a quoted key, the content in double
// quotes with backslash, double quote, line feed, carriage return and tab escaped as the server
// itself escapes them (\\ \" \n \r \t); for any other key the normal form.
std::string ValueForFile(std::string_view key, std::string_view value);

// What an edit of an unknown option's value becomes in the file: a value the user left one quoted
// text as the file spells it stays as typed, one in brackets becomes a list in its normal form,
// and anything else takes the bare normal form.
std::string OtherValueForFile(std::string_view typed);

// The words as a list value: "(a,b)", the words separated by commas with no blanks.
std::string BracketedList(const std::vector<std::string>& words);

// A text as a quoted value for the file: in double quotes, escaped as ValueForFile escapes a
// quoted key's content.
std::string QuotedForFile(std::string_view content);

// The whole file: the section line and the option list with the catalogue's rows in their order,
// then the other pairs as they were read.
std::string WorldSettingsFileText(const WorldSettings& settings);

}  // namespace tidemoor
