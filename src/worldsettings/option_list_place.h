#pragma once
// Where the option list "OptionSettings=(...)" sits in the text of PalWorldSettings.ini. A save
// replaces that one line and keeps everything around it: comments, other sections and lines a
// user or the server put there, and the file's own line ends.

#include <string>
#include <string_view>

namespace tidemoor {

struct FileAroundOptionList {
  std::string before;  // up to the list's marker
  std::string list;    // the marker to the end of the line its list ends on; empty when none
  std::string after;   // from that line's end on
};

// The text in three pieces that join back to it. The list is found as the reader finds it: the
// first "OptionSettings=(" (letters in any case), running to the end of the line holding the
// first ")" after it, or to the end of its own line when no ")" follows.
FileAroundOptionList SplitAroundOptionList(std::string_view fileText);

// The text with its option list line replaced by listLine. A text without a list gets it after
// the line "[/Script/Pal.PalGameWorldSettings]", which is added at its end when missing; a list
// with no such line before it gets one in front, since the server reads the list only in that
// section. New line ends follow the text's own ("\r\n" unless it uses "\n" alone).
std::string WithOptionListLine(std::string_view fileText, std::string_view listLine);

}  // namespace tidemoor
