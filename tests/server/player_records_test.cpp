#include "server/player_records.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "server/online_player.h"

namespace tidemoor {
namespace {

constexpr char kHeader[] =
    "userId\tname\tfirstSeen\tlastSeen\tsessions\tminutesOnline\tformerNames\r\n";

// Lines of the file as written after the steps; a step is a join (+), a leave (-), a name seen in
// the list (~), the count every 10 minutes (*) or the server stopping (!).
TEST(PlayerRecords, CountSessionsMinutesAndNames) {
  struct Step {
    char what;
    const char* userId;
    const char* name;
    int64_t now;
  };
  const struct {
    const char* what;
    const char* file;
    std::vector<Step> steps;
    std::string written;
  } cases[] = {
      {"a first join and leave",
       "",
       {{'+', "steam_1", "Ann", 1000}, {'-', "steam_1", "", 1000 + 90 * 60 + 59}},
       "steam_1\tAnn\t1000\t6459\t1\t90\r\n"},
      {"minutes counted every 10 minutes keep their seconds for later",
       "",
       {{'+', "steam_1", "Ann", 0},
        {'*', "", "", 630},
        {'*', "", "", 1230},
        {'-', "steam_1", "", 1250}},
       "steam_1\tAnn\t0\t1250\t1\t20\r\n"},
      {"a known player comes again under a new name",
       "steam_1\tAnn\t5\t10\t2\t30\tAnnie\r\n",
       {{'+', "steam_1", "Bo", 100}, {'~', "steam_1", "Annie", 110}, {'!', "", "", 220}},
       "steam_1\tAnnie\t5\t220\t3\t32\tAnn\tBo\r\n"},
      {"a join while online is no new session",
       "",
       {{'+', "steam_1", "Ann", 0}, {'+', "steam_1", "Ann", 120}},
       "steam_1\tAnn\t0\t120\t1\t2\r\n"},
      {"still loading, or a leave of one never joined, counts nothing",
       "",
       {{'+', "", "Cy", 0}, {'+', "gdk_000", "Cy", 0}, {'-', "steam_9", "", 60}},
       ""},
      {"a name with a tab or line break stays one field",
       "",
       {{'+', "steam_1", "A\tn\nn", 0}},
       "steam_1\tA n n\t0\t0\t1\t0\r\n"},
      {"adopted with players online: each counts from the adoption",
       "steam_1\tAnn\t5\t10\t2\t30\r\n",
       {{'+', "steam_1", "Ann", 10000}, {'+', "steam_2", "Bo", 10000}, {'!', "", "", 10000 + 600}},
       "steam_1\tAnn\t5\t10600\t3\t40\r\nsteam_2\tBo\t10000\t10600\t1\t10\r\n"},
  };
  for (const auto& c : cases) {
    PlayerRecords records = PlayerRecords::Read(c.file);
    for (const Step& step : c.steps) {
      if (step.what == '+') records.Join(OnlinePlayer(step.name, step.userId), step.now);
      if (step.what == '-') records.Leave(step.userId, step.now);
      if (step.what == '~') records.NoteNames({OnlinePlayer(step.name, step.userId)});
      if (step.what == '*') records.CountOnline(step.now);
      if (step.what == '!') records.EveryoneLeft(step.now);
    }
    EXPECT_EQ(records.Text(), kHeader + c.written) << c.what;
  }
}

// Whatever the file holds comes back: the tool's lines read, the others kept after them.
TEST(PlayerRecords, KeepDamagedLinesAside) {
  const struct {
    std::string text;
    size_t records;
    std::vector<std::string> damaged;
  } cases[] = {
      {"\xEF\xBB\xBF" + std::string(kHeader) +
           "steam_1\tAnn\t1\t2\t3\t4\tOld\r\nsteam_2\tBo\t1\t2\t3\t4\n",
       2,
       {}},
      {"steam_1\tAnn\t1\t2\t3\r\nsteam_2\tBo\tx\t2\t3\t4\r\n\r\nsteam_3\tCy\t1\t2\t3\t-4\n",
       0,
       {"steam_1\tAnn\t1\t2\t3", "steam_2\tBo\tx\t2\t3\t4", "steam_3\tCy\t1\t2\t3\t-4"}},
      {"steam_1\tAnn\t1\t2\t3\t4\nsteam_1\tAnn2\t1\t2\t3\t4\n", 1, {"steam_1\tAnn2\t1\t2\t3\t4"}},
  };
  for (const auto& c : cases) {
    PlayerRecords records = PlayerRecords::Read(c.text);
    EXPECT_EQ(records.Records().size(), c.records) << c.text;
    EXPECT_EQ(records.DamagedLines(), c.damaged) << c.text;
    records.Join(OnlinePlayer("Di", "steam_4"), 9);
    const std::string again = PlayerRecords::Read(records.Text()).Text();
    EXPECT_EQ(again, records.Text()) << "written once, read and written again: the same file";
    for (const std::string& line : c.damaged) {
      EXPECT_NE(again.find(line + "\r\n"), std::string::npos) << line;
    }
  }
}

}  // namespace
}  // namespace tidemoor
