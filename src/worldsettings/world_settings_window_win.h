#pragma once

namespace tidemoor {

void OpenWorldSettingsWindow();  // 标签7 left button
void RevealWorldSettingsFile();  // 标签7 right button

}  // namespace tidemoor
