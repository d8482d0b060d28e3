#pragma once
// Why the server crashed, as it tells it: the only place it writes the reason is a crash folder
// Pal\Saved\Crashes\UECC-*\ under its directory, whose CrashContext.runtime-xml holds
//   <FGenericCrashContext><RuntimeProperties>...<CrashType>Crash</CrashType>
//   <ErrorMessage>Save data is corrupted. Please restore from a backup</ErrorMessage>...
// Reading it is a courtesy: a folder that is missing, unreadable or not such a file changes
// nothing else the tool does.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tidemoor {

inline constexpr char kCrashContextFile[] = "CrashContext.runtime-xml";
inline constexpr char kCorruptSaveQuestion[] = " 服务端报告存档已损坏 - 是否打开备份管理器? ";
// How much of the reason the status line and the crash-loop message show.
inline constexpr size_t kCrashStatusCharacters = 60;
inline constexpr size_t kCrashMessageCharacters = 300;

struct CrashReport {
  std::string folder;   // UECC-...
  std::string type;     // Crash, Assert, Ensure, ...; may be empty
  std::string message;  // never empty
};

// The crash type and error message of a crash context file's text (UTF-8, or UTF-16 with its
// byte-order mark), XML references undone. Nothing when the text is no XML or names no error.
std::optional<CrashReport> ParseCrashContext(std::string_view text);

struct CrashFolder {
  std::string name;
  int64_t writeTime = 0;  // in the clock of CrashReports::Now
};

// The newest crash folder (UECC-*) written at or after since.
std::optional<std::string> NewestCrashFolder(const std::vector<CrashFolder>& folders,
                                             int64_t since);

// The crash folders under the server directory.
class CrashReports {
 public:
  virtual ~CrashReports() = default;
  // Now, in the clock the folders' write times are given in.
  virtual int64_t Now() = 0;
  // Empty when there are none or they cannot be listed.
  virtual std::vector<CrashFolder> Folders() = 0;
  // The folder's crash context file, or nothing when it cannot be read.
  virtual std::optional<std::string> ContextText(const std::string& folder) = 0;
};

// The reason of the newest crash written at or after since, if one can be read.
std::optional<CrashReport> FindCrashReport(CrashReports& reports, int64_t since);

// The server says the world it loads is damaged: only a restore from a backup helps.
bool ReportsCorruptSave(const CrashReport& report);

// The message shown (control characters escaped) and cut to at most so many characters, an
// ellipsis "…" counting as one of them.
std::string ShownCrashMessage(const CrashReport& report, size_t characters);

}  // namespace tidemoor
