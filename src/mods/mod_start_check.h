#pragma once
// What is wrong with the mods the server is about to load, told before the start: each problem
// one line, and the one that crashes the server at once (two UE4SS) as a question with its fix.

#include <functional>
#include <string>
#include <vector>

#include "mods/installed_mods.h"
#include "mods/mod_settings_file.h"

namespace tidemoor {

// Which of a hand-installed UE4SS's files lie in Pal\Binaries\Win64 (see mod_paths.h).
struct HandInstalledUe4ss {
  bool loader = false;        // dwmapi.dll
  bool dll = false;           // ue4ss\UE4SS.dll
  bool leftoverDll = false;   // UE4SS.dll
  bool leftoverMods = false;  // the Mods folder
};

inline constexpr char kTwoUe4ssQuestion[] =
    " 检测到手动安装的 UE4SS 与创意工坊 UE4SS 同时存在，服务端会在启动时崩溃 - 是否停用手动安装的 "
    "UE4SS? \r\n (dwmapi.dll 将改名为 dwmapi.dll.disabled) ";

struct ModStartCheck {
  std::vector<std::string> problems;  // one line each, for the host to read before the start
  // A hand-installed UE4SS beside a mod that brings the Workshop's: ask kTwoUe4ssQuestion, and on
  // Yes rename dwmapi.dll to DisabledLoaderName.
  bool askToDisableHandUe4ss = false;
};

// With mods switched off nothing loads, and nothing is wrong.
ModStartCheck CheckModsBeforeStart(const std::vector<InstalledMod>& mods,
                                   const ModSettings& settings, const HandInstalledUe4ss& found);

// The name dwmapi.dll is renamed to: dwmapi.dll.disabled, or .disabled.2 and on when taken.
std::string DisabledLoaderName(const std::function<bool(const std::string&)>& taken);

}  // namespace tidemoor
