#include "mods/mod_archive.h"

#include <algorithm>
#include <array>
#include <set>

#include "platform/text.h"

namespace tidemoor {
namespace {

using Parts = std::vector<std::string_view>;

constexpr std::string_view kInfoJson = "Info.json";

// The folders and the file of a path, either separator; empty parts and "." name nothing.
Parts PathParts(std::string_view path) {
  Parts parts;
  while (!path.empty()) {
    const size_t separator = path.find_first_of("/\\");
    const std::string_view part = path.substr(0, separator);
    if (!part.empty() && part != ".") parts.push_back(part);
    if (separator == std::string_view::npos) break;
    path.remove_prefix(separator + 1);
  }
  return parts;
}

// Names Windows gives to devices, whatever extension follows them.
bool IsDeviceName(std::string_view part) {
  const std::string_view stem = TrimBlanks(part.substr(0, part.find('.')), " ");
  for (const std::string_view device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"}) {
    if (EqualsIgnoringCase(stem, device)) return true;
  }
  if (stem.size() < 4) return false;
  const std::string_view prefix = stem.substr(0, 3);
  if (!EqualsIgnoringCase(prefix, "COM") && !EqualsIgnoringCase(prefix, "LPT")) return false;
  const std::string_view number = stem.substr(3);
  constexpr std::array<std::string_view, 3> superscripts = {"\xC2\xB9", "\xC2\xB2", "\xC2\xB3"};
  return (number.size() == 1 && number[0] >= '0' && number[0] <= '9') ||
         std::find(superscripts.begin(), superscripts.end(), number) != superscripts.end();
}

// A part Windows creates under that very name, inside the folder it is meant for: no way up, no
// drive or stream (a colon), no character a file name cannot hold, no trailing dot or blank
// (Windows drops them, so "Info.json." would land on Info.json), no device.
bool IsSafePart(std::string_view part) {
  if (part == ".." || part.ends_with('.') || part.ends_with(' ') || IsDeviceName(part)) {
    return false;
  }
  return std::none_of(part.begin(), part.end(), [](char c) {
    return static_cast<unsigned char>(c) < 0x20 ||
           std::string_view("<>:\"|?*").find(c) != std::string_view::npos;
  });
}

bool IsSafeName(std::string_view name) {
  if (name.empty() || !IsUtf8(name) || name.front() == '/' || name.front() == '\\') return false;
  const Parts parts = PathParts(name);
  return std::all_of(parts.begin(), parts.end(), IsSafePart);
}

bool IsInfoJson(std::string_view part) {
  return EqualsIgnoringCase(part, kInfoJson);
}

ModRoot RootAmong(const std::vector<Parts>& files) {
  bool atTop = false;
  std::vector<std::string_view> below;
  for (const Parts& parts : files) {
    if (parts.size() == 1 && IsInfoJson(parts[0])) atTop = true;
    if (parts.size() != 2 || !IsInfoJson(parts[1])) continue;
    const bool known = std::any_of(below.begin(), below.end(), [&](std::string_view folder) {
      return EqualsIgnoringCase(folder, parts[0]);
    });
    if (!known) below.push_back(parts[0]);
  }
  if (atTop) return {};
  if (below.size() == 1) return {ImportRefusal::None, std::string(below[0])};
  return {below.empty() ? ImportRefusal::NoInfoJson : ImportRefusal::SeveralMods, {}};
}

ImportRefusal FromZipFault(ZipFault fault) {
  switch (fault) {
    case ZipFault::None:
      return ImportRefusal::None;
    case ZipFault::Unsupported:
      return ImportRefusal::Unsupported;
    case ZipFault::TooLarge:
      return ImportRefusal::TooLarge;
    case ZipFault::Damaged:
      break;
  }
  return ImportRefusal::Damaged;
}

ArchiveImportPlan Refused(ImportRefusal refusal, std::string_view entry = {}) {
  ArchiveImportPlan plan;
  plan.refusal = refusal;
  plan.offendingEntry = std::string(entry);
  return plan;
}

}  // namespace

ArchiveImportPlan PlanArchiveImport(const ZipListing& listing) {
  if (listing.fault != ZipFault::None) return Refused(FromZipFault(listing.fault));
  std::vector<Parts> parts, files;
  for (const ZipEntry& entry : listing.entries) {
    if (entry.isLink) return Refused(ImportRefusal::Link, entry.name);
    if (!IsSafeName(entry.name)) return Refused(ImportRefusal::UnsafePath, entry.name);
    parts.push_back(PathParts(entry.name));
    if (!entry.isFolder) files.push_back(parts.back());
  }
  const ModRoot root = RootAmong(files);
  if (root.refusal != ImportRefusal::None) return Refused(root.refusal);

  ArchiveImportPlan plan;
  plan.root = root.folder;
  std::set<std::string> fileTargets;  // without case, as Windows compares names
  for (size_t i = 0; i < listing.entries.size(); ++i) {
    const ZipEntry& entry = listing.entries[i];
    Parts inRoot = parts[i];
    if (!root.folder.empty()) {
      if (inRoot.empty() || !EqualsIgnoringCase(inRoot[0], root.folder)) continue;
      inRoot.erase(inRoot.begin());
    }
    if (inRoot.empty()) continue;  // the root folder itself
    std::string target(inRoot[0]);
    for (size_t p = 1; p < inRoot.size(); ++p) target.append("\\").append(inRoot[p]);
    if (!entry.isFolder) {
      std::string folded = target;
      std::transform(folded.begin(), folded.end(), folded.begin(), LowerAscii);
      if (!fileTargets.insert(std::move(folded)).second) {
        return Refused(ImportRefusal::SameTarget, entry.name);
      }
      if (inRoot.size() == 1 && IsInfoJson(inRoot[0])) plan.infoJson = entry;
    }
    plan.entries.push_back({entry, std::move(target)});
  }
  return plan;
}

ModRoot FindModRoot(const std::vector<std::string>& relativeFilePaths) {
  std::vector<Parts> files;
  for (const std::string& path : relativeFilePaths) files.push_back(PathParts(path));
  return RootAmong(files);
}

}  // namespace tidemoor
