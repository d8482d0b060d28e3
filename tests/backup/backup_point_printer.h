#pragma once
// Readable failure messages for tests that compare backup points.

#include <ostream>

#include "backup/backup_store.h"

namespace tidemoor {

inline void PrintTo(const BackupPoint& point, std::ostream* out) {
  *out << "{" << point.FolderName << ", " << point.DisplayTime << "}";
}

}  // namespace tidemoor
