#pragma once
// The first-start guide's plan: the steps 一键开服 walks in order, which of them run and which are
// skipped after what the earlier ones came to, the results as the guide shows them, and the free
// space the server needs before it is installed.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tidemoor {

// In the order they run. The first four are the guide's tick boxes; the start always follows.
enum class GuideStep { Install, Firewall, Mapping, StartUp, Start };
inline constexpr int kTickedGuideSteps = 4;
inline constexpr int kGuideSteps = 5;

struct StepResult {
  enum class Kind { Done, Failed, Skipped };
  Kind kind = Kind::Done;
  std::string why;  // for a failure or a skip
  bool operator==(const StepResult&) const = default;
};

StepResult StepDone();
StepResult StepFailed(std::string why);
StepResult StepSkipped(std::string why);

// 完成 / 失败 / 跳过: the word the guide colours.
std::string_view ResultWord(StepResult::Kind kind);
// "完成", "失败: <why>", "跳过: <why>": what the event log is told.
std::string ResultText(const StepResult& result);

// What the plan knows when a step is due.
struct GuideFacts {
  std::array<bool, kTickedGuideSteps> ticked{};
  bool serverRunning = false;
  bool serverInstalled = false;       // PalServer.exe is in the server folder now
  std::optional<StepResult> install;  // what the install came to, once it ran or was skipped
};

// Why the step does not run now; nullopt when it runs. A step that failed never holds up one that
// does not need it: only the start needs the server installed, and nothing needs the firewall,
// the router or the start-up entry.
std::optional<std::string> SkipReason(GuideStep step, const GuideFacts& facts);

inline constexpr uint64_t kGiB = uint64_t{1} << 30;
// Room left beside the server: its saves, its logs and the next update's download.
inline constexpr uint64_t kFreeSpaceMargin = 5 * kGiB;
// The server's size when SteamCMD has not told it yet (the 1.0 server takes a little under this).
inline constexpr uint64_t kServerSizeWhenUnknown = 4 * kGiB;

// "约 N GB", rounded up to whole GB (1 GB = 1024³ bytes).
std::string AboutGb(uint64_t bytes);
// "安装游戏服务端 (约 N GB)", or without the figure while the size is not known.
std::string InstallCaption(std::optional<uint64_t> serverBytes);
// "磁盘空间不足 - 服务端需要约 N GB" when the free space is less than the server's size and the
// margin (N is that sum); nullopt when it is enough or the free space could not be read.
std::optional<std::string> FreeSpaceShortfall(std::optional<uint64_t> serverBytes,
                                              std::optional<uint64_t> freeBytes);

}  // namespace tidemoor
