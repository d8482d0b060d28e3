#pragma once
// The world the dedicated server loads, and what the user is asked about it before a start. The
// server loads the folder that GameUserSettings.ini names under SaveGames\0; a world brought
// from co-op play carries WorldOption.sav there, which the server then reads in place of
// PalWorldSettings.ini, REST API switch and admin password included.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tidemoor {

inline constexpr char kWorldOptionFileName[] = "WorldOption.sav";
inline constexpr char kWorldOptionDisabledName[] = "WorldOption.sav.disabled";
inline constexpr char kWorldOptionQuestion[] =
    " 当前存档包含 WorldOption.sav，它会覆盖开服设置 (包括 REST API 和管理员密码) - "
    "是否将其改名停用? \r\n (改名前会先创建一个备份点，原文件保留为 WorldOption.sav.disabled) ";
inline constexpr char kWorldOptionPointFailedMessage[] =
    " 创建备份点失败 - WorldOption.sav 未改名 ";
inline constexpr char kWorldOptionRenameFailedMessage[] =
    " WorldOption.sav 改名失败 - 文件保持原样 (可能正被占用) ";

// " 开服设置指定的存档 <id> 不存在，服务端会新建一个空世界 - 现有存档: <ids> \r\n 是否仍然启动? "
std::string MissingWorldQuestion(std::string_view worldId,
                                 const std::vector<std::string>& existingWorlds);

// A world's folder name as it may safely be joined to a path: ASCII letters and digits only (the
// server names its worlds with 32 hexadecimal digits).
bool IsWorldId(std::string_view text);

// DedicatedServerName of section [/Script/Pal.PalGameLocalSettings] in the bytes of
// GameUserSettings.ini (UTF-8 or ASCII, with or without a byte order mark, or UTF-16 with one);
// empty when the key is missing or names no world.
std::string WorldIdFromGameUserSettings(std::string_view bytes);

// What the tool sees of the server's saves at one moment.
struct LoadedWorldFacts {
  std::string worldId;                      // empty: GameUserSettings.ini names none
  bool worldExists = false;                 // SaveGames\0\<worldId> is a folder
  bool hasWorldOption = false;              // ...and holds WorldOption.sav
  std::vector<std::string> existingWorlds;  // the folders under SaveGames\0
};

enum class WorldQuestion { None, DisableWorldOption, StartWithMissingWorld };

// Before a start both questions may come; when the world settings window opens only the one about
// WorldOption.sav. A world whose WorldOption.sav the user chose to keep is not asked about again.
// A missing world is told only when other worlds exist: on a first start there is nothing to lose.
WorldQuestion DecideWorldQuestion(const LoadedWorldFacts& facts,
                                  const std::vector<std::string>& keptWorlds, bool beforeStart);

// The name WorldOption.sav is renamed to: WorldOption.sav.disabled, or when an earlier rename took
// that, WorldOption.sav.disabled.2, .3 and on. A file already there may be the user's only copy of
// an older world's options, so it is never replaced.
std::string FreeDisabledName(const std::function<bool(const std::string&)>& taken);

// The worlds whose WorldOption.sav stays, as kept in the settings file: ids joined by commas.
std::vector<std::string> ParseKeptWorlds(std::string_view text);
std::string KeptWorldsText(const std::vector<std::string>& worlds);

}  // namespace tidemoor
