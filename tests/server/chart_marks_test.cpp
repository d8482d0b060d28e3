#include "server/chart_marks.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/date_time.h"

namespace tidemoor {
namespace {

using K = ChartMarkKind;

constexpr int64_t kBeijing = 8 * 3600;
// 2026-12-09 00:00:00 in Beijing, as seconds since 1970 UTC.
const int64_t kDay = DaysFromCivil(2026, 12, 9) * 86400 - kBeijing;

std::string At(const char* clock, const std::string& text) {
  return std::string("2026-12-09 ") + clock + "  " + text + "\r\n";
}

int64_t Clock(int hour, int minute, int second = 0) {
  return kDay + hour * 3600 + minute * 60 + second;
}

TEST(ChartMarks, TheControllersStopCrashAndRestartLinesBecomeMarks) {
  const struct {
    const char* what;
    std::string log;
    std::vector<ChartMark> marks;
  } cases[] = {
      {"stops, safe or by the user's kill",
       At("10:00:00", "已安全关闭服务端 (进程 42, 存档 120 ms, 关闭 900 ms)") +
           At("10:10:00", "强制结束服务端进程树 (进程 43): API 没有回应"),
       {{Clock(10, 0), K::Stop}, {Clock(10, 10), K::Stop}}},
      {"a hang and its kill are one crash",
       At("11:30:00", "服务端超过 3 分钟没有响应, 按崩溃处理 (进程 42)") +
           At("11:30:02", "强制结束服务端进程树 (进程 42): 无响应") +
           At("11:30:12", "无响应后自动重启服务端"),
       {{Clock(11, 30), K::Crash}}},
      {"a crash's automatic restart is the crash's mark",
       At("12:00:00", "服务端已退出 (进程 42): 崩溃或被外部结束") +
           At("12:00:01", "崩溃后自动重启服务端"),
       {{Clock(12, 0), K::Crash}}},
      {"an interval restart and its safe stop",
       At("13:00:00", "定时重启服务端 (进程 42)") +
           At("13:00:20", "已安全关闭服务端 (进程 42, 存档 1 ms, 关闭 10 ms)"),
       {{Clock(13, 0), K::Restart}}},
      {"restarts for an update and for memory",
       At("14:00:00", "为更新重启服务端 (进程 42)") +
           At("15:00:00", "内存占用过高, 重启服务端 (内存 9.4 GB, 上限 8 GB) (进程 43)"),
       {{Clock(14, 0), K::Restart}, {Clock(15, 0), K::Restart}}},
      {"a stop long after a restart is a stop of its own",
       At("13:00:00", "定时重启服务端 (进程 42)") +
           At("13:05:01", "已安全关闭服务端 (进程 43, 存档 1 ms, 关闭 10 ms)"),
       {{Clock(13, 0), K::Restart}, {Clock(13, 5, 1), K::Stop}}},
      {"other events, announcements that name a restart and the crash loop are no marks",
       At("09:00:00", "启动服务端 (进程 42)") +
           At("09:10:00", "向玩家公告: 服务器将在 5 分钟后重启") +
           At("09:20:00", "服务端 10 分钟内崩溃 3 次, 已停止自动重启") +
           At("09:30:00", "向玩家公告: 马上定时重启服务端"),
       {}},
      {"damaged lines and LF line ends",
       "2026-12-09 1x:00:00  已安全关闭服务端\r\n2026-13-09 10:00:00  已安全关闭服务端\r\n"
       "已安全关闭服务端\r\n2026-12-09 10:00:00  已安全关闭服务端 (进程 1)\n",
       {{Clock(10, 0), K::Stop}}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ChartMarksFromLog(c.log, kDay, kDay + 86400, kBeijing), c.marks) << c.what;
  }
}

TEST(ChartMarks, OnlyTheSpansMarksAreKept) {
  const std::string log = At("08:00:00", "已安全关闭服务端 (进程 1)") +
                          At("10:00:00", "服务端已退出 (进程 2): 崩溃或被外部结束") +
                          At("12:00:00", "已安全关闭服务端 (进程 3)");
  EXPECT_EQ(ChartMarksFromLog(log, Clock(8, 0), Clock(10, 0), kBeijing),
            (std::vector<ChartMark>{{Clock(8, 0), K::Stop}, {Clock(10, 0), K::Crash}}))
      << "both ends counted";
  EXPECT_TRUE(ChartMarksFromLog(log, Clock(12, 0, 1), Clock(23, 0), kBeijing).empty());
  // The local clock's lead moves the marks, not the log.
  EXPECT_EQ(ChartMarksFromLog(log, 0, INT64_MAX, 0).front().time, Clock(8, 0) + kBeijing);
}

}  // namespace
}  // namespace tidemoor
