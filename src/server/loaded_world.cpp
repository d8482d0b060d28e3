#include "server/loaded_world.h"

#include <algorithm>

#include "common/free_name.h"
#include "platform/ini_text.h"
#include "platform/text.h"

namespace tidemoor {
namespace {

constexpr char kLocalSettingsSection[] = "/Script/Pal.PalGameLocalSettings";
constexpr char kWorldNameKey[] = "DedicatedServerName";

std::u16string Utf16Units(std::string_view bytes, bool bigEndian) {
  std::u16string units;
  units.reserve(bytes.size() / 2);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    units.push_back(
        static_cast<char16_t>(bigEndian ? (first << 8) | second : (second << 8) | first));
  }
  return units;
}

// The server writes the file as ASCII; an editor may have saved it with a byte order mark.
std::string DecodeSettingsText(std::string_view bytes) {
  if (bytes.starts_with("\xFF\xFE")) return Utf16ToUtf8(Utf16Units(bytes.substr(2), false));
  if (bytes.starts_with("\xFE\xFF")) return Utf16ToUtf8(Utf16Units(bytes.substr(2), true));
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  return std::string(bytes);
}

bool Contains(const std::vector<std::string>& worlds, std::string_view id) {
  return std::any_of(worlds.begin(), worlds.end(),
                     [id](const std::string& world) { return EqualsIgnoringCase(world, id); });
}

}  // namespace

std::string MissingWorldQuestion(std::string_view worldId,
                                 const std::vector<std::string>& existingWorlds) {
  return std::string(" 开服设置指定的存档 ") + std::string(worldId) +
         " 不存在，服务端会新建一个空世界 - 现有存档: " + JoinTexts(existingWorlds, ", ") +
         " \r\n 是否仍然启动? ";
}

bool IsWorldId(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
  });
}

std::string WorldIdFromGameUserSettings(std::string_view bytes) {
  std::string id =
      ReadIniValue(DecodeSettingsText(bytes), kLocalSettingsSection, kWorldNameKey, "");
  return IsWorldId(id) ? id : std::string();
}

WorldQuestion DecideWorldQuestion(const LoadedWorldFacts& facts,
                                  const std::vector<std::string>& keptWorlds, bool beforeStart) {
  if (facts.worldId.empty()) return WorldQuestion::None;
  if (!facts.worldExists) {
    return beforeStart && !facts.existingWorlds.empty() ? WorldQuestion::StartWithMissingWorld
                                                        : WorldQuestion::None;
  }
  if (facts.hasWorldOption && !Contains(keptWorlds, facts.worldId)) {
    return WorldQuestion::DisableWorldOption;
  }
  return WorldQuestion::None;
}

std::string FreeDisabledName(const std::function<bool(const std::string&)>& taken) {
  return FreeName(kWorldOptionDisabledName, taken);
}

std::vector<std::string> ParseKeptWorlds(std::string_view text) {
  std::vector<std::string> worlds;
  while (!text.empty()) {
    const size_t comma = std::min(text.find(','), text.size());
    const std::string_view id = TrimBlanks(text.substr(0, comma));
    if (IsWorldId(id) && !Contains(worlds, id)) worlds.emplace_back(id);
    text.remove_prefix(std::min(comma + 1, text.size()));
  }
  return worlds;
}

std::string KeptWorldsText(const std::vector<std::string>& worlds) {
  return JoinTexts(worlds, ",");
}

}  // namespace tidemoor
