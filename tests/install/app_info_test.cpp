#include "install/app_info.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace tidemoor {
namespace {

constexpr char kAppInfo[] = R"(Redirecting stderr to 'C:\steamcmd\logs\stderr.txt'
[  0%] Checking for available updates...
Connecting anonymously to Steam Public...OK
AppID : 2394010, change number : 25812345/0, last change : Mon Dec  7 10:12:44 2026
"2394010"
{
	"common"
	{
		"name"		"Palworld Dedicated Server"
	}
	"depots"
	{
		"2394012"		{ "manifests" { "public" { "gid" "77" } } }
		"branches"
		{
			"public"
			{
				"buildid"		"16812345"
				"timeupdated"		"1765100000"
			}
			"beta"
			{
				"buildid"		"16899999"
			}
		}
	}
}
)";

// The same fields as Steam writes them into steamapps\appmanifest_2394010.acf.
constexpr char kManifest[] =
    "\"AppState\"\n{\n\t\"appid\"\t\t\"2394010\"\n"
    "\t\"buildid\"\t\t\"16800000\"\n\t\"InstalledDepots\"\n\t{\n\t}\n}\n";

// How the text around the app's block is read; the VDF reader's own rules are tested with it.
TEST(AppInfo, BuildIdsAreFoundOnlyInWellFormedText) {
  struct Case {
    const char* what;
    std::string text;
    bool appInfo;  // read as SteamCMD's output, otherwise as a manifest
    std::optional<uint64_t> build;
  };
  const std::string deep = std::string(5000, '{');
  const Case cases[] = {
      {"app info after SteamCMD's own lines", kAppInfo, true, 16812345},
      {"manifest", kManifest, false, 16800000},
      {"the app id's text in a progress line does not start the block",
       "Fetching \"2394010\" now\n" + std::string(kAppInfo), true, 16812345},
      {"output ends inside the block", std::string(kAppInfo).substr(0, 400), true, std::nullopt},
      {"no block for the app", "Error! App '2394010' state is 0x202 after update job.\n", true,
       std::nullopt},
      {"nesting deeper than any real file", "\"2394010\"\n" + deep, true, std::nullopt},
  };
  for (const Case& c : cases) {
    const std::optional<uint64_t> build =
        c.appInfo ? PublicBuildId(c.text, "2394010") : InstalledBuildId(c.text);
    EXPECT_EQ(build, c.build) << c.what;
  }
}

}  // namespace
}  // namespace tidemoor
