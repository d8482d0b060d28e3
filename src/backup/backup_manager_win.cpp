#include "backup/backup_manager_win.h"

namespace tidemoor {

void OpenBackupManager() {}
void OnAutoBackupTick() {}

}  // namespace tidemoor
