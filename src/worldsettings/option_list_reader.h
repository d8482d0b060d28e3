#pragma once
// Finding the pairs of the option list "OptionSettings=(...)" in the text of
// PalWorldSettings.ini. Only where each pair lies is decided here; what a value means for a row
// is the business of world_settings_text.h.

#include <string>
#include <string_view>
#include <vector>

namespace tidemoor {

struct OptionPair {
  std::string Key;
  std::string Value;
};

// The pairs of the option list, in file order, keys without surrounding blanks and values exactly
// as the file holds them. Reading takes time in proportion to the text, whatever it holds.
//
// The text counts up to its first zero byte. The list starts after the first "OptionSettings=("
// (letters in any case) and runs to the end of the line holding the first ")" after it; a list
// broken over lines is read as one line, each line break a blank. On that line:
// - A double quote right after "=", "(" or "," (blanks between aside) opens a quoted text, which
//   ends at the next double quote not escaped by a backslash. A quote with no end on the line,
//   and a quote anywhere else, is an ordinary character.
// - The list ends at the last ")" outside quoted texts; without one it is empty.
// - Inside the list, "(" and ")" outside quoted texts pair up as nested brackets; one left without
//   a partner is an ordinary character.
// - Pairs are separated by the commas outside quoted texts and bracket pairs; a pair's key is the
//   text before its first "=" outside them. A piece without one, or with no key, is skipped.
std::vector<OptionPair> ReadOptionList(std::string_view fileText);

}  // namespace tidemoor
