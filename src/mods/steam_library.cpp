#include "mods/steam_library.h"

#include <algorithm>

#include "common/vdf_text.h"
#include "platform/text.h"

namespace tidemoor {
namespace {

// Ids are 64-bit numbers; nothing longer is one.
constexpr size_t kLongestItemId = 20;

bool AllDigits(std::string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string FolderPath(std::string_view path) {
  std::string folder = ReplaceAll(std::string(TrimBlanks(path)), "/", "\\");
  // "D:\" stays a drive root: "D:" alone would name the drive's current folder.
  while (folder.size() > 1 && folder.back() == '\\' && !folder.ends_with(":\\")) {
    folder.pop_back();
  }
  return folder;
}

// A path below the library's steamapps\workshop; a drive root keeps its one backslash.
std::string InLibrary(std::string_view library, std::string_view belowWorkshop) {
  std::string path = FolderPath(library);
  if (!path.ends_with('\\')) path += '\\';
  return path + "steamapps\\workshop\\" + std::string(belowWorkshop);
}

const VdfBlock::Entry* Child(const std::vector<VdfBlock::Entry>& entries, std::string_view key) {
  for (const VdfBlock::Entry& entry : entries) {
    if (entry.isBlock && EqualsIgnoringCase(entry.key, key)) return &entry;
  }
  return nullptr;
}

// Today's file gives each library a block with its "path"; older ones gave the path itself.
std::vector<std::string> ListedLibraries(std::string_view vdf) {
  std::vector<std::string> paths;
  const std::optional<VdfBlock> root = ReadVdf(vdf);
  const VdfBlock::Entry* folders = root ? Child(root->entries, "libraryfolders") : nullptr;
  if (!folders) return paths;
  for (const VdfBlock::Entry& entry : folders->block) {
    if (!AllDigits(entry.key)) continue;
    if (!entry.isBlock) {
      paths.push_back(entry.value);
    } else if (const auto path = VdfValue(VdfBlock{entry.block}, {"path"})) {
      paths.push_back(*path);
    }
  }
  return paths;
}

// The value of the query's id parameter in a Steam address, as digits.
std::optional<std::string> IdInAddress(std::string_view address) {
  for (const std::string_view scheme : {"https://", "http://"}) {
    if (address.size() >= scheme.size() &&
        EqualsIgnoringCase(address.substr(0, scheme.size()), scheme)) {
      address.remove_prefix(scheme.size());
      break;
    }
  }
  const size_t slash = address.find('/');
  if (slash == std::string_view::npos) return std::nullopt;
  const std::string_view host = address.substr(0, slash);
  if (!EqualsIgnoringCase(host, "steamcommunity.com") &&
      !EqualsIgnoringCase(host, "www.steamcommunity.com")) {
    return std::nullopt;
  }
  const size_t question = address.find('?', slash);
  if (question == std::string_view::npos) return std::nullopt;
  std::string_view path = address.substr(slash, question - slash);
  if (path.ends_with('/')) path.remove_suffix(1);
  if (!EqualsIgnoringCase(path, "/sharedfiles/filedetails") &&
      !EqualsIgnoringCase(path, "/workshop/filedetails")) {
    return std::nullopt;
  }
  std::string_view query = address.substr(question + 1);
  query = query.substr(0, query.find('#'));
  while (!query.empty()) {
    const size_t amp = query.find('&');
    const std::string_view pair = query.substr(0, amp);
    if (pair.starts_with("id=")) return std::string(pair.substr(3));
    if (amp == std::string_view::npos) break;
    query.remove_prefix(amp + 1);
  }
  return std::nullopt;
}

}  // namespace

std::vector<std::string> SteamLibraryFolders(std::string_view steamPath,
                                             std::optional<std::string_view> libraryFoldersVdf) {
  std::vector<std::string> candidates{std::string(steamPath)};
  if (libraryFoldersVdf) {
    for (std::string& path : ListedLibraries(*libraryFoldersVdf)) {
      candidates.push_back(std::move(path));
    }
  }
  std::vector<std::string> folders;
  for (const std::string& candidate : candidates) {
    std::string folder = FolderPath(candidate);
    if (folder.empty()) continue;
    const bool known = std::any_of(folders.begin(), folders.end(), [&](const std::string& f) {
      return EqualsIgnoringCase(f, folder);
    });
    if (!known) folders.push_back(std::move(folder));
  }
  return folders;
}

std::string WorkshopContentDir(std::string_view library) {
  return InLibrary(library, std::string("content\\") + kPalworldAppId);
}

std::string WorkshopItemsFile(std::string_view library) {
  return InLibrary(library, std::string("appworkshop_") + kPalworldAppId + ".acf");
}

std::optional<std::string> WorkshopItemsFileOf(std::string_view itemFolder) {
  const std::string folder = FolderPath(itemFolder);
  const size_t idStart = folder.rfind('\\');
  if (idStart == std::string::npos || !AllDigits(std::string_view(folder).substr(idStart + 1))) {
    return std::nullopt;
  }
  const std::string tail = std::string("\\steamapps\\workshop\\content\\") + kPalworldAppId;
  const std::string_view content = std::string_view(folder).substr(0, idStart);
  if (content.size() < tail.size() ||
      !EqualsIgnoringCase(content.substr(content.size() - tail.size()), tail)) {
    return std::nullopt;
  }
  return WorkshopItemsFile(content.substr(0, content.size() - tail.size()));
}

std::map<std::string, uint64_t> WorkshopItemTimes(std::string_view appWorkshopAcf) {
  std::map<std::string, uint64_t> times;
  const std::optional<VdfBlock> root = ReadVdf(appWorkshopAcf);
  const VdfBlock::Entry* workshop = root ? Child(root->entries, "AppWorkshop") : nullptr;
  const VdfBlock::Entry* items =
      workshop ? Child(workshop->block, "WorkshopItemsInstalled") : nullptr;
  if (!items) return times;
  for (const VdfBlock::Entry& item : items->block) {
    if (!item.isBlock || !AllDigits(item.key)) continue;
    if (const auto time = VdfNumber(VdfValue(VdfBlock{item.block}, {"timeupdated"}))) {
      times[item.key] = *time;
    }
  }
  return times;
}

std::optional<std::string> WorkshopItemId(std::string_view pasted) {
  const std::string text = FullWidthToAscii(pasted);
  const std::string_view trimmed = TrimBlanks(text, " \t\r\n");
  const std::optional<std::string> id =
      AllDigits(trimmed) ? std::optional<std::string>(trimmed) : IdInAddress(trimmed);
  if (!id || !AllDigits(*id)) return std::nullopt;
  // Steam names an item's folder by its number, without leading zeros.
  const size_t first = id->find_first_not_of('0');
  if (first == std::string::npos || id->size() - first > kLongestItemId) return std::nullopt;
  return id->substr(first);
}

}  // namespace tidemoor
