#include "mods/mod_settings_file.h"

#include "common/settings_file_encoding.h"
#include "platform/text.h"

namespace tidemoor {
namespace {

constexpr std::string_view kSection = "PalModSettings";
constexpr std::string_view kSwitchKey = "bGlobalEnableMod";
constexpr std::string_view kListKey = "ActiveModList";
constexpr std::string_view kBlanks = " \t\r";

struct Line {
  std::string text;  // without its line end
  std::string end;   // "\r\n", "\n", or nothing on a last line without one
};

enum class Role { Other, Section, Switch, ListItem };

// One line as the server reads it, within the section it stands in.
struct ReadLine {
  Role role = Role::Other;
  bool inModSection = false;            // within a [PalModSettings] section, or its header
  size_t valueStart = 0, valueEnd = 0;  // the value's bytes without the blanks around it
};

std::vector<Line> SplitLines(std::string_view text) {
  std::vector<Line> lines;
  size_t at = 0;
  while (at < text.size()) {
    const size_t newline = text.find('\n', at);
    if (newline == std::string_view::npos) {
      lines.push_back({std::string(text.substr(at)), ""});
      break;
    }
    const bool crlf = newline > at && text[newline - 1] == '\r';
    const size_t textEnd = crlf ? newline - 1 : newline;
    lines.push_back({std::string(text.substr(at, textEnd - at)), crlf ? "\r\n" : "\n"});
    at = newline + 1;
  }
  return lines;
}

std::vector<ReadLine> ReadLines(const std::vector<Line>& lines) {
  std::vector<ReadLine> read(lines.size());
  bool inModSection = false;
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string_view text = lines[i].text;
    const std::string_view trimmed = TrimBlanks(text, kBlanks);
    const size_t close = trimmed.find(']');
    if (trimmed.starts_with('[') && close != std::string_view::npos) {
      inModSection =
          EqualsIgnoringCase(TrimBlanks(trimmed.substr(1, close - 1), kBlanks), kSection);
      read[i].role = Role::Section;
      read[i].inModSection = inModSection;  // the header of a [PalModSettings] section
      continue;
    }
    read[i].inModSection = inModSection;
    const size_t equals = text.find('=');
    if (!inModSection || trimmed.starts_with(';') || trimmed.starts_with('#') ||
        equals == std::string_view::npos) {
      continue;
    }
    const std::string_view key = TrimBlanks(text.substr(0, equals), kBlanks);
    if (EqualsIgnoringCase(key, kSwitchKey)) {
      read[i].role = Role::Switch;
    } else if (EqualsIgnoringCase(key, kListKey)) {
      read[i].role = Role::ListItem;
    } else {
      continue;
    }
    const std::string_view value = TrimBlanks(text.substr(equals + 1), kBlanks);
    read[i].valueStart = value.empty() ? text.size() : value.data() - text.data();
    read[i].valueEnd = read[i].valueStart + value.size();
  }
  return read;
}

std::string_view Value(const Line& line, const ReadLine& read) {
  std::string_view value =
      std::string_view(line.text).substr(read.valueStart, read.valueEnd - read.valueStart);
  if (value.size() >= 2 && value.starts_with('"') && value.ends_with('"')) {
    value = TrimBlanks(value.substr(1, value.size() - 2), kBlanks);
  }
  return value;
}

ModSettings Settings(const std::vector<Line>& lines, const std::vector<ReadLine>& read) {
  ModSettings settings;
  bool switchSeen = false;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (read[i].role == Role::Switch && !switchSeen) {
      switchSeen = true;
      settings.enabled = EqualsIgnoringCase(Value(lines[i], read[i]), "True");
    } else if (read[i].role == Role::ListItem && !Value(lines[i], read[i]).empty()) {
      settings.activeMods.emplace_back(Value(lines[i], read[i]));
    }
  }
  return settings;
}

// The line end the file uses, for the lines the edit adds.
std::string FileLineEnd(const std::vector<Line>& lines) {
  for (const Line& line : lines) {
    if (!line.end.empty()) return line.end;
  }
  return "\r\n";
}

std::string Joined(const std::vector<Line>& lines) {
  std::string text;
  for (const Line& line : lines) text += line.text + line.end;
  return text;
}

