#include "worldsettings/world_settings_file_win.h"

#include <optional>
#include <string>

#include "platform/directories_win.h"
#include "platform/whole_file_win.h"
#include "worldsettings/option_list_place.h"
#include "worldsettings/option_pairs_writer.h"
#include "common/settings_file_encoding.h"

namespace tidemoor {
namespace {

// A file this short cannot hold an option list; the server leaves such files behind.
constexpr size_t kNearlyEmptyBytes = 10;

constexpr char kWriteFailedText[] = "保存失败 - 无法写入 PalWorldSettings.ini";
constexpr char kUndecodableText[] =
    " 保存失败 - 无法识别 PalWorldSettings.ini 的编码 (请用 UTF-8 或 UTF-16 保存该文件)，"
    "文件保持原样 ";

bool HoldsNoOptionList(const WholeFile& content) {
  return content.state == FileState::Missing || content.bytes.size() <= kNearlyEmptyBytes;
}

// The file as the tool works on it: its text, or the template's where it holds no option list,
// and the encoding to write it back in.
struct SettingsText {
  WorldSettingsWrite problem = WorldSettingsWrite::Unchanged;  // Unreadable, Undecodable or not
  DecodedSettingsFile file;
  SystemError error;  // why it was Unreadable
};

SettingsText ReadSettingsText(const std::string& path, bool templateWhenEmpty) {
  const WholeFile content = ReadWholeFile(path);
  if (content.state == FileState::Unreadable) {
    return {WorldSettingsWrite::Unreadable, {}, content.error};
  }
  if (templateWhenEmpty && HoldsNoOptionList(content)) return {{}, {WorldSettingsTemplate()}};
  std::optional<DecodedSettingsFile> decoded = DecodeSettingsFile(content.bytes);
  if (!decoded) return {WorldSettingsWrite::Undecodable, {}};
  return {{}, std::move(*decoded)};
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
  const SettingsText read = ReadSettingsText(WorldSettingsFile(paths), false);
  if (read.problem != WorldSettingsWrite::Unchanged) return false;
  ApplyWorldSettingsText(read.file.text, settings);
  return true;
}

void ApplyServerDefaults(const ServerPaths& paths, WorldSettings& settings) {
  const WholeFile content = ReadWholeFile(paths.ServerDir + "DefaultPalWorldSettings.ini");
  if (content.state != FileState::Read) return;
  // The server may write its defaults in UTF-16 as it may the user's file.
  if (const std::optional<DecodedSettingsFile> decoded = DecodeSettingsFile(content.bytes)) {
    ApplyServerDefaultsText(decoded->text, settings);
  }
}

bool SaveWorldSettings(const ServerPaths& paths, const WorldSettings& settings, Prompt& prompt) {
  const std::string path = WorldSettingsFile(paths);
  const SettingsText read = ReadSettingsText(path, true);
  if (read.problem == WorldSettingsWrite::Undecodable) {
    prompt.Ask(kUndecodableText, " Error", PromptStyle::Error);
    return false;
  }
  const std::string listLine = SplitAroundOptionList(WorldSettingsFileText(settings)).list;
  const Outcome written =
      read.problem == WorldSettingsWrite::Unchanged
          ? ReplaceWholeFile(path, EncodeSettingsFile(WithOptionListLine(read.file.text, listLine),
                                                      read.file.encoding))
          : Outcome(read.error);
  if (!written) {
    prompt.Ask(" " + WithCause(kWriteFailedText, written.Error()) + " ", " Error",
               PromptStyle::Error);
    return false;
  }
  prompt.Ask(" 已保存当前设置，需要重启服务端后生效 ", " Save", PromptStyle::Plain);
  return true;
}

StartSettingsWrite WriteStartSettings(const ServerPaths& paths, const StartSettingsChoice& choice) {
  EnsureDirectory(WorldSettingsDir(paths));
  const std::string path = WorldSettingsFile(paths);
  const SettingsText read = ReadSettingsText(path, true);
  // Nothing reached the file, so what the tool remembers of it stays as it was.
  const StartSettingsPlan untouched{{}, choice.apiOnByTool};
  if (read.problem != WorldSettingsWrite::Unchanged) return {read.problem, untouched, read.error};
  StartSettingsPlan plan = PlanStartSettings(choice, read.file.text);
  const std::optional<std::string> text = WithOptionPairs(read.file.text, plan.pairs);
  if (!text) return {WorldSettingsWrite::Unchanged, std::move(plan)};
  if (Outcome written = ReplaceWholeFile(path, EncodeSettingsFile(*text, read.file.encoding));
      !written) {
    return {WorldSettingsWrite::WriteFailed, untouched, written.Error()};
  }
  return {WorldSettingsWrite::Written, std::move(plan)};
}

bool RestApiOnInWorldSettings(const ServerPaths& paths) {
  const SettingsText read = ReadSettingsText(WorldSettingsFile(paths), false);
  return read.problem == WorldSettingsWrite::Unchanged && RestApiEnabledIn(read.file.text);
}

void ShowWorldSettingsUnreadable(Prompt& prompt) {
  prompt.Ask(" 无法读取 PalWorldSettings.ini - 请关闭占用该文件的程序后重试 ", " Error",
             PromptStyle::Error);
}

}  // namespace tidemoor
