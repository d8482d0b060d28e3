#pragma once
// The server's crash folders (Pal\Saved\Crashes\UECC-*) as the file system holds them.

#include <string>

#include "server/crash_report.h"

namespace tidemoor {

class WindowsCrashReports : public CrashReports {
 public:
  explicit WindowsCrashReports(std::string serverDir) : serverDir_(std::move(serverDir)) {}

  // File times: 100-nanosecond steps since 1601 (UTC).
  int64_t Now() override;
  std::vector<CrashFolder> Folders() override;
  std::optional<std::string> ContextText(const std::string& folder) override;

 private:
  std::string CrashesDir() const;

  std::string serverDir_;
};

}  // namespace tidemoor