// The lines of the new list, each with the given end.
std::vector<Line> ListLines(const ModSettings& settings, const std::string& end) {
  std::vector<Line> list;
  for (const std::string& name : settings.activeMods) {
    if (name.empty() || name.find_first_of("\r\n") != std::string::npos) continue;
    list.push_back({std::string(kListKey) + "=" + name, end});
  }
  return list;
}

std::string SwitchValue(bool enabled) {
  return enabled ? "True" : "False";
}

Line SwitchLine(const Line& line, const ReadLine& read, bool enabled) {
  if (EqualsIgnoringCase(Value(line, read), "True") == enabled) return line;
  Line edited = line;
  edited.text.replace(read.valueStart, read.valueEnd - read.valueStart, SwitchValue(enabled));
  return edited;
}

size_t FirstWithRole(const std::vector<ReadLine>& read, Role role) {
  for (size_t i = 0; i < read.size(); ++i) {
    if (read[i].role == role) return i;
  }
  return std::string::npos;
}

// Where a missing switch goes: after the last line of the first [PalModSettings] section that is
// not blank, so the blank lines before the next section stay between the sections. npos without
// such a section.
size_t EndOfModSection(const std::vector<Line>& lines, const std::vector<ReadLine>& read) {
  size_t i = 0;
  while (i < lines.size() && !(read[i].role == Role::Section && read[i].inModSection)) ++i;
  if (i == lines.size()) return std::string::npos;
  size_t last = i;
  for (++i; i < lines.size() && read[i].role != Role::Section; ++i) {
    if (!TrimBlanks(lines[i].text, kBlanks).empty()) last = i;
  }
  return last;
}

std::vector<Line> Edited(const std::vector<Line>& lines, const std::vector<ReadLine>& read,
                         const ModSettings& settings) {
  constexpr size_t none = std::string::npos;
  const std::string end = FileLineEnd(lines);
  const size_t firstListItem = FirstWithRole(read, Role::ListItem);
  const size_t firstSwitch = FirstWithRole(read, Role::Switch);
  const size_t sectionEnd = firstSwitch == none ? EndOfModSection(lines, read) : none;
  const Line newSwitch{std::string(kSwitchKey) + "=" + SwitchValue(settings.enabled), end};

  std::vector<Line> edited;
  const auto addList = [&](const std::string& listEnd) {
    for (Line& line : ListLines(settings, listEnd.empty() ? end : listEnd)) {
      edited.push_back(std::move(line));
    }
  };
  for (size_t i = 0; i < lines.size(); ++i) {
    if (read[i].role == Role::Switch) {
      edited.push_back(SwitchLine(lines[i], read[i], settings.enabled));
    } else if (read[i].role != Role::ListItem) {
      edited.push_back(lines[i]);
    }
    if (i == firstListItem) addList(lines[i].end);
    if (i == firstSwitch && firstListItem == none) addList(end);
    if (i == sectionEnd) {
      edited.push_back(newSwitch);
      if (firstListItem == none) addList(end);
    }
  }
  if (firstSwitch == none && sectionEnd == none) {
    edited.push_back({std::string("[").append(kSection).append("]"), end});
    edited.push_back(newSwitch);
    addList(end);
  }
  // Only the file's last line may go without a line end.
  for (size_t i = 0; i + 1 < edited.size(); ++i) {
    if (edited[i].end.empty()) edited[i].end = end;
  }
  return edited;
}

}  // namespace

std::optional<ModSettings> ReadModSettings(std::string_view fileBytes) {
  const std::optional<DecodedSettingsFile> decoded = DecodeSettingsFile(fileBytes);
  if (!decoded) return std::nullopt;
  const std::vector<Line> lines = SplitLines(decoded->text);
  return Settings(lines, ReadLines(lines));
}

std::optional<std::string> WriteModSettings(std::optional<std::string_view> fileBytes,
                                            const ModSettings& settings) {
  const std::optional<DecodedSettingsFile> decoded =
      fileBytes ? DecodeSettingsFile(*fileBytes)
                : DecodedSettingsFile{kServersFirstModSettings, SettingsFileEncoding::Utf8};
  if (!decoded) return std::nullopt;
  const std::vector<Line> lines = SplitLines(decoded->text);
  const std::vector<ReadLine> read = ReadLines(lines);
  if (fileBytes && Settings(lines, read) == settings) return std::string(*fileBytes);
  return EncodeSettingsFile(Joined(Edited(lines, read, settings)), decoded->encoding);
}

}  // namespace tidemoor
