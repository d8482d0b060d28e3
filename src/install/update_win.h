#pragma once

namespace tidemoor {

void RunManualUpdate();  // 标签6 pressed
void RunAutoUpdate();    // before each start when 选择_自动更新服务端 is ticked

}  // namespace tidemoor
