#pragma once
// The server's start, stop and watch, as the main window's events run them.

namespace tidemoor {

void ToggleServer();   // 按钮_启动服务端 clicked
bool StopServer();     // also used by the update and the restore; false when the tool is closing
void OnMonitorTick();  // 时钟_检查游戏服务端状态
void SetServerConsoleHidden(bool hidden);  // 选择_隐藏原版控制台 clicked
void AdoptServerLeftRunning();             // at start-up, once the settings are loaded

}  // namespace tidemoor
