// Making a backup point of a 200 MiB save in 2,000 files, against cp -r of the same tree on the
// same disk, measured alternately in one run. The point is made by the Windows build under Wine
// (backup_win_bench.exe in its point mode, which times itself, so Wine's start-up is not
// counted). Prints both medians and their ratio.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kFiles = 2000;
constexpr long long kTotalBytes = 200LL * 1024 * 1024;
constexpr int kRounds = 3;

// Laid out like a server's save: a few folders with many player files.
void WriteSave(const fs::path& save) {
  std::mt19937 random(2024);
  std::string bytes(kTotalBytes / kFiles, '\0');
  for (int i = 0; i < kFiles; ++i) {
    const fs::path folder =
        save / "SaveGames" / "0" / ("World" + std::to_string(i % 20)) / "Players";
    fs::create_directories(folder);
    for (char& c : bytes) c = static_cast<char>(random());
    std::ofstream(folder / (std::to_string(i) + ".sav"), std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
}

std::string WindowsPath(const fs::path& path) {
  std::string text = "Z:" + path.string();
  std::replace(text.begin(), text.end(), '/', '\\');
  return text;
}

std::string Quoted(const std::string& text) {
  return "'" + text + "'";
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main() {
  const fs::path root = fs::path(__FILE__).parent_path().parent_path();
  const char* override = std::getenv("TIDEMOOR_BACKUP_WIN_BENCH");
  const fs::path windowsBench =
      override ? fs::path(override) : root / "build/windows/bin/bench/backup_win_bench.exe";
  if (!fs::exists(windowsBench)) {
    std::printf("skipped: %s is not built\n", windowsBench.c_str());
    return 0;
  }

  const fs::path work = fs::temp_directory_path() / "tidemoor-point-bench";
  fs::remove_all(work);
  WriteSave(work / "Saved");
  std::system(
      ("cp -r " + Quoted((work / "Saved").string()) + " " + Quoted((work / "warm").string()))
          .c_str());  // both contenders then read from the page cache

  std::vector<double> copyMs, pointMs;
  for (int round = 0; round < kRounds; ++round) {
    const fs::path copy = work / ("copy" + std::to_string(round));
    const auto start = Clock::now();
    std::system(
        ("cp -r " + Quoted((work / "Saved").string()) + " " + Quoted(copy.string())).c_str());
    copyMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());

    const fs::path tool = work / ("tool" + std::to_string(round));
    const fs::path result = work / ("point" + std::to_string(round) + ".txt");
    // The paths hold no quotes; backslashes stay as they are inside double quotes.
    const std::string inner = "source \"" + (root / "scripts/wine-env.sh").string() +
                              "\" && wine \"" + windowsBench.string() + "\" point \"" +
                              WindowsPath(work / "Saved") + "\" \"" + WindowsPath(tool) + "\" \"" +
                              WindowsPath(result) + "\"";
    const std::string command = "bash -c " + Quoted(inner) + " >/dev/null 2>&1";
    std::system(command.c_str());
    double ms = -1;
    std::ifstream(result) >> ms;
    pointMs.push_back(ms);
  }
  fs::remove_all(work);

  const double copy = Median(copyMs);
  const double point = Median(pointMs);
  const double ratio = point / copy;
  std::printf(
      "backup point of 200 MiB in 2,000 files: %.0f ms; cp -r: %.0f ms; ratio %.2f "
      "(goal: at most 1.5)\n",
      point, copy, ratio);
  return point > 0 && ratio <= 1.5 ? 0 : 1;
}
