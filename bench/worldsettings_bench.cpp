// Time to read the 1.0 server's sample world settings into the editor and to write them back.

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "worldsettings/world_settings_text.h"

namespace {

using Clock = std::chrono::steady_clock;

template <typename Work>
double MicrosecondsPerRun(int runs, Work&& work) {
  const auto start = Clock::now();
  for (int i = 0; i < runs; ++i) work();
  const std::chrono::duration<double, std::micro> spent = Clock::now() - start;
  return spent.count() / runs;
}

}  // namespace

int main() {
  const auto path = std::filesystem::path(__FILE__).parent_path() / ".." / "tests" /
                    "worldsettings" / "data" / "DefaultPalWorldSettings-1.0.ini";
  std::ifstream file(path, std::ios::binary);
  std::ostringstream bytes;
  bytes << file.rdbuf();
  const std::string sample = bytes.str();
  if (sample.empty()) {
    std::fprintf(stderr, "cannot read %s\n", path.string().c_str());
    return 1;
  }

  constexpr int kRuns = 2000;
  size_t sink = 0;
  const double load = MicrosecondsPerRun(kRuns, [&] {
    tidemoor::WorldSettings settings;
    tidemoor::ApplyWorldSettingsText(sample, settings);
    sink += settings.OtherPairs.size();
  });
  tidemoor::WorldSettings settings;
  tidemoor::ApplyWorldSettingsText(sample, settings);
  const double save =
      MicrosecondsPerRun(kRuns, [&] { sink += tidemoor::WorldSettingsFileText(settings).size(); });

  std::printf("world settings, 1.0 sample (%zu bytes, %zu keys): load %.1f us, save %.1f us\n",
              sample.size(), settings.Rows.size() + settings.OtherPairs.size(), load, save);
  return sink == 0;
}
