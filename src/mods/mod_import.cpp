#include "mods/mod_import.h"

#include "mods/mod_info.h"
#include "platform/text.h"

namespace tidemoor {

std::string ShownText(std::string_view text, size_t maxCharacters) {
  return EscapeControlCharacters(text, maxCharacters);
}

ImportTarget ImportTargetOf(std::optional<std::string_view> infoJson) {
  const std::optional<ModInfo> info = infoJson ? ReadModInfo(*infoJson) : std::nullopt;
  if (!info) return {" 模组的 Info.json 无法读取或没有 PackageName - 已取消导入 ", {}, {}};
  if (!IsValidPackageName(info->packageName)) {
    return {" 模组的包名 \"" + ShownText(info->packageName) +
                "\" 含有英文字母和数字以外的字符, 无法作为文件夹名 - 已取消导入 ",
            {},
            {}};
  }
  return {{}, info->packageName, ShownModName(*info)};
}

std::string ImportRefusalText(ImportRefusal refusal, std::string_view entry) {
  const std::string named = entry.empty() ? std::string() : " (" + ShownText(entry) + ")";
  switch (refusal) {
    case ImportRefusal::None:
      return {};
    case ImportRefusal::Damaged:
      return " 压缩包已损坏或不完整 - 已取消导入 ";
    case ImportRefusal::Unsupported:
      return " 压缩包已加密或使用了不支持的格式 (只支持普通 zip) - 已取消导入 ";
    case ImportRefusal::TooLarge:
      return " 压缩包过大 (解压后单个文件最多 64 MB, 全部最多 2 GB) - 已取消导入 ";
    case ImportRefusal::UnsafePath:
      return " 压缩包含有不安全的路径 - 已取消导入 ";
    case ImportRefusal::Link:
      return " 压缩包含有符号链接" + named + " - 已取消导入 ";
    case ImportRefusal::SameTarget:
      return " 压缩包含有只有大小写不同的同名文件" + named + " - 已取消导入 ";
    case ImportRefusal::NoInfoJson:
      return " 未找到模组的 Info.json (应在最上层或其下一层文件夹中) - 已取消导入 ";
    case ImportRefusal::SeveralMods:
      return " 其中有多个文件夹含有 Info.json, 似乎是多个模组 - 请逐个导入 ";
  }
  return {};
}

std::string ReplaceFromSteamQuestion(std::string_view shownName) {
  return " 模组 " + ShownText(shownName) + " 已存在 - 是否用 Steam 中的版本替换? ";
}

std::string ReplaceFromFilesQuestion(std::string_view shownName) {
  return " 模组 " + ShownText(shownName) + " 已存在 - 是否用导入的版本替换? ";
}

WorkshopItemNames WorkshopItemNamesOf(std::string_view itemId,
                                      std::optional<std::string_view> infoJson) {
  const std::optional<ModInfo> info = infoJson ? ReadModInfo(*infoJson) : std::nullopt;
  if (!info) return {std::string(itemId), std::string(itemId)};
  return {ShownModName(*info), info->packageName};
}

}  // namespace tidemoor
