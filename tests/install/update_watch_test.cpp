#include "install/update_watch.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
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

struct Recorder : EventLog {
  void Record(std::string_view text) override { happened.push_back("log:" + std::string(text)); }
  std::vector<std::string> happened;
};

// Two checks with nobody online (the countdown with players is the countdown's own rule); every
// answer comes at once. What happened, in order: the watcher's steps and the events logged.
struct Case {
  const char* what;
  AppInfoAnswer answer;
  std::optional<std::string> manifest;
  std::string updateFailure;
  std::optional<std::string> manifestAfter;
  std::vector<std::string> expected;
};

std::vector<std::string> Watch(const Case& c) {
  Recorder log;
  std::optional<std::string> manifest = c.manifest;
  UpdateWatch watch(UpdateWatchWorld{
      [&](std::function<void(const AppInfoAnswer&)> done) {
        log.happened.push_back("ask");
        done(c.answer);
      },
      [&] { return manifest; },
      [](std::function<void(PlayersOnline)> done) { done(PlayersOnline::None); },
      [](const std::string&) { FAIL() << "no one to tell"; }, [] { return true; },
      [&](std::function<void(const std::string&)> done) {
        log.happened.push_back("update");
        manifest = c.manifestAfter;
        done(c.updateFailure);
        return true;
      },
      [](std::chrono::minutes, std::function<void()>) { FAIL() << "nothing to wait for"; },
      // Right after the same text went to the log.
      [&](const std::string& text) {
        EXPECT_EQ(log.happened.back(), "log:" + text);
        log.happened.back() += " +alert";
      },
      log});
  watch.Check();
  watch.Check();
  return log.happened;
}

TEST(UpdateWatch, NewerBuildIsInstalledAndAFailureIsToldOnceAndNotRetried) {
  const std::string found = "log:发现服务端新版本: 已安装 100, 最新 200 +alert";
  const std::string updating = "log:自动更新服务端: 版本 100 -> 200";
  const std::string failed = "log:服务端更新失败, 以原版本启动 (此版本不再自动更新, 可手动更新): ";
  const std::string timeout = "SteamCMD 在 120 秒内没有结束, 已被结束";
  const Case cases[] = {
      {"same build: nothing", {AppInfo(100), ""}, Manifest(100), "", {}, {"ask", "ask"}},
      {"newer build: installed once",
       {AppInfo(200), ""},
       Manifest(100),
       "",
       Manifest(200),
       {"ask", found, updating, "update", "log:服务端已更新到版本 200 +alert", "ask"}},
      {"SteamCMD did not answer in time",
       {"", timeout},
       Manifest(100),
       "",
       {},
       {"ask", "log:检查服务端更新失败: " + timeout, "ask"}},
      {"no manifest: the installed build is unknown, nothing is restarted",
       {AppInfo(200), ""},
       std::nullopt,
       "",
       {},
       {"ask", "log:检查服务端更新失败: 无法读取已安装版本 (steamapps\\appmanifest_2394010.acf)",
        "ask"}},
      {"SteamCMD could not be fetched",
       {AppInfo(200), ""},
       Manifest(100),
       "下载 SteamCMD 失败",
       Manifest(100),
       {"ask", found, updating, "update", failed + "下载 SteamCMD 失败 +alert", "ask"}},
      {"SteamCMD ended with an error code, yet the build came",
       {AppInfo(200), ""},
       Manifest(100),
       "SteamCMD 运行结束, 退出代码 7",
       Manifest(200),
       {"ask", found, updating, "update", "log:服务端已更新到版本 200 +alert", "ask"}},
      {"SteamCMD ended with an error code and the build stayed",
       {AppInfo(200), ""},
       Manifest(100),
       "SteamCMD 运行结束, 退出代码 8",
       Manifest(100),
       {"ask", found, updating, "update", failed + "SteamCMD 运行结束, 退出代码 8 +alert", "ask"}},
      {"SteamCMD ran but the build stayed",
       {AppInfo(200), ""},
       Manifest(100),
       "",
       Manifest(100),
       {"ask", found, updating, "update", failed + "SteamCMD 结束后已安装版本仍为 100 +alert",
        "ask"}},
  };
  for (const Case& c : cases) EXPECT_EQ(Watch(c), c.expected) << c.what;
}

// The server runs with build 100 and nobody online, and nothing else happens: each test below
// gives the world what it watches.
UpdateWatchWorld QuietWorld(Recorder& log) {
  return {[](auto) {},
          [] { return std::optional(Manifest(100)); },
          [](std::function<void(PlayersOnline)> done) { done(PlayersOnline::None); },
          [](const std::string&) {},
          [] { return true; },
          [](auto) { return true; },
          [](std::chrono::minutes, std::function<void()>) {},
          {},
          log};
}

