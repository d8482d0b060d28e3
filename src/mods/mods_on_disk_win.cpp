#include "mods/mods_on_disk_win.h"

#include <windows.h>

#include <algorithm>

#include "mods/mod_info.h"
#include "mods/mod_paths.h"
#include "mods/steam_library.h"
#include "platform/date_time.h"
#include "platform/directories_win.h"
#include "platform/directory_listing_win.h"
#include "platform/registry_win.h"
#include "platform/text.h"

namespace tidemoor {
namespace {

// The settings files and Steam's are small text; one past this is none of them.
constexpr size_t kLargestTextFile = 16u << 20;

std::optional<std::string> ReadIfThere(const std::string& path, size_t maxBytes) {
  WholeFile file = ReadWholeFile(path, maxBytes);
  if (file.state != FileState::Read) return std::nullopt;
  return std::move(file.bytes);
}

std::optional<std::string> InfoJsonIn(const std::string& folder) {
  return ReadIfThere(folder + "\\Info.json", kLargestInfoJson);
}

bool BeforeWithoutCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char x, char y) { return LowerAscii(x) < LowerAscii(y); });
}

std::vector<std::string> FoldersIn(const std::string& path) {
  std::vector<std::string> names;
  ListDirectories(path, names, false);
  std::sort(names.begin(), names.end(), BeforeWithoutCase);
  return names;
}

std::vector<std::string> Libraries(const std::string& steamPath) {
  const std::vector<std::string> steam = SteamLibraryFolders(steamPath, std::nullopt);
  if (steam.empty()) return {};
  std::string steamapps = steam.front();
  if (!steamapps.ends_with('\\')) steamapps += '\\';
  const std::optional<std::string> vdf =
      ReadIfThere(steamapps + "steamapps\\libraryfolders.vdf", kLargestTextFile);
  return SteamLibraryFolders(steamPath, vdf ? std::optional<std::string_view>(*vdf) : std::nullopt);
}

std::map<std::string, uint64_t> TimesIn(const std::string& itemsFile) {
  const std::optional<std::string> acf = ReadIfThere(itemsFile, kLargestTextFile);
  return acf ? WorkshopItemTimes(*acf) : std::map<std::string, uint64_t>{};
}

ModOrigins ReadOrigins(const ServerPaths& paths) {
  const std::optional<std::string> text = ReadIfThere(ModOriginsFile(paths), kLargestTextFile);
  return text ? ReadModOrigins(*text) : ModOrigins{};
}

}  // namespace

ModsOnDisk ReadModsOnDisk(const ServerPaths& paths, const std::string& steamPath) {
  ModsOnDisk disk;
  const ModOrigins origins = ReadOrigins(paths);
  const std::string workshop = WorkshopModsDir(paths);
  for (std::string& name : FoldersIn(workshop)) {
    std::optional<std::string> infoJson = InfoJsonIn(workshop + name);
    disk.mods.push_back(InstalledModOf(std::move(name), std::move(infoJson), origins));
  }
  WholeFile settings = ReadWholeFile(ModSettingsFile(paths), kLargestTextFile);
  disk.settingsState = settings.state;
  disk.settingsError = settings.error;
  if (settings.state == FileState::Missing) disk.settings = ModSettings{};
  if (settings.state == FileState::Read) disk.settings = ReadModSettings(settings.bytes);
  for (const std::string& library : Libraries(steamPath)) {
    for (const auto& [id, time] : TimesIn(WorkshopItemsFile(library))) {
      disk.steamTimes.emplace(id, time);
    }
  }
  return disk;
}

std::vector<SteamWorkshopItem> SteamWorkshopItems(const std::string& steamPath) {
  std::vector<SteamWorkshopItem> items;
  for (const std::string& library : Libraries(steamPath)) {
    const std::map<std::string, uint64_t> times = TimesIn(WorkshopItemsFile(library));
    const std::string content = WorkshopContentDir(library);
    for (const std::string& name : FoldersIn(content)) {
      const std::optional<std::string> id = WorkshopItemId(name);
      const bool known = std::any_of(items.begin(), items.end(),
                                     [&](const SteamWorkshopItem& item) { return item.id == id; });
      if (!id || *id != name || known) continue;
      const auto time = times.find(name);
      items.push_back({name, content + "\\" + name, InfoJsonIn(content + "\\" + name),
                       time == times.end() ? std::nullopt : std::optional<uint64_t>(time->second)});
    }
  }
  return items;
}

SteamWorkshopItem DownloadedWorkshopItem(const std::string& id, const std::string& folder) {
  SteamWorkshopItem item{id, folder, InfoJsonIn(folder), std::nullopt};
  if (const std::optional<std::string> itemsFile = WorkshopItemsFileOf(folder)) {
    const std::map<std::string, uint64_t> times = TimesIn(*itemsFile);
    if (const auto time = times.find(id); time != times.end()) item.timeUpdated = time->second;
  }
  return item;
}

std::string SteamPathInRegistry() {
  return ReadUserText("Software\\Valve\\Steam", "SteamPath").value_or("");
}

std::string LocalTimeText(uint64_t unixSeconds) {
  // FILETIME counts 100 ns steps from 1601.
  constexpr uint64_t kFrom1601 = 11644473600ull;
  const uint64_t ticks = (unixSeconds + kFrom1601) * 10000000ull;
  const FILETIME utc{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  SYSTEMTIME universal{}, local{};
  if (!::FileTimeToSystemTime(&utc, &universal) ||
      !::SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local)) {
    return {};
  }
  return DisplayTimeText(
      {local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond, 0});
}

ModSettingsWrite EditModSettingsFile(const ServerPaths& paths,
                                     const std::function<ModSettings(const ModSettings&)>& edit) {
  const std::string path = ModSettingsFile(paths);
  const WholeFile file = ReadWholeFile(path, kLargestTextFile);
  if (file.state == FileState::Unreadable) {
    return {ModSettingsWrite::Result::Failed, file.error};
  }
  const bool missing = file.state == FileState::Missing;
  const std::optional<ModSettings> now = missing ? ModSettings{} : ReadModSettings(file.bytes);
  if (!now) return {ModSettingsWrite::Result::EncodingRefused, {}};
  const std::optional<std::string> bytes = WriteModSettings(
      missing ? std::nullopt : std::optional<std::string_view>(file.bytes), edit(*now));
  if (!bytes) return {ModSettingsWrite::Result::EncodingRefused, {}};
  if (!missing && *bytes == file.bytes) return {ModSettingsWrite::Result::Unchanged, {}};
  if (Outcome made = EnsureDirectory(path.substr(0, path.rfind('\\'))); !made) {
    return {ModSettingsWrite::Result::Failed, made.Error()};
  }
  if (Outcome written = ReplaceWholeFile(path, *bytes); !written) {
    return {ModSettingsWrite::Result::Failed, written.Error()};
  }
  return {ModSettingsWrite::Result::Written, {}};
}

Outcome EditModOrigins(const ServerPaths& paths, const std::function<void(ModOrigins&)>& edit) {
  const std::string path = ModOriginsFile(paths);
  const WholeFile file = ReadWholeFile(path, kLargestTextFile);
  if (file.state == FileState::Unreadable) return file.error;
  ModOrigins origins = ReadModOrigins(file.bytes);
  edit(origins);
  const std::string text = ModOriginsText(origins);
  if (text == file.bytes) return {};
  return ReplaceWholeFile(path, text);
}

}  // namespace tidemoor
