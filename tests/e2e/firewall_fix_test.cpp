// The tool started as its own elevated helper for the firewall: it does that one job (or says the
// system has no firewall interface), exits with the result and touches nothing else.

#include <gtest/gtest.h>

#include <set>

#include "net/firewall_fix.h"
#include "platform/codepage_win.h"
#include "support/e2e_win.h"

namespace tidemoor {
namespace {

using namespace testing;

TEST(FirewallFixHelper, ExitsWithItsResultAndTouchesNothingElse) {
  TempToolDirectory dir("firewall");
  dir.InstallTool();
  const std::string server = "steamapps\\common\\PalServer\\Pal\\Binaries\\Win64\\";
  const std::string program =
      dir.File("PaLWorld_Data\\" + server) + "PalServer-Win64-Shipping-Cmd.exe";
  const std::string otherCase =
      dir.File("PALWORLD_DATA/" + server) + "palserver-win64-shipping-cmd.EXE";
  const struct {
    std::string arguments;
    std::set<unsigned long> exits;
  } cases[] = {
      // Wine has no firewall interface to change; Windows makes the rules.
      {"--firewall-fix \"" + program + "\" 8211 27015", {kFixDone, kFixUnsupported}},
      {"--firewall-fix \"" + otherCase + "\" 8211 27015", {kFixDone, kFixUnsupported}},
      {"--firewall-fix \"" + program + "\" 8211", {kFixBadArguments}},
      {"--firewall-fix \"" + program + "\" 8211 70000", {kFixBadArguments}},
      // Elevated, it opens the firewall for this tool's server and for no other program.
      {"--firewall-fix \"C:\\windows\\system32\\cmd.exe\" 8211 27015", {kFixBadArguments}},
      {"--firewall-fix \"" + dir.File("Tidemoor.exe") + "\" 8211 27015", {kFixBadArguments}},
      {"--firewall-fix \"" + dir.File("PaLWorld_Data\\..\\..\\Other\\PaLWorld_Data\\" + server) +
           "PalServer-Win64-Shipping-Cmd.exe\" 8211 27015",
       {kFixBadArguments}},
      {"--firewall-fix \"PalServer-Win64-Shipping-Cmd.exe\" 8211 27015", {kFixBadArguments}},
  };
  for (const auto& c : cases) {
    std::wstring commandLine =
        L"\"" + Widen(dir.File("Tidemoor.exe")) + L"\" " + Widen(c.arguments);
    STARTUPINFOW startup{sizeof(startup)};
    PROCESS_INFORMATION raw{};
    ASSERT_TRUE(::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 Widen(dir.Path()).c_str(), &startup, &raw));
    UniqueProcessInformation helper;
    helper.Adopt(raw);
    ASSERT_EQ(::WaitForSingleObject(helper.process.get(), 60000), WAIT_OBJECT_0) << c.arguments;
    DWORD exitCode = 0;
    ::GetExitCodeProcess(helper.process.get(), &exitCode);
    EXPECT_TRUE(c.exits.count(exitCode)) << c.arguments << " exited with " << exitCode;
    EXPECT_EQ(FindWindowOfProcess(helper.processId, "联机诊断"), nullptr);
  }
  // No settings, no log, no server directory: the helper is no tool run.
  EXPECT_FALSE(dir.Exists("PaLWorld_Data"));
}

}  // namespace
}  // namespace tidemoor