// The safe stop for an update cannot begin while a start or a stop of the server's own is under
// way: the watch says so once, goes on watching and tries again at the next check.
TEST(UpdateWatch, AnUpdateThatCannotBeginIsToldOnceAndTriedAgain) {
  const std::string found = "log:发现服务端新版本: 已安装 100, 最新 200 +alert";
  const std::string updating = "log:自动更新服务端: 版本 100 -> 200";
  const std::string refused = "log:自动更新服务端未能开始: 服务端正在启动或关闭, 下次检查时再试";
  const std::string installed = "log:服务端已更新到版本 200 +alert";
  const struct {
    const char* what;
    int refusals;  // the first checks' updates that cannot begin
    std::vector<std::string> expected;
  } cases[] = {
      {"refused once",
       1,
       {"ask", found, updating, "refused", refused, "ask", "update", installed, "ask"}},
      {"refused at every check",
       3,
       {"ask", found, updating, "refused", refused, "ask", "refused", "ask", "refused"}},
  };
  for (const auto& c : cases) {
    Recorder log;
    std::optional<std::string> manifest = Manifest(100);
    int refusals = c.refusals;
    UpdateWatchWorld world = QuietWorld(log);
    world.askPublicBuild = [&](auto done) {
      log.happened.push_back("ask");
      done({AppInfo(200), ""});
    };
    world.readManifest = [&] { return manifest; };
    world.updateServer = [&](std::function<void(const std::string&)> done) {
      log.happened.push_back(refusals > 0 ? "refused" : "update");
      if (refusals-- > 0) return false;
      manifest = Manifest(200);
      done("");
      return true;
    };
    world.alert = [&](const std::string&) { log.happened.back() += " +alert"; };
    UpdateWatch watch(world);
    for (int check = 0; check < 3; ++check) watch.Check();
    EXPECT_EQ(log.happened, c.expected) << c.what;
  }
}

// What the checks alone log, with the build installed: a failed check once until a check gets
// through (an offline PC would fail every half hour), SteamCMD's exit code other than 0 when it
// first comes.
TEST(UpdateWatch, EachCheckProblemIsToldOnceUntilItChanges) {
  const std::string failed = "log:检查服务端更新失败: ";
  const std::string exited = "log:SteamCMD 查询服务端版本结束, 退出代码 ";
  const AppInfoAnswer offline{"", "offline"}, ok{AppInfo(100), ""}, seven{AppInfo(100), "", 7};
  const struct {
    const char* what;
    std::vector<AppInfoAnswer> answers;
    std::vector<std::string> logged;
  } cases[] = {
      {"failures",
       {offline, offline, ok, offline, {"", "down"}},
       {failed + "offline", failed + "offline", failed + "down"}},
      {"exit codes",
       {ok, seven, seven, ok, seven, {AppInfo(100), "", 8}},
       {exited + "7", exited + "7", exited + "8"}},
  };
  for (const auto& c : cases) {
    Recorder log;
    size_t at = 0;
    UpdateWatchWorld world = QuietWorld(log);
    world.askPublicBuild = [&](auto done) { done(c.answers[at++]); };
    UpdateWatch watch(world);
    for (size_t check = 0; check < c.answers.size(); ++check) watch.Check();
    EXPECT_EQ(log.happened, c.logged) << c.what;
  }
}

// The watch asks only while the server runs, one check at a time (SteamCMD takes its time to
// answer and the timer may fire again meanwhile), and a countdown ends when the server is stopped
// by other hands: no update, no more notices, and the next check starts over.
TEST(UpdateWatch, WatchesOnlyWhileTheServerRunsAndOneCheckAtATime) {
  Recorder log;
  bool running = true;
  std::vector<std::function<void(const AppInfoAnswer&)>> answers;
  std::function<void()> wait;
  UpdateWatchWorld world = QuietWorld(log);
  world.askPublicBuild = [&](auto done) { answers.push_back(std::move(done)); };
  world.askPlayers = [](auto done) { done(PlayersOnline::Some); };
  world.announce = [&](const std::string&) { log.happened.push_back("notice"); };
  world.serverRunning = [&] { return running; };
  world.updateServer = [&](auto) {
    log.happened.push_back("update");
    return true;
  };
  world.after = [&](std::chrono::minutes, std::function<void()> then) { wait = std::move(then); };
  UpdateWatch watch(world);
  running = false;
  watch.Check();
  EXPECT_TRUE(answers.empty()) << "no server, no check";

  running = true;
  watch.Check();
  watch.Check();
  ASSERT_EQ(answers.size(), 1u) << "one check at a time";
  answers[0]({AppInfo(200), ""});
  const size_t happened = log.happened.size();
  ASSERT_TRUE(wait) << "the 10-minute notice, then the wait";
  running = false;
  wait();
  EXPECT_EQ(log.happened.size(), happened) << "stopped by other hands: the countdown ends";

  running = true;
  watch.Check();
  EXPECT_EQ(answers.size(), 2u) << "the next check starts over";
}

}  // namespace
}  // namespace tidemoor
