#include "mods/mod_origins.h"

#include <algorithm>
#include <charconv>

#include "platform/text.h"

namespace tidemoor {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

bool DigitsOrEmpty(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::optional<ModOrigin> ReadLine(std::string_view line) {
  const size_t firstTab = line.find('\t');
  const size_t secondTab =
      firstTab == std::string_view::npos ? firstTab : line.find('\t', firstTab + 1);
  if (secondTab == std::string_view::npos || line.find('\t', secondTab + 1) != line.npos) {
    return std::nullopt;
  }
  ModOrigin origin;
  origin.folderName = std::string(line.substr(0, firstTab));
  origin.workshopItemId = std::string(line.substr(firstTab + 1, secondTab - firstTab - 1));
  const std::string_view time = line.substr(secondTab + 1);
  if (origin.folderName.empty() || !DigitsOrEmpty(origin.workshopItemId) || !DigitsOrEmpty(time)) {
    return std::nullopt;
  }
  if (!time.empty()) {
    uint64_t value = 0;
    if (std::from_chars(time.data(), time.data() + time.size(), value).ec != std::errc()) {
      return std::nullopt;
    }
    origin.timeUpdated = value;
  }
  return origin;
}

bool Names(const ModOrigins::Line& line, std::string_view folderName) {
  return line.origin && EqualsIgnoringCase(line.origin->folderName, folderName);
}

}  // namespace

ModOrigins ReadModOrigins(std::string_view text) {
  if (text.starts_with(kUtf8Mark)) text.remove_prefix(kUtf8Mark.size());
  ModOrigins origins;
  while (!text.empty()) {
    const size_t newline = text.find('\n');
    std::string_view line = text.substr(0, newline);
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (std::optional<ModOrigin> origin = ReadLine(line)) {
      origins.lines.push_back({std::move(origin), {}});
    } else {
      origins.lines.push_back({std::nullopt, std::string(line)});
    }
    if (newline == std::string_view::npos) break;
    text.remove_prefix(newline + 1);
  }
  return origins;
}

std::string ModOriginsText(const ModOrigins& origins) {
  std::string text;
  for (const ModOrigins::Line& line : origins.lines) {
    if (!line.origin) {
      text += line.kept;
    } else {
      const ModOrigin& origin = *line.origin;
      text += origin.folderName + "\t" + origin.workshopItemId + "\t" +
              (origin.timeUpdated ? std::to_string(*origin.timeUpdated) : std::string());
    }
    text += "\r\n";
  }
  return text;
}

const ModOrigin* FindModOrigin(const ModOrigins& origins, std::string_view folderName) {
  for (const ModOrigins::Line& line : origins.lines) {
    if (Names(line, folderName)) return &*line.origin;
  }
  return nullptr;
}

void NoteModOrigin(ModOrigins& origins, const ModOrigin& origin) {
  if (origin.folderName.empty() || origin.folderName.find_first_of("\t\r\n") != std::string::npos ||
      !DigitsOrEmpty(origin.workshopItemId)) {
    return;
  }
  std::vector<ModOrigins::Line> lines;
  bool noted = false;
  for (ModOrigins::Line& line : origins.lines) {
    if (Names(line, origin.folderName)) {
      if (noted) continue;
      line.origin = origin;
      noted = true;
    }
    lines.push_back(std::move(line));
  }
  if (!noted) lines.push_back({origin, {}});
  origins.lines = std::move(lines);
}

void ForgetModOrigin(ModOrigins& origins, std::string_view folderName) {
  std::erase_if(origins.lines,
                [&](const ModOrigins::Line& line) { return Names(line, folderName); });
}

InstalledMod InstalledModOf(std::string folderName, std::optional<std::string> infoJson,
                            const ModOrigins& origins) {
  InstalledMod mod;
  if (const ModOrigin* origin = FindModOrigin(origins, folderName);
      origin && !origin->workshopItemId.empty()) {
    mod.source = ModSource::Workshop;
    mod.workshopItemId = origin->workshopItemId;
    mod.importedTimeUpdated = origin->timeUpdated;
  }
  mod.folderName = std::move(folderName);
  mod.infoJson = std::move(infoJson);
  return mod;
}

}  // namespace tidemoor
