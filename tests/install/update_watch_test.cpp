#include "install/update_watch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tidemoor {
namespace {

std::string AppInfo(int build) {
  return "\"2394010\"\n{\n \"depots\" { \"branches\" { \"public\" { \"buildid\" \"" +
         std::to_string(build) + "\" } } }\n}\n";
}

std::string Manifest(int build) {
  return "\"AppState\" { \"buildid\" \"" + std::to_string(build) + "\" }";
}

// What happened, in order: each step of the watcher's world and each event logged. Every answer
// comes at once; the countdown's waits run when the test lets them.
struct Recorder : EventLog {
  void Record(std::string_view text) override { happened.push_back("log:" + std::string(text)); }
  std::vector<std::string> happened;
};

struct Case {
  const char* what;
  int checks;
  AppInfoAnswer answer;
  std::optional<std::string> manifest;
  std::vector<PlayersOnline> players;  // one per look; the last repeats
  std::string updateFailure;
  std::optional<std::string> manifestAfter;
  std::vector<std::string> expected;
};

std::vector<std::string> Watch(const Case& c) {
  Recorder log;
  std::optional<std::string> manifest = c.manifest;
  std::function<void()> pending;
  size_t looks = 0;
  UpdateWatch watch(UpdateWatchWorld{
      [&](std::function<void(const AppInfoAnswer&)> done) {
        log.happened.push_back("ask");
        done(c.answer);
      },
      [&] { return manifest; },
      [&](std::function<void(PlayersOnline)> done) {
        done(c.players[std::min(looks++, c.players.size() - 1)]);
      },
      [&](const std::string& notice) { log.happened.push_back("announce:" + notice); },
      [] { return true; },
      [&](std::function<void(const std::string&)> done) {
        log.happened.push_back("update");
        manifest = c.manifestAfter;
        done(c.updateFailure);
        return true;
      },
      [&](std::chrono::minutes wait, std::function<void()> then) {
        log.happened.push_back("wait:" + std::to_string(wait.count()));
        pending = std::move(then);
      },
      // Right after the same text went to the log.
      [&](const std::string& text) {
        EXPECT_EQ(log.happened.back(), "log:" + text);
        log.happened.back() += " +alert";
      },
      log});
  for (int check = 0; check < c.checks; ++check) {
    watch.Check();
    while (pending) std::exchange(pending, nullptr)();
  }
  return log.happened;
}

TEST(UpdateWatch, NewerBuildIsInstalledAfterTheNoticesAndAFailureIsToldAndNotRepeated) {
  using P = PlayersOnline;
  const std::string found = "log:发现服务端新版本: 已安装 100, 最新 200 +alert";
  const std::string updating = "log:自动更新服务端: 版本 100 -> 200";
  const Case cases[] = {
      {"same build: nothing",
       2,
       {AppInfo(100), ""},
       Manifest(100),
       {P::None},
       "",
       {},
       {"ask", "ask"}},
      {"nobody online: at once, and told once",
       2,
       {AppInfo(200), ""},
       Manifest(100),
       {P::None},
       "",
       Manifest(200),
       {"ask", found, updating, "update", "log:服务端已更新到版本 200 +alert", "ask"}},
      {"players online: three notices first",
       2,
       {AppInfo(200), ""},
       Manifest(100),
       {P::Some},
       "",
       Manifest(200),
       {"ask", found, "log:向玩家公告: 服务端有新版本，将在 10 分钟后重启更新",
        "announce:服务端有新版本，将在 10 分钟后重启更新", "wait:5",
        "log:向玩家公告: 服务端有新版本，将在 5 分钟后重启更新",
        "announce:服务端有新版本，将在 5 分钟后重启更新", "wait:4",
        "log:向玩家公告: 服务端有新版本，将在 1 分钟后重启更新",
        "announce:服务端有新版本，将在 1 分钟后重启更新", "wait:1", updating, "update",
        "log:服务端已更新到版本 200 +alert", "ask"}},
      {"SteamCMD did not answer in time",
       2,
       {"", "SteamCMD 在 120 秒内没有结束, 已被结束"},
       Manifest(100),
       {P::None},
       "",
       {},
       {"ask", "log:检查服务端更新失败: SteamCMD 在 120 秒内没有结束, 已被结束", "ask"}},
      {"an answer without a build",
       1,
       {"Connecting anonymously to Steam Public...FAILED\n", ""},
       Manifest(100),
       {P::None},
       "",
       {},
       {"ask", "log:检查服务端更新失败: SteamCMD 的回答中没有公开版本号"}},
      {"no manifest: the installed build is unknown, nothing is restarted",
       1,
       {AppInfo(200), ""},
       std::nullopt,
       {P::None},
       "",
       {},
       {"ask", "log:检查服务端更新失败: 无法读取已安装版本 (steamapps\\appmanifest_2394010.acf)"}},
      {"SteamCMD could not be fetched: told, and the build not tried again",
       2,
       {AppInfo(200), ""},
       Manifest(100),
       {P::None},
       "下载 SteamCMD 失败 - 请检查网络连接",
       Manifest(100),
       {"ask", found, updating, "update",
        "log:服务端更新失败, 以原版本启动 (此版本不再自动更新, 可手动更新): 下载 SteamCMD 失败 - "
        "请检查网络连接 +alert",
        "ask"}},
      {"SteamCMD ran but the build stayed",
       2,
       {AppInfo(200), ""},
       Manifest(100),
       {P::None},
       "",
       Manifest(100),
       {"ask", found, updating, "update",
        "log:服务端更新失败, 以原版本启动 (此版本不再自动更新, 可手动更新): SteamCMD "
        "结束后已安装版本仍为 100 +alert",
        "ask"}},
  };
  for (const Case& c : cases) EXPECT_EQ(Watch(c), c.expected) << c.what;
}

}  // namespace
}  // namespace tidemoor
