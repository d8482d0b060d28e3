#pragma once
// Whole folders of mods on the disk: what lies below one, copying it, unpacking an archive's plan
// into one, and putting a finished one in its place. Each runs on the calling thread: for a
// worker.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "mods/mod_archive.h"

namespace tidemoor {

// Where a step on the disk failed and why, as the host reads it; nothing when it was done.
using FolderFailure = std::optional<std::string>;

struct FolderContent {
  // Relative to the folder, parts joined by backslashes; a folder before what it holds.
  std::vector<std::string> folders;
  std::vector<std::string> files;
  FolderFailure failure;  // a folder below it could not be read
};

// Links (junctions, symbolic links) are neither entered nor listed: a mod needs none, and one
// could lead a copy out of the mod.
FolderContent FolderContentOf(const std::string& root);

// After each file: the files done and how many there are.
using FilesDone = std::function<void(int done, int total)>;

// Copies the content listed below from into to (which exists).
FolderFailure CopyFolderContent(const std::string& from, const FolderContent& content,
                                const std::string& to, const FilesDone& progress);

// Writes the planned entries below to (which exists); each file unpacked and checked first.
FolderFailure UnpackArchive(const ArchiveImportPlan& plan, const std::string& to,
                            const FilesDone& progress);

// Removes a folder of the tool's own with everything below it; links go, their targets stay.
void RemoveOwnFolder(const std::string& path);

bool FolderExists(const std::string& path);

// Moves the finished folder to the target's place. A folder already there goes to the Recycle Bin
// first when replace allows it, and fails the move otherwise.
FolderFailure PutInPlace(const std::string& finished, const std::string& target, bool replace);

}  // namespace tidemoor
