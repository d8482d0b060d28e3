#include "platform/worker_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <numeric>
#include <stdexcept>
#include <string>
#include <memory>
#include <thread>
#include <vector>

#include "platform/unique_handle_win.h"
#include "support/pumping_wait_win.h"

namespace tidemoor {
namespace {

using namespace std::chrono_literals;

TEST(Worker, ResultsComeBackOnTheMakingThreadInOrder) {
  Worker worker;
  const DWORD uiThread = ::GetCurrentThreadId();
  std::vector<int> results;
  std::atomic<DWORD> workThread{0};
  for (int i = 0; i < 5; ++i) {
    worker.Run<int>(
        [i, &workThread] {
          workThread = ::GetCurrentThreadId();
          return i * i;
        },
        [&, uiThread](int value) {
          EXPECT_EQ(::GetCurrentThreadId(), uiThread);
          results.push_back(value);
        });
  }
  EXPECT_EQ(worker.Pending(), 5);
  ASSERT_TRUE(PumpUntil([&] { return results.size() == 5; }, 10s));
  EXPECT_EQ(results, (std::vector<int>{0, 1, 4, 9, 16}));
  EXPECT_NE(workThread.load(), uiThread);
  EXPECT_EQ(worker.Pending(), 0);
}

// A slow job never holds the user-interface thread: its messages keep flowing meanwhile.
TEST(Worker, TheWindowKeepsItsMessagesWhileAJobRuns) {
  Worker worker;
  bool finished = false;
  worker.Run([] { std::this_thread::sleep_for(600ms); }, [&] { finished = true; });
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(finished);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 100ms);
  ASSERT_TRUE(PumpUntil([&] { return finished; }, 10s));
}

TEST(Worker, AWorkerPutAwayHandsNothingBack) {
  std::atomic<bool> started{false}, ran{false};
  bool handedBack = false;
  {
    Worker worker;
    worker.Run(
        [&started, &ran] {
          started = true;
          std::this_thread::sleep_for(200ms);
          ran = true;
        },
        [&] { handedBack = true; });
    while (!started) std::this_thread::yield();
  }
  PumpUntil([&] { return ran.load(); }, 10s);
  PumpUntil([] { return false; }, 200ms);
  EXPECT_FALSE(handedBack);
}

// A job that throws is written down with the exception's words, and its result still comes back.
TEST(Worker, AJobThatThrowsIsRecordedAndStillHandsBack) {
  struct Case {
    std::function<void()> work;
    std::string recorded;
  };
  const Case cases[] = {
      {[] { throw std::runtime_error("磁盘已满"); }, "后台任务异常结束: 磁盘已满"},
      {[] { throw 42; }, "后台任务异常结束: 未知异常"},
  };
  for (const Case& c : cases) {
    std::mutex mutex;
    std::vector<std::string> recorded;
    const JobFailureLog log([&](std::string_view text) {
      std::lock_guard lock(mutex);
      recorded.emplace_back(text);
    });
    Worker worker;
    bool handedBack = false;
    worker.Run(c.work, [&] { handedBack = true; });
    ASSERT_TRUE(PumpUntil([&] { return handedBack; }, 10s)) << c.recorded;
    std::lock_guard lock(mutex);
    EXPECT_EQ(recorded, std::vector<std::string>{c.recorded});
  }
}

// A result that puts its own worker away while another result waits to be handed back: the
// waiting one never runs, and nothing of the worker is touched after it is gone.
TEST(Worker, AResultThatPutsItsWorkerAwayEndsTheResultsWaitingBehindIt) {
  auto worker = std::make_unique<Worker>();
  std::atomic<int> worked{0};
  std::vector<int> handedBack;
  for (int i = 0; i < 3; ++i) {
    worker->Run([&worked] { ++worked; },
                [&, i] {
                  handedBack.push_back(i);
                  worker.reset();
                  // Lets the worker's thread end and let go of what it shared.
                  std::this_thread::sleep_for(50ms);
                });
  }
  // The third job starts only once the second's result is queued: both wait together.
  while (worked < 3) std::this_thread::yield();
  PumpUntil([&] { return !worker; }, 10s);
  PumpUntil([] { return false; }, 200ms);
  EXPECT_EQ(handedBack, std::vector<int>{0});
}

// Lanes share one pool, and a job may block for minutes (SteamCMD, a silent server): the pool
// never lets another lane's job wait behind it, and each lane keeps its own order meanwhile.
TEST(Worker, ALaneBlockedForLongHoldsUpNoOtherLane) {
  const struct {
    int blockedLanes;  // lanes whose first job waits until the test releases it
    int jobsEach;      // jobs given to every lane, the free one's included
  } cases[] = {{1, 3}, {4, 3}, {32, 2}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.blockedLanes);
    const UniqueHandle release(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    const HANDLE released = release.get();
    std::vector<std::unique_ptr<Worker>> blocked;
    std::vector<std::vector<int>> blockedResults(c.blockedLanes);
    for (int lane = 0; lane < c.blockedLanes; ++lane) {
      Worker& worker = *blocked.emplace_back(std::make_unique<Worker>());
      for (int job = 0; job < c.jobsEach; ++job) {
        worker.Run(
            [released, job] {
              if (job == 0) ::WaitForSingleObject(released, 60000);
            },
            [&blockedResults, lane, job] { blockedResults[lane].push_back(job); });
      }
    }
    Worker free;
    std::vector<int> freeResults;
    for (int job = 0; job < c.jobsEach; ++job) {
      free.Run([] {}, [&freeResults, job] { freeResults.push_back(job); });
    }
    const bool freeDone =
        PumpUntil([&] { return static_cast<int>(freeResults.size()) == c.jobsEach; }, 20s);
    const bool othersWaited = std::all_of(blockedResults.begin(), blockedResults.end(),
                                          [](const auto& results) { return results.empty(); });
    ::SetEvent(released);
    EXPECT_TRUE(freeDone);
    EXPECT_TRUE(othersWaited);
    ASSERT_TRUE(PumpUntil(
        [&] {
          return std::all_of(blockedResults.begin(), blockedResults.end(), [&](const auto& r) {
            return static_cast<int>(r.size()) == c.jobsEach;
          });
        },
        20s));
    std::vector<int> inOrder(c.jobsEach);
    std::iota(inOrder.begin(), inOrder.end(), 0);
    EXPECT_EQ(freeResults, inOrder);
    for (const std::vector<int>& results : blockedResults) EXPECT_EQ(results, inOrder);
  }
}

TEST(PumpUntil, GivesUpAtItsTimeout) {
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(PumpUntil([] { return false; }, 150ms));
  EXPECT_GE(std::chrono::steady_clock::now() - start, 150ms);
}

}  // namespace
}  // namespace tidemoor
