// Time to read the 1.0 server's sample world settings into the editor and to write them back,
// and to read crafted lists that once took time growing with the square of their length.

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

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

// Milliseconds to load a list of "A=(," repeated to the given size: every bracket is left open.
// The fastest of several runs, so that the figure shows the reading and not the system handing
// out fresh memory pages to the first runs.
double MillisecondsToReadOpenBrackets(size_t bytes) {
  std::string text = "OptionSettings=(";
  while (text.size() < bytes) text += "A=(,";
  text += ")";
  double fastest = 0;
  for (int run = 0; run < 7; ++run) {
    size_t pairs = 0;
    const double micro = MicrosecondsPerRun(1, [&] {
      tidemoor::WorldSettings settings;
      tidemoor::ApplyWorldSettingsText(text, settings);
      pairs = settings.OtherPairs.size();
    });
    if (pairs != 1) return -1;  // every pair names A
    if (run == 0 || micro < fastest) fastest = micro;
  }
  return fastest / 1000;
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
  std::printf("world settings, \"A=(,\" repeated: 160 KB read in %.2f ms, 400 KB in %.2f ms\n",
              MillisecondsToReadOpenBrackets(160 * 1024),
              MillisecondsToReadOpenBrackets(400 * 1024));
  return sink == 0;
}
