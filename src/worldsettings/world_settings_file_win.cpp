#include "worldsettings/world_settings_file_win.h"

#include <string>

#include "platform/directories_win.h"
#include "platform/whole_file_win.h"
#include "worldsettings/rest_api_settings.h"

namespace tidemoor {
namespace {

// A file this short cannot hold an option list; the server leaves such files behind.
constexpr size_t kNearlyEmptyBytes = 10;

bool HoldsNoOptionList(const WholeFile& content) {
  return content.state == FileState::Missing || content.bytes.size() <= kNearlyEmptyBytes;
}

}  // namespace

bool EnsureWorldSettingsFile(const ServerPaths& paths) {
  EnsureDirectory(WorldSettingsDir(paths));
  const std::string file = WorldSettingsFile(paths);
  const WholeFile content = ReadWholeFile(file);
  if (content.state == FileState::Unreadable) return false;
  if (HoldsNoOptionList(content)) {
    // A failed write leaves no file or the short one; loading then keeps the presets.
    ReplaceWholeFile(file, WorldSettingsTemplate());
  }
  return true;
}

bool LoadWorldSettings(const ServerPaths& paths, WorldSettings& settings) {
  const WholeFile content = ReadWholeFile(WorldSettingsFile(paths));
  if (content.state == FileState::Unreadable) return false;
  ApplyWorldSettingsText(content.bytes, settings);
  return true;
}

void ApplyServerDefaults(const ServerPaths& paths, WorldSettings& settings) {
  const WholeFile content = ReadWholeFile(paths.ServerDir + "DefaultPalWorldSettings.ini");
  if (content.state == FileState::Read) ApplyServerDefaultsText(content.bytes, settings);
}

bool SaveWorldSettings(const ServerPaths& paths, const WorldSettings& settings, Prompt& prompt) {
  if (!ReplaceWholeFile(WorldSettingsFile(paths), WorldSettingsFileText(settings))) {
    prompt.Ask(" 保存失败 - 无法写入 PalWorldSettings.ini ", " Error", PromptStyle::Error);
    return false;
  }
  prompt.Ask(" 已保存当前设置，需要重启服务端后生效 ", " Save", PromptStyle::Plain);
  return true;
}

RestApiFileResult EnableRestApiInWorldSettings(const ServerPaths& paths, int port,
                                               std::string_view adminPassword) {
  EnsureDirectory(WorldSettingsDir(paths));
  const std::string file = WorldSettingsFile(paths);
  const WholeFile content = ReadWholeFile(file);
  if (content.state == FileState::Unreadable) return RestApiFileResult::Unreadable;
  const std::string base = HoldsNoOptionList(content) ? WorldSettingsTemplate() : content.bytes;
  const std::optional<std::string> text = WithRestApiEnabled(base, port, adminPassword);
  if (!text) return RestApiFileResult::Unchanged;
  return ReplaceWholeFile(file, *text) ? RestApiFileResult::Written
                                       : RestApiFileResult::WriteFailed;
}

bool RestApiOnInWorldSettings(const ServerPaths& paths) {
  const WholeFile content = ReadWholeFile(WorldSettingsFile(paths));
  return content.state == FileState::Read && RestApiEnabledIn(content.bytes);
}

void ShowWorldSettingsUnreadable(Prompt& prompt) {
  prompt.Ask(" 无法读取 PalWorldSettings.ini - 请关闭占用该文件的程序后重试 ", " Error",
             PromptStyle::Error);
}

}  // namespace tidemoor
