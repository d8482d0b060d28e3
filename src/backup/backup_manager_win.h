#pragma once

namespace tidemoor {

void OpenBackupManager();  // 标签12 pressed
void OnAutoBackupTick();   // 时钟_定时保存玩家存档

}  // namespace tidemoor
