#include "worldsettings/settings_catalogue.h"

#include "platform/text.h"

#include <iterator>

#include "common/product.h"

namespace tidemoor {
namespace {

constexpr char kTextKind[] = "文本";
constexpr char kNumberKind[] = "数值";
constexpr char kChoiceKind[] = "选择";

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

}  // namespace

std::string_view ValueKindText(ValueKind kind) {
  switch (kind) {
    case Text:
      return kTextKind;
    case Number:
      return kNumberKind;
    case Choice:
      break;
  }
  return kChoiceKind;
}

ValueKind ParseValueKind(std::string_view text) {
  if (text == kTextKind) return Text;
  if (text == kNumberKind) return Number;
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
