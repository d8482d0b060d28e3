// The server's week as the sampler writes it, samples a few milliseconds apart: a file it cannot
// read or open is kept as it is, with one event for the failure. (What a week keeps is the metrics
// log's table; that a running server's minutes follow the week, the chart's end-to-end test.)

#include "hosting/metrics_sampler_win.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/codepage_win.h"
#include "platform/date_time.h"
#include "platform/unique_handle_win.h"
#include "support/e2e_win.h"
#include "support/pumping_wait_win.h"

namespace tidemoor {
namespace {

using namespace std::chrono_literals;

constexpr uint64_t kFiveGb = uint64_t(5) << 30;

class MetricsSamplerFile : public ::testing::Test {
 protected:
  // A sampler of its own for each case: what an earlier one still hands back goes with it.
  void NewSampler() {
    taken.clear();
    recorded.clear();
    sampler.emplace(
        MetricsSamplerWiring{directory.File("Metrics.tsv"), 20ms,
                             [this](std::string_view text) { recorded.emplace_back(text); },
                             [this] { return latest; }, [this] { return memory; }});
    sampler->SetListener([this](const MetricsSample& sample) { taken.push_back(sample); });
  }
  // Takes samples until count of them have been taken, then stops; the samples taken.
  std::vector<MetricsSample> Take(size_t count) {
    sampler->Follow(true);
    EXPECT_TRUE(PumpUntil([&] { return taken.size() >= count; }, 20s));
    sampler->Follow(false);
    return taken;
  }
  std::vector<MetricsSample> InFile() const {
    return ReadMetricsLog(directory.ReadBytes("Metrics.tsv"));
  }

  testing::TempToolDirectory directory{"metrics"};
  std::vector<std::string> recorded;
  std::optional<ServerMetrics> latest;
  std::optional<uint64_t> memory;
  std::vector<MetricsSample> taken;
  std::optional<MetricsSampler> sampler;
};

// However many samples fail, the event log hears of it once.
TEST_F(MetricsSamplerFile, AFileItCannotUseIsKeptAndTheFailureToldOnce) {
  const std::string file = directory.File("Metrics.tsv");
  const struct {
    const char* what;
    std::string bytes;
    bool held;  // by another program, without sharing, while the samples are taken
  } cases[] = {
      {"grown past what is read (not our doing)", std::string(16 * kMetricsFileCap + 1, 'x'),
       false},
      {"held open without sharing", MetricsLine({SecondsSince1970() - 60, 1, 60, kFiveGb}), true},
  };
  for (const auto& c : cases) {
    directory.WriteBytes("Metrics.tsv", c.bytes);
    NewSampler();
    const UniqueFileHandle held(c.held ? ::CreateFileW(Widen(file).c_str(), GENERIC_READ, 0,
                                                       nullptr, OPEN_EXISTING, 0, nullptr)
                                       : INVALID_HANDLE_VALUE);
    ASSERT_EQ(static_cast<bool>(held), c.held) << c.what;
    Take(6);
    EXPECT_TRUE(PumpUntil([&] { return !recorded.empty(); }, 20s)) << c.what;
    ASSERT_EQ(recorded.size(), 1u) << c.what;
    EXPECT_EQ(recorded[0].rfind("运行曲线数据写入失败: " + file, 0), 0u) << c.what;
    // Read by its name, or through the handle that holds it: nothing else may read it then.
    std::string now =
        c.held ? std::string(c.bytes.size() + 1, '\0') : directory.ReadBytes("Metrics.tsv");
    if (c.held) {
      DWORD read = 0;
      ASSERT_TRUE(
          ::ReadFile(held.get(), now.data(), static_cast<DWORD>(now.size()), &read, nullptr));
      now.resize(read);
    }
    EXPECT_EQ(now, c.bytes) << c.what;
    sampler.reset();
  }
}

}  // namespace
}  // namespace tidemoor
