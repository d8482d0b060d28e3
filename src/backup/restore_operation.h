#pragma once
// Restoring a backup point: the live save is kept as a point of its own, set aside, and replaced
// with the point's copy; a journal lets the next start carry through a restore the tool was
// killed in.

#include <optional>
#include <string>
#include <string_view>

#include "backup/backup_operations.h"

namespace tidemoor {

inline constexpr char kRestoreIncompleteMessage[] = " 备份点数据不完整 - 已取消还原 ";
inline constexpr char kRestoreFailedMessage[] = " 还原失败 - 原存档已保留 ";
// Followed by the path where the live save was set aside and, this time, stays.
inline constexpr char kRestoreKeptAsideMessage[] = " 还原失败 - 原存档保存在 ";
inline constexpr char kRestoreNoWorldMessage[] = " 备份点中没有世界存档 (SaveGames) - 已取消还原 ";
// Followed by why the point could not be made.
inline constexpr char kKeepBeforeRestoreFailedMessage[] =
    " 无法先将当前存档保存为还原前自动备份点 - 已取消还原 \r\n ";

std::string RestoreQuestion(std::string_view displayTime);
std::string RestoreDoneMessage(std::string_view displayTime);

// Replaces the live save with the selected point's copy after stopping the server. The live save
// is first kept as a point of its own, and only moved aside until the copy has succeeded, so a
// failed or cancelled restore keeps it in place and a mistaken one can be undone. A journal in
// PaLWorld_Data says how far it got, for a start after the tool was killed in between.
void RestoreBackupPoint(BackupHost& host, Prompt& prompt, const BackupPlaces& places,
                        const std::optional<BackupPoint>& selected);

// At start-up, before the server may start: a restore the tool was killed or lost power in is
// carried through to a whole live save, and logged; where the save cannot be put back, or the
// note names anything but this tool's save, the user is told where everything is.
void RepairInterruptedRestoreNow(BackupHost& host, Prompt& prompt, const BackupPlaces& places);

}  // namespace tidemoor
