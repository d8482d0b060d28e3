#pragma once
// Where the files of a mod a host brings in go. A mod's root is the folder that holds its
// Info.json: the top of the archive or folder, or one folder down, as people pack them. An
// archive is judged whole before anything is written: one entry that could land outside the
// mod's folder (a ".." part, an absolute path, a drive, a name Windows would read otherwise), one
// link, or an archive past the caps turns all of it away.

#include <string>
#include <string_view>
#include <vector>

#include "common/zip_archive.h"

namespace tidemoor {

enum class ImportRefusal {
  None,
  Damaged,      // the archive is not whole
  Unsupported,  // encrypted, zip64, or packed in a way not unpacked here
  TooLarge,     // past the caps of zip_archive.h
  UnsafePath,   // an entry whose name could land outside the mod's folder
  Link,         // an entry that is a symbolic link
  SameTarget,   // two files that would be one on Windows (names differing only in case)
  NoInfoJson,   // no Info.json at the top or one folder down
  SeveralMods,  // no Info.json at the top, and one in more than one folder below it
};

// One entry of the archive and where it goes, relative to the mod's folder.
struct PlacedEntry {
  ZipEntry entry;
  std::string target;  // parts joined by backslashes, no leading or trailing one
};

struct ArchiveImportPlan {
  ImportRefusal refusal = ImportRefusal::None;
  std::string offendingEntry;  // the entry's name, where one entry is the reason
  std::string root;            // the mod's root inside the archive: "" or its folder's name
  ZipEntry infoJson;           // the root's Info.json
  // Every file and folder below the root, in the archive's order; entries outside the root are
  // left out.
  std::vector<PlacedEntry> entries;
};

ArchiveImportPlan PlanArchiveImport(const ZipListing& listing);

// The root of a mod in a folder, from the relative paths of the files below it (either
// separator): "" for the folder itself or the name of the one folder below it that holds
// Info.json; refusal NoInfoJson or SeveralMods otherwise.
struct ModRoot {
  ImportRefusal refusal = ImportRefusal::None;
  std::string folder;
};
ModRoot FindModRoot(const std::vector<std::string>& relativeFilePaths);

}  // namespace tidemoor
