#include "worldsettings/settings_catalogue.h"

#include "platform/text.h"

#include <iterator>

#include "common/product.h"

namespace tidemoor {
namespace {

constexpr char kTextKind[] = "文本";
constexpr char kNumberKind[] = "数值";
constexpr char kChoiceKind[] = "选择";
constexpr char kEnumerationKind[] = "枚举";
constexpr char kListKind[] = "列表";
constexpr char kWrittenAtStart[] = " - 由主窗口的设置在每次开服时写入，此处只读";

struct CatalogueRow {
  const char* key;
  const char* displayName;
  const char* help;  // nullptr: the display name says it all
  ValueKind kind;
  const char* preset;
  // What a new file holds after "=". nullptr keeps the key out of a new file, so the server
  // decides for itself.
  const char* templateDefault;
};

const std::string kQuotedBanListAddress = std::string("\"") + kOfficialBanListAddress + "\"";

using enum ValueKind;

// Seven rows deliberately differ between preset and template: the preset is what a row shows
// when an existing file does not name its key, the template what a brand-new server gets.
const CatalogueRow kRows[] = {
    {"Difficulty", "游戏难度设置", "难度选择（Casual=休闲，Normal=正常，Hard=困难）", Text, "None",
     "None"},
    {"DayTimeSpeedRate", "更改白天的持续时间", "更改白天的持续时间，越小越长", Number, "1.000000",
     "1.000000"},
    {"NightTimeSpeedRate", "更改夜晚的持续时间", "更改夜晚的持续时间，越小越长", Number, "1.000000",
     "1.000000"},
    {"ExpRate", "玩家经验值获取倍率", "经验值倍率，玩家在各种能得到经验场景根据倍率获取", Number,
     "1.000000", "1.000000"},
    {"PalCaptureRate", "捕获帕鲁的成功倍率", "捕获帕鲁的成功倍率，越大可能性越高", Number,
     "1.000000", "1.000000"},
    {"PalSpawnNumRate", "帕鲁出现数量倍率", "帕鲁出现数量倍率，越高生成越多", Number, "1.000000",
     "1.000000"},
    {"PalDamageRateAttack", "帕鲁攻击伤害倍率", nullptr, Number, "1.000000", "1.000000"},
    {"PalDamageRateDefense", "帕鲁承受伤害倍率", nullptr, Number, "1.000000", "1.000000"},
    {"PlayerDamageRateAttack", "玩家造成的伤害倍率", nullptr, Number, "1.000000", "1.000000"},
    {"PlayerDamageRateDefense", "玩家防御伤害率", nullptr, Number, "1.000000", "1.000000"},
    {"PlayerStomachDecreaceRate", "玩家饥饿下降率", nullptr, Number, "1.000000", "1.000000"},
    {"PlayerStaminaDecreaceRate", "玩家耐力下降率", nullptr, Number, "1.000000", "1.000000"},
    {"PlayerAutoHPRegeneRate", "玩家自动生命值恢复率", nullptr, Number, "1.000000", "1.000000"},
    {"PlayerAutoHpRegeneRateInSleep", "玩家睡眠时生命值恢复率", nullptr, Number, "1.000000",
     "1.000000"},
    {"PalStomachDecreaceRate", "帕鲁饥饿下降率", nullptr, Number, "1.000000", "1.000000"},
    {"PalStaminaDecreaceRate", "帕鲁耐力下降率", nullptr, Number, "1.000000", "1.000000"},
    {"PalAutoHPRegeneRate", "帕鲁自动生命值恢复率", nullptr, Number, "1.000000", "1.000000"},
    {"PalAutoHpRegeneRateInSleep", "帕鲁睡眠时生命值恢复率", nullptr, Number, "1.000000",
     "1.000000"},
    {"BuildObjectDamageRate", "建筑物伤害率", nullptr, Number, "1.000000", "1.000000"},
    {"BuildObjectDeteriorationDamageRate", "建筑物退化伤害率", nullptr, Number, "1.000000",
     "1.000000"},
    {"CollectionDropRate", "收集物品掉落率", nullptr, Number, "1.000000", "1.000000"},
    {"CollectionObjectHpRate", "收集物品生命值率", nullptr, Number, "1.000000", "1.000000"},
    {"CollectionObjectRespawnSpeedRate", "收集物品重生速率", nullptr, Number, "1.000000",
     "1.000000"},
    {"EnemyDropItemRate", "敌人掉落物品率", nullptr, Number, "1.000000", "1.000000"},
    {"DeathPenalty", "玩家的死亡惩罚",
     "死亡惩罚 "
     "(全部掉落=ALL/不掉落=None/仅失去物品(不包含装备)=Item/失去物品和装备=ItemAndEquipment)",
     Text, "ALL", "All"},
    {"bEnablePlayerToPlayerDamage", "否允许玩家对玩家造成伤害", nullptr, Choice, "False", "False"},
    {"bEnableFriendlyFire", "是否允许友军火力", nullptr, Choice, "False", "False"},
    {"bEnableInvaderEnemy", "是否启用入侵者敌人", nullptr, Choice, "True", "True"},
    {"bActiveUNKO", "帕鲁自动进行拉屎", nullptr, Choice, "False", "False"},
    {"bEnableAimAssistPad", "是否启用控制器瞄准辅助", nullptr, Choice, "True", "True"},
    {"bEnableAimAssistKeyboard", "是否启用键盘瞄准辅助", nullptr, Choice, "False", "False"},
    {"DropItemMaxNum", "掉落物品最大数量", nullptr, Number, "30000", "3000"},
    {"DropItemMaxNum_UNKO", "帕鲁屎的掉落最大数量", nullptr, Number, "100", "100"},
    {"BaseCampMaxNum", "基地营地最大数量", nullptr, Number, "128", "128"},
    {"BaseCampWorkerMaxNum", "基地营地工人最大数量", nullptr, Number, "15", "15"},
    {"DropItemAliveMaxHours", "掉落物品存活最大小时数", nullptr, Number, "1.000000", "1.000000"},
    {"bAutoResetGuildNoOnlinePlayers", "当无在线玩家时是否自动重置公会", nullptr, Choice, "False",
     "False"},
    {"AutoResetGuildTimeNoOnlinePlayers", "无在线玩家时公会自动重置时间", nullptr, Number,
     "72.000000", "72.000000"},
    {"GuildPlayerMaxNum", "公会玩家最大数量", nullptr, Number, "20", "20"},
    {"PalEggDefaultHatchingTime", "帕鲁的蛋默认孵化时间", nullptr, Number, "72.000000",
     "72.000000"},
    {"WorkSpeedRate", "玩家工作建筑速度", nullptr, Number, "1.000000", "1.000000"},
    {"bIsMultiplay", "是否为多人游戏", "是否为多人游戏，这个设置设置目前并没什么用处", Choice,
     "False", "False"},
    {"bIsPvP", "是否允许玩家之间的对战", nullptr, Choice, "False", "False"},
    {"bCanPickupOtherGuildDeathPenaltyDrop", "是否可以拾取其他公会死亡惩罚掉落物", nullptr, Choice,
     "False", "False"},
    {"bEnableNonLoginPenalty", "是否启用非登录惩罚", nullptr, Choice, "True", "True"},
    {"bEnableFastTravel", "是否启用快速旅行", nullptr, Choice, "True", "True"},
    {"bIsStartLocationSelectByMap", "是否由地图选择起始位置", nullptr, Choice, "True", "True"},
    {"bExistPlayerAfterLogout", "退出登录后是否存在玩家", nullptr, Choice, "True", "False"},
    {"bEnableDefenseOtherGuildPlayer", "是否允许防御其他公会玩家", nullptr, Choice, "True",
     "False"},
    {"CoopPlayerMaxNum", "合作模式玩家最大数量", nullptr, Number, "4", "4"},
    {"ServerDescription", "服务器描述", nullptr, Text, "未填写描述", "\"\""},
    {"RCONEnabled", "Rcon远程控制台功能", "启用Rcon远程管理方便进行各类远程后台操作", Choice,
     "False", "False"},
    {"RCONPort", "Rcon远程管理端口", nullptr, Number, "25575", "25575"},
    {"Region", "服务器所在区域", nullptr, Text, "China", "\"\""},
    {"bUseAuth", "是否使用游戏认证", nullptr, Choice, "True", "True"},
    {"BanListURL", "封禁名单URL获取地址", nullptr, Text, kOfficialBanListAddress,
     kQuotedBanListAddress.c_str()},
    {"bShowPlayerList", "显示在线玩家列表", nullptr, Choice, "True", nullptr},
};

// The options the 1.0 server added. Choices are separated by "|".
struct ServerOptionRow {
  const char* key;
  const char* displayName;
  const char* help;  // nullptr: the display name says it all
  ValueKind kind;
  const char* choices = nullptr;
};

const ServerOptionRow kServerOptions[] = {
    {"RandomizerType", "帕鲁随机化模式",
     "野生帕鲁的随机化（None=关闭，Region=按区域随机，All=全部随机）", Enumeration,
     "None|Region|All"},
    {"RandomizerSeed", "随机化种子", "帕鲁随机化使用的种子，留空时由服务端自动生成", Text},
    {"bIsRandomizerPalLevelRandom", "随机化帕鲁等级", "随机化时帕鲁的等级是否也随机", Choice},
    {"BuildObjectHpRate", "建筑物耐久倍率", "建筑物生命值倍率，越大越耐打", Number},
    {"PhysicsActiveDropItemMaxNum", "受物理影响的掉落物最大数量",
     "同时受物理模拟的掉落物最大数量，-1 为不限制", Number},
    {"BaseCampMaxNumInGuild", "每个公会的据点最大数量", nullptr, Number},
    {"AutoSaveSpan", "自动存档间隔（秒）", "服务端自动保存世界的间隔秒数", Number},
    {"bHardcore", "硬核模式", "硬核模式：玩家死亡后角色无法复活", Choice},
    {"bPalLost", "死亡时失去帕鲁", "玩家死亡时永久失去随身携带的帕鲁", Choice},
    {"bCharacterRecreateInHardcore", "硬核模式下允许重建角色",
     "硬核模式中角色死亡后是否可以重新创建角色", Choice},
    {"bEnableFastTravelOnlyBaseCamp", "仅允许快速旅行到据点", nullptr, Choice},
    {"bInvisibleOtherGuildBaseCampAreaFX", "隐藏其他公会据点的范围特效", nullptr, Choice},
    {"bBuildAreaLimit", "限制建造区域", "禁止在快速旅行点等地点附近建造", Choice},
    {"ItemWeightRate", "物品重量倍率", nullptr, Number},
    {"ServerPlayerMaxNum", "服务器最大玩家数", "可同时加入服务器的最大玩家数", Number},
    {"ServerName", "服务器名称", nullptr, Text},
    {"AdminPassword", "管理员密码", nullptr, Text},
    {"ServerPassword", "服务器密码", nullptr, Text},
    {"bAllowClientMod", "允许客户端模组", "是否允许安装了模组的客户端加入", Choice},
    {"PublicPort", "公开端口", "在服务器列表中公布的端口（不改变实际监听的端口）", Number},
    {"PublicIP", "公开IP地址", "在服务器列表中公布的IP地址，留空时自动检测", Text},
    {"RESTAPIEnabled", "REST API 功能", "启用 REST API（安全关服需要它，请勿将其端口开放到公网）",
     Choice},
    {"RESTAPIPort", "REST API 端口", nullptr, Number},
    {"ChatPostLimitPerMinute", "每分钟聊天发言上限", nullptr, Number},
    {"CrossplayPlatforms", "允许跨平台联机的平台", "允许连接到服务器的平台（勾选即允许）", List,
     "Steam|Xbox|PS5|Mac"},
    {"bIsUseBackupSaveData", "启用服务端自带的存档备份",
     "服务端定期在世界存档的 backup 目录中保留快照", Choice},
    {"LogFormatType", "日志格式", "服务端日志的输出格式（Text=文本，Json=JSON）", Enumeration,
     "Text|Json"},
    {"bIsShowJoinLeftMessage", "显示玩家加入和离开的消息", nullptr, Choice},
    {"SupplyDropSpan", "空投补给间隔（分钟）", "补给物资空投的间隔分钟数", Number},
    {"EnablePredatorBossPal", "出现掠食者头目帕鲁", nullptr, Choice},
    {"MaxBuildingLimitNum", "建筑物数量上限", "每位玩家可建造的建筑数量上限，0 为不限制", Number},
    {"ServerReplicatePawnCullDistance", "角色同步距离",
     "服务端向客户端同步帕鲁和角色的最大距离（厘米）", Number},
    {"bAllowGlobalPalboxExport", "允许存入全局帕鲁箱", "允许把帕鲁存入全局帕鲁箱，以便带到其他世界",
     Choice},
    {"bAllowGlobalPalboxImport", "允许从全局帕鲁箱取出", "允许把其他世界存入的帕鲁带进这个世界",
     Choice},
    {"EquipmentDurabilityDamageRate", "装备耐久损耗倍率", nullptr, Number},
    {"ItemContainerForceMarkDirtyInterval", "物品容器强制同步间隔（秒）", nullptr, Number},
    {"PlayerDataPalStorageUpdateCheckTickInterval", "玩家帕鲁存储检查间隔（秒）", nullptr, Number},
    {"ItemCorruptionMultiplier", "物品腐坏速度倍率", nullptr, Number},
    {"MonsterFarmActionSpeedRate", "帕鲁牧场产出速度倍率", nullptr, Number},
    {"DenyTechnologyList", "禁用的科技列表", "禁止解锁的科技，填写科技名称，多个用逗号分隔", List},
    {"GuildRejoinCooldownMinutes", "重新加入公会的冷却时间（分钟）", nullptr, Number},
    {"AutoTransferMasterCheckIntervalSeconds", "会长自动移交检查间隔（秒）", nullptr, Number},
    {"AutoTransferMasterThresholdDays", "会长自动移交的离线天数",
     "会长离线超过此天数时自动移交给其他成员", Number},
    {"MaxGuildsPerFrame", "每帧处理的公会数量", nullptr, Number},
    {"BlockRespawnTime", "复活等待时间（秒）", nullptr, Number},
    {"RespawnPenaltyDurationThreshold", "复活惩罚的时间阈值（秒）", nullptr, Number},
    {"RespawnPenaltyTimeScale", "复活惩罚时间倍率", nullptr, Number},
    {"bDisplayPvPItemNumOnWorldMap_BaseCamp", "在地图上显示据点的PvP物品数量", nullptr, Choice},
    {"bDisplayPvPItemNumOnWorldMap_Player", "在地图上显示玩家的PvP物品数量", nullptr, Choice},
    {"AdditionalDropItemWhenPlayerKillingInPvPMode", "PvP击杀玩家时额外掉落的物品",
     "PvP 模式中击杀玩家时额外掉落的物品ID", Text},
    {"AdditionalDropItemNumWhenPlayerKillingInPvPMode", "PvP击杀玩家时额外掉落的数量", nullptr,
     Number},
    {"bAdditionalDropItemWhenPlayerKillingInPvPMode", "PvP击杀玩家时额外掉落物品", nullptr, Choice},
    {"bEnableVoiceChat", "启用语音聊天", nullptr, Choice},
    {"VoiceChatMaxVolumeDistance", "语音聊天最大音量距离", "在此距离内语音为最大音量（厘米）",
     Number},
    {"VoiceChatZeroVolumeDistance", "语音聊天静音距离", "超过此距离听不到语音（厘米）", Number},
    {"bAllowEnhanceStat_Health", "允许强化生命值", "是否允许玩家用能力点强化生命值", Choice},
    {"bAllowEnhanceStat_Attack", "允许强化攻击力", "是否允许玩家用能力点强化攻击力", Choice},
    {"bAllowEnhanceStat_Stamina", "允许强化耐力", "是否允许玩家用能力点强化耐力", Choice},
    {"bAllowEnhanceStat_Weight", "允许强化负重", "是否允许玩家用能力点强化负重", Choice},
    {"bAllowEnhanceStat_WorkSpeed", "允许强化工作速度", "是否允许玩家用能力点强化工作速度", Choice},
    {"bEnableBuildingPlayerUIdDisplay", "显示建筑物的建造者", "是否在建筑物上显示建造者的玩家ID",
     Choice},
    {"BuildingNameDisplayCacheTTLSeconds", "建造者名称缓存时间（秒）", nullptr, Number},
};

std::vector<std::string> SplitChoices(const char* choices) {
  std::vector<std::string> words;
  if (!choices) return words;
  std::string_view rest = choices;
  for (size_t bar; (bar = rest.find('|')) != std::string_view::npos; rest.remove_prefix(bar + 1)) {
    words.emplace_back(rest.substr(0, bar));
  }
  words.emplace_back(rest);
  return words;
}

SettingEntry EntryOf(const ServerOptionRow& row) {
  std::string help = row.help ? row.help : row.displayName;
  if (IsWrittenAtStart(row.key)) help += kWrittenAtStart;
  return SettingEntry{
      row.key, row.displayName,          std::move(help), std::string(ValueKindText(row.kind)),
      "",      SplitChoices(row.choices)};
}

}  // namespace

std::string_view ValueKindText(ValueKind kind) {
  switch (kind) {
    case Text:
      return kTextKind;
    case Number:
      return kNumberKind;
    case Enumeration:
      return kEnumerationKind;
    case List:
      return kListKind;
    case Choice:
      break;
  }
  return kChoiceKind;
}

ValueKind ParseValueKind(std::string_view text) {
  if (text == kTextKind) return Text;
  if (text == kNumberKind) return Number;
  if (text == kEnumerationKind) return Enumeration;
  if (text == kListKind) return List;
  return Choice;
}

std::vector<SettingEntry> WorldSettingsCatalogue() {
  std::vector<SettingEntry> rows;
  rows.reserve(std::size(kRows));
  for (const CatalogueRow& row : kRows) {
    rows.push_back(SettingEntry{row.key, row.displayName, row.help ? row.help : row.displayName,
                                std::string(ValueKindText(row.kind)), row.preset});
  }
  return rows;
}

int FindSettingRow(const std::vector<SettingEntry>& rows, std::string_view key) {
  if (key.empty()) return -1;
  for (size_t i = 0; i < rows.size(); ++i) {
    if (EqualsIgnoringCase(rows[i].Key, key)) return static_cast<int>(i);
  }
  return -1;
}

std::optional<SettingEntry> ServerOptionEntry(std::string_view key) {
  for (const ServerOptionRow& row : kServerOptions) {
    if (EqualsIgnoringCase(row.key, key)) return EntryOf(row);
  }
  return std::nullopt;
}

std::vector<SettingEntry> ServerOptionCatalogue() {
  std::vector<SettingEntry> entries;
  entries.reserve(std::size(kServerOptions));
  for (const ServerOptionRow& row : kServerOptions) entries.push_back(EntryOf(row));
  return entries;
}

bool IsWrittenAtStart(std::string_view key) {
  for (std::string_view written : {"ServerName", "ServerPassword", "AdminPassword"}) {
    if (EqualsIgnoringCase(key, written)) return true;
  }
  return false;
}

std::string WorldSettingsTemplate() {
  std::string pairs;
  for (const CatalogueRow& row : kRows) {
    if (!row.templateDefault) continue;
    if (!pairs.empty()) pairs += ',';
    pairs += row.key;
    pairs += '=';
    pairs += row.templateDefault;
  }
  return "\r\n[/Script/Pal.PalGameWorldSettings]\r\nOptionSettings=(" + pairs + ")\r\n\r\n\r\n";
}

}  // namespace tidemoor
