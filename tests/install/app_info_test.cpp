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
      {"keys without case, unquoted tokens, a platform condition and comments",
       "// written by Steam\nappstate { BuildID 42 [$WIN32] // now\n }", false, 42},
      {"escaped quote and backslash inside a value before the build",
       R"("AppState" { "name" "a \"b\" \\ c" "buildid" "7" })", false, 7},
      {"the app id's text in a progress line does not start the block",
       "Fetching \"2394010\" now\n" + std::string(kAppInfo), true, 16812345},
      {"output ends inside the block", std::string(kAppInfo).substr(0, 400), true, std::nullopt},
      {"no block for the app", "Error! App '2394010' state is 0x202 after update job.\n", true,
       std::nullopt},
      {"build id not a number", R"("AppState" { "buildid" "12ab" })", false, std::nullopt},
      {"build id empty", R"("AppState" { "buildid" "" })", false, std::nullopt},
      {"build id is a block", R"("AppState" { "buildid" { } })", false, std::nullopt},
      {"build id out of range", R"("AppState" { "buildid" "99999999999999999999999" })", false,
       std::nullopt},
      {"key without a value", R"("AppState" { "buildid" })", false, std::nullopt},
      {"closing brace missing", R"("AppState" { "buildid" "5" )", false, std::nullopt},
      {"one brace too many", R"("AppState" { "buildid" "5" } })", false, std::nullopt},
      {"quote never closed", R"("AppState" { "buildid" "5)", false, std::nullopt},
      {"condition never closed", R"("AppState" { "buildid" "5" [$WIN32 })", false, std::nullopt},
      {"condition never closed after the block", R"("AppState" { "buildid" "5" } [$WIN32)", false,
       std::nullopt},
      {"an escaped tab is a tab, not a letter", R"("AppS\tate" { "buildid" "5" })", false,
       std::nullopt},
      {"nesting deeper than any real file", "\"2394010\"\n" + deep, true, std::nullopt},
      {"deep nesting as a manifest", "\"AppState\" " + deep, false, std::nullopt},
      {"binary garbage", std::string("\0\xff\"{\x01}\\", 8), false, std::nullopt},
      {"empty", "", false, std::nullopt},
  };
  for (const Case& c : cases) {
    const std::optional<uint64_t> build =
        c.appInfo ? PublicBuildId(c.text, "2394010") : InstalledBuildId(c.text);
    EXPECT_EQ(build, c.build) << c.what;
  }
}

// Nesting is read to 32 levels and refused past them, wherever it lies in the manifest.
TEST(AppInfo, NestingIsReadToItsLimitExactly) {
  const auto manifest = [](int blocks) {
    // AppState's block is the first level; the others nest beside the build id.
    std::string text = "\"AppState\" { \"buildid\" \"5\" ";
    for (int i = 1; i < blocks; ++i) text += "\"d\" { ";
    for (int i = 1; i < blocks; ++i) text += "} ";
    return text + "}";
  };
  const struct {
    int blocks;
    std::optional<uint64_t> build;
  } cases[] = {{1, 5}, {32, 5}, {33, std::nullopt}};
  for (const auto& c : cases) EXPECT_EQ(InstalledBuildId(manifest(c.blocks)), c.build) << c.blocks;
}

}  // namespace
}  // namespace tidemoor
